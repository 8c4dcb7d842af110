#pragma once

#include "gedcom/GedcomReader.h"
#include "store/HashedText.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace radici {

// An event's date: the day when the file gives one, otherwise its text as the file wrote it.
struct EventDate {
    std::optional<QDate> day;
    QString inPart;
    std::optional<int> earliestYear;
};

// A person's names as the registry window stores them, one line each, trimmed and upper-cased.
struct Names {
    QString surname;
    QString given;
    QString leftOver;  // what stands in the name but in neither column
};

struct Place {
    QString place;
    QString country;
    int leftOutParts = 0;  // the parts between the place and the country, which have no column
};

// Kinds of data Radici has no column for, as the report names them, and how many a record holds.
using NotHeldCounts = std::vector<std::pair<QString, int>>;
extern const QString MiddlePlaceParts;

// A NAME line and the lines below it that the import reads, as the file writes them.
struct NameFields {
    QString value;
    QString givn;
    QString surn;
    std::array<QString, 4> more;  // NPFX, SPFX, NSFX, NICK: no column holds them
};

// A PLAC line as the file writes it, with its FORM when it has one.
struct PlaceFields {
    QString value;
    std::optional<QString> form;
};

// An event's DATE and PLAC as the file writes them; a missing DATE is null.
struct EventFields {
    QString date;
    std::optional<PlaceFields> place;
};

// What a person's record says, taken from its lines as they stand; the plan reads and decides.
struct PersonFacts {
    QString xref;
    qint64 line = 0;
    std::optional<NameFields> name;  // the first NAME
    QString refn;
    QString sex;
    EventFields birth;
    EventFields death;
    std::vector<QString> adoptedIn;  // the families the person is adopted or fostered in
    NotHeldCounts notHeld;
};

struct FamilyFacts {
    QString xref;
    QString husband;  // trimmed; empty when there is none
    QString wife;
    bool marriage = false;          // a MARR line
    bool deniedMarriage = false;    // "NO MARR"
    QString marriageDate;           // the MARR line's DATE, as written
    std::vector<QString> children;  // the CHIL values that are not blank
    NotHeldCounts notHeld;
};

// A person, a family, or another record: then the kind the report counts it as, empty for none.
using RecordFacts = std::variant<PersonFacts, FamilyFacts, QString>;

// The facts of one record, taken from its lines as they stand: little is made anew here, since
// this runs on the reading thread; the plan reads the texts with what follows.
RecordFacts TakeFacts(const GedcomNode& record);

// Names, places and keys as the registry window stores them: one line, trimmed and upper-cased.
QString Stored(const QString& text);
// The surname and the given name, as stored, and what the name holds beside them.
Names ReadNames(const NameFields& name);
// The place and the country, as stored; none when the event gives no place.
Place ReadPlace(const std::optional<PlaceFields>& place);

// The sex: 0 male, 1 female, -1 unknown; odd when the file gives one that is neither M, F nor U.
struct SexRead {
    qint8 code = -1;
    bool odd = false;
};
SexRead ReadSex(const QString& sex);

// Reads the dates of events. Dates are read once for all, since the dates of a large tree
// repeat ("1850", "ABT 1900").
class EventDates {
public:
    EventDate read(const QString& date);

private:
    QHash<HashedText, EventDate> read_;  // by the text of a date, as read
};

}  // namespace radici
