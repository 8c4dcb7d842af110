#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <optional>

namespace radici {

// Reads a date typed day first: day, month and four-digit year separated by "/", "-" or ".",
// the same separator twice, one or two digits for day and month. Leading and trailing blanks
// are ignored. Two-digit years are refused: a family tree spans centuries.
std::optional<QDate> ReadDayFirstDate(const QString& text);

// "dd/mm/yyyy", or an empty text for an absent (null) date.
QString FormatDisplayDate(const QDate& date);

// Dates travel to and from the store as ISO "yyyy-mm-dd" so that ordering by text is chronological.
QString StorageDateText(const QDate& date);
QDate DateFromStorageText(const QString& text);
// The same from the engine's UTF-8, without a QString for the usual "yyyy-mm-dd".
QDate DateFromStorageText(QByteArrayView utf8);

}  // namespace radici
