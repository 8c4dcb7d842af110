#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace radici {

// Dates known in part travel and are kept as GEDCOM date values ("1850", "ABT MAR 1850",
// "BET 1850 AND 1855", "@#DJULIAN@ 1700", "INT 1850 (il censimento)", ...), exactly as given.

// "12 MAR 1888" in the Gregorian calendar (said or implied): the date; anything less exact,
// qualified or in another calendar has none.
std::optional<QDate> ReadGedcomExactDate(const QString& gedcomDate);
// The same for the usual form alone, "15 JUL 1920", read at once; null for any other text, which
// ReadGedcomExactDate may still read.
QDate ReadPlainGedcomDay(QStringView gedcomDate);

// The short Italian form shown for a date value: "1850", "03/1850", "12/03/1850", "ca. 1850",
// "prima del 1850", "dopo il 1850", "tra il 1850 e il 1855", "dal 1850 al 1855", "dal 1850",
// "al 1855". A date in another calendar, with a text, or that cannot be read is shown as stored.
QString ShortItalianDate(const QString& gedcomDate);

// A date as every window, chart and report shows it: known to the day as "dd/mm/yyyy", else the
// short Italian form of the date known in part, else an empty text.
QString ShownDate(const QDate& exact, const QString& inPart);

// The earliest day the value names, for ordering ("BEF 1850" and "1850" alike give 1850-01-01);
// null when there is none to work out (a text alone, a calendar other than Gregorian or Julian).
QDate EarliestDay(const QString& gedcomDate);
std::optional<int> EarliestYear(const QString& gedcomDate);

// A date as typed: known to the day (exact) or in part (inPart, a GEDCOM date value); both empty
// when there is no date.
struct TypedDate {
    QDate exact;
    QString inPart;

    bool operator==(const TypedDate&) const = default;
};

// Reads "15/07/1920", "1850", "03/1850", "ca. 1850", "prima del 1850", "dopo il 1850",
// "tra il 1850 e il 1855", "dal 1850 al 1855" (any inner date of the first three forms), "?" or
// blanks (no date); no value for anything else.
std::optional<TypedDate> ReadTypedDate(const QString& typed);

// The forms ReadTypedDate accepts, in Italian, for the message shown when it refuses a text.
QString TypedDateForms();

}  // namespace radici
