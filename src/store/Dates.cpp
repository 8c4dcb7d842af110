#include "Dates.h"

#include <QRegularExpression>

namespace radici {

std::optional<QDate> ReadDayFirstDate(const QString& text) {
    // [0-9] rather than \d: other scripts' digits are not dates a user of ours types.
    static const QRegularExpression dayFirst(
        QStringLiteral("^([0-9]{1,2})([/.-])([0-9]{1,2})\\2([0-9]{4})$"));
    const QRegularExpressionMatch match = dayFirst.match(text.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    const QDate date(match.captured(4).toInt(), match.captured(3).toInt(),
                     match.captured(1).toInt());
    if (!date.isValid()) return std::nullopt;
    return date;
}

QString FormatDisplayDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString StorageDateText(const QDate& date) {
    if (!date.isValid()) return {};
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    // Written at every row of an import: the usual years without the general formatting.
    if (year < 0 || year > 9999) return date.toString(Qt::ISODate);
    QString text(10, u'-');
    const auto put = [&](qsizetype at, int value, qsizetype width) {
        for (qsizetype index = at + width - 1; index >= at; --index, value /= 10)
            text[index] = QChar(static_cast<char16_t>(u'0' + value % 10));
    };
    put(0, year, 4);
    put(5, month, 2);
    put(8, day, 2);
    return text;
}

QDate DateFromStorageText(const QString& text) {
    return text.isEmpty() ? QDate() : QDate::fromString(text, Qt::ISODate);
}

QDate DateFromStorageText(QByteArrayView utf8) {
    const auto digits = [&](qsizetype from, qsizetype count) {
        int value = 0;
        for (qsizetype at = from; at < from + count; ++at) {
            if (utf8[at] < '0' || utf8[at] > '9') return -1;
            value = value * 10 + (utf8[at] - '0');
        }
        return value;
    };
    if (utf8.size() == 10 && utf8[4] == '-' && utf8[7] == '-') {
        const int year = digits(0, 4);
        const int month = digits(5, 2);
        const int day = digits(8, 2);
        if (year >= 0 && month >= 0 && day >= 0) return QDate(year, month, day);
    }
    return DateFromStorageText(QString::fromUtf8(utf8));
}

}  // namespace radici
