#include "Dates.h"

#include <QRegularExpression>
#include <cstdio>

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
    char text[11];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return QString::fromLatin1(text, 10);
}

QDate DateFromStorageText(const QString& text) {
    return text.isEmpty() ? QDate() : QDate::fromString(text, Qt::ISODate);
}

}  // namespace radici
