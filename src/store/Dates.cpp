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

}  // namespace radici
