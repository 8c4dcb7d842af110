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
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
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
