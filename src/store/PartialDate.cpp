#include "PartialDate.h"

#include "Dates.h"

#include <QCalendar>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <span>

namespace radici {
namespace {

using namespace Qt::StringLiterals;

const QStringList& MonthNames() {
    static const QStringList months{u"JAN"_s, u"FEB"_s, u"MAR"_s, u"APR"_s, u"MAY"_s, u"JUN"_s,
                                    u"JUL"_s, u"AUG"_s, u"SEP"_s, u"OCT"_s, u"NOV"_s, u"DEC"_s};
    return months;
}

// One date of a value, as written: the month and day are 0 when not given.
struct CalendarDate {
    QString calendar = u"GREGORIAN"_s;
    int day = 0;
    int month = 0;
    QString monthName;
    QString year;
    bool dualYear = false;  // "1750/51"
    bool beforeChrist = false;

    bool plainGregorian() const { return calendar == u"GREGORIAN" && !dualYear && !beforeChrist; }
};

// The first day the date names; null when it cannot be worked out.
QDate FirstDay(const CalendarDate& date) {
    QCalendar calendar;
    if (date.calendar == u"JULIAN")
        calendar = QCalendar(QCalendar::System::Julian);
    else if (date.calendar != u"GREGORIAN")
        return {};
    if (!date.monthName.isEmpty() && date.month == 0) return {};
    // A double-dated year is read in the new style: "1750/51" began in 1751.
    int year = date.year.toInt() + (date.dualYear ? 1 : 0);
    if (date.beforeChrist) year = -year;
    return QDate(year, std::max(date.month, 1), std::max(date.day, 1), calendar);
}

std::optional<CalendarDate> ReadCalendarDate(const QString& text) {
    static const QRegularExpression shape(
        u"^(?:@#D([A-Z ]+)@\\s*|(GREGORIAN)\\s+)?(?:(?:([0-9]{1,2})\\s+)?([A-Z]{3,4})\\s+)?"
        u"([0-9]{3,4})(/[0-9]{2})?(\\s*B\\.?C\\.?)?$"_s);
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch()) return std::nullopt;
    CalendarDate date;
    if (match.hasCaptured(1)) date.calendar = match.captured(1).trimmed();
    date.day = match.captured(3).toInt();
    date.monthName = match.captured(4);
    date.month = static_cast<int>(MonthNames().indexOf(date.monthName)) + 1;
    date.year = match.captured(5);
    date.dualYear = match.hasCaptured(6);
    date.beforeChrist = match.hasCaptured(7);
    // Gregorian and Julian dates must name a real day; other calendars are kept unchecked.
    const bool known = date.calendar == u"GREGORIAN" || date.calendar == u"JULIAN";
    if (known && !FirstDay(date).isValid()) return std::nullopt;
    return date;
}

// The forms of a value: the GEDCOM words and the Italian shown (and typed) for each.
struct Form {
    QString keyword;        // empty for a date alone
    QString secondKeyword;  // "AND", "TO" between two dates
    QString shown;          // %1 and %2 stand for the dates
};

const std::span<const Form> Forms() {
    static const Form forms[] = {
        {{}, {}, u"%1"_s},
        {u"ABT"_s, {}, u"ca. %1"_s},
        {u"EST"_s, {}, u"ca. %1"_s},
        {u"CAL"_s, {}, u"ca. %1"_s},
        {u"BEF"_s, {}, u"prima del %1"_s},
        {u"AFT"_s, {}, u"dopo il %1"_s},
        {u"BET"_s, u"AND"_s, u"tra il %1 e il %2"_s},
        {u"FROM"_s, u"TO"_s, u"dal %1 al %2"_s},
        {u"FROM"_s, {}, u"dal %1"_s},
        {u"TO"_s, {}, u"al %1"_s},
    };
    return forms;
}

// A value read: its form (none for "INT date (text)"), its dates; neither for "(text)".
struct DateValue {
    const Form* form = nullptr;
    std::optional<CalendarDate> first;
    std::optional<CalendarDate> second;
};

std::optional<DateValue> ReadDateValue(const QString& gedcomDate) {
    const QString text = gedcomDate.trimmed().toUpper();
    static const QRegularExpression phrase(u"^\\(.*\\)$"_s,
                                           QRegularExpression::DotMatchesEverythingOption);
    if (phrase.match(text).hasMatch()) return DateValue{};
    static const QRegularExpression value(
        u"^(?:(ABT|EST|CAL|BEF|AFT|BET|FROM|TO|INT)\\s+)?(.+?)(?:\\s+(AND|TO)\\s+(.+?))?"
        u"(\\s*\\(.*\\))?$"_s,
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = value.match(text);
    if (!match.hasMatch()) return std::nullopt;
    DateValue read;
    read.first = ReadCalendarDate(match.captured(2));
    if (!read.first) return std::nullopt;
    if (match.captured(1) == u"INT") {
        if (match.hasCaptured(3)) return std::nullopt;
        return read;
    }
    if (match.hasCaptured(5)) return std::nullopt;
    for (const Form& form : Forms()) {
        if (form.keyword == match.captured(1) && form.secondKeyword == match.captured(3))
            read.form = &form;
    }
    if (!read.form) return std::nullopt;
    if (match.hasCaptured(4)) {
        read.second = ReadCalendarDate(match.captured(4));
        if (!read.second) return std::nullopt;
    }
    return read;
}

std::optional<QString> ShortForm(const CalendarDate& date) {
    if (!date.plainGregorian()) return std::nullopt;
    const QString month = u"%1/"_s.arg(date.month, 2, 10, QLatin1Char('0'));
    const QString day = u"%1/"_s.arg(date.day, 2, 10, QLatin1Char('0'));
    return (date.day ? day : QString()) + (date.month ? month : QString()) + date.year;
}

// "15/07/1920", "07/1920" or "1920" as typed, in GEDCOM: "15 JUL 1920", "JUL 1920", "1920".
std::optional<QString> GedcomFromTyped(const QString& typed) {
    if (const std::optional<QDate> day = ReadDayFirstDate(typed))
        return u"%1 %2 %3"_s.arg(day->day())
            .arg(MonthNames().at(day->month() - 1), day->toString(u"yyyy"_s));
    static const QRegularExpression monthYear(u"^(?:([0-9]{1,2})[/.-])?([0-9]{4})$"_s);
    const QRegularExpressionMatch match = monthYear.match(typed);
    if (!match.hasMatch()) return std::nullopt;
    if (!match.hasCaptured(1)) return match.captured(2);
    const int month = match.captured(1).toInt();
    if (month < 1 || month > 12) return std::nullopt;
    return MonthNames().at(month - 1) + u' ' + match.captured(2);
}

// The typed text in one of the forms, as a GEDCOM value; the first form of a shown text wins
// ("ca." is ABT).
std::optional<QString> InPartFromTyped(const QString& typed) {
    for (const Form& form : Forms()) {
        QString pattern = QRegularExpression::escape(form.shown);
        // The placeholders are escaped with the rest.
        for (const QString& date : {u"%1"_s, u"%2"_s})
            pattern.replace(QRegularExpression::escape(date), u"(\\S+)"_s);
        const QRegularExpressionMatch match =
            QRegularExpression(u"^"_s + pattern + u"$"_s).match(typed);
        if (!match.hasMatch()) continue;
        QStringList parts;
        if (!form.keyword.isEmpty()) parts << form.keyword;
        for (int date = 1; date <= match.lastCapturedIndex(); ++date) {
            const std::optional<QString> gedcom = GedcomFromTyped(match.captured(date));
            if (!gedcom) return std::nullopt;
            if (date == 2) parts << form.secondKeyword;
            parts << *gedcom;
        }
        return parts.join(u' ');
    }
    return std::nullopt;
}

}  // namespace

QDate ReadPlainGedcomDay(QStringView text) {
    const QStringView date = text.trimmed();
    const qsizetype dayDigits = date.size() - 9;
    const auto digits = [](QStringView part) {
        return std::all_of(part.begin(), part.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (dayDigits < 1 || dayDigits > 2 || date[dayDigits] != u' ' || date[dayDigits + 4] != u' ' ||
        !digits(date.first(dayDigits)) || !digits(date.last(4)))
        return {};
    const auto month =
        std::find(MonthNames().cbegin(), MonthNames().cend(), date.sliced(dayDigits + 1, 3));
    if (month == MonthNames().cend()) return {};
    return QDate(date.last(4).toInt(), int(month - MonthNames().cbegin()) + 1,
                 date.first(dayDigits).toInt());
}

std::optional<QDate> ReadGedcomExactDate(const QString& gedcomDate) {
    // The form of nearly every exact date, read without the general grammar.
    if (const QDate day = ReadPlainGedcomDay(gedcomDate); day.isValid()) return day;
    const std::optional<DateValue> value = ReadDateValue(gedcomDate);
    if (!value || !value->form || !value->form->keyword.isEmpty()) return std::nullopt;
    if (!value->first->plainGregorian() || value->first->day == 0) return std::nullopt;
    return FirstDay(*value->first);
}

QString ShortItalianDate(const QString& gedcomDate) {
    const std::optional<DateValue> value = ReadDateValue(gedcomDate);
    if (!value || !value->form) return gedcomDate;
    const std::optional<QString> first = ShortForm(*value->first);
    const std::optional<QString> second =
        value->second ? ShortForm(*value->second) : std::optional<QString>(QString());
    if (!first || !second) return gedcomDate;
    QString shown = value->form->shown.arg(*first);
    return value->second ? shown.arg(*second) : shown;
}

QString ShownDate(const QDate& exact, const QString& inPart) {
    return exact.isValid() ? FormatDisplayDate(exact) : ShortItalianDate(inPart);
}

QDate EarliestDay(const QString& gedcomDate) {
    const std::optional<DateValue> value = ReadDateValue(gedcomDate);
    return value && value->first ? FirstDay(*value->first) : QDate();
}

std::optional<int> EarliestYear(const QString& gedcomDate) {
    const QDate day = EarliestDay(gedcomDate);
    return day.isValid() ? std::optional(day.year()) : std::nullopt;
}

std::optional<TypedDate> ReadTypedDate(const QString& typed) {
    const QString text = typed.simplified().toLower();
    if (text.isEmpty() || text == u"?") return TypedDate{};
    if (const std::optional<QDate> exact = ReadDayFirstDate(text)) return TypedDate{*exact, {}};
    const std::optional<QString> inPart = InPartFromTyped(text);
    if (!inPart) return std::nullopt;
    // Between two dates, the first must come first.
    const std::optional<DateValue> value = ReadDateValue(*inPart);
    if (!value || !EarliestDay(*inPart).isValid()) return std::nullopt;
    if (value->second && FirstDay(*value->second) < FirstDay(*value->first)) return std::nullopt;
    return TypedDate{{}, *inPart};
}

QString TypedDateForms() {
    return u"Scrivi la data in una di queste forme: 15/07/1920, 1850, 03/1850, ca. 1850, "
           u"prima del 1850, dopo il 1850, tra il 1850 e il 1855, dal 1850 al 1855; "
           u"\"?\" o niente se non è nota."_s;
}

}  // namespace radici
