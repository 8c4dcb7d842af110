#pragma once

#include "gedcom/GedcomReader.h"

#include <QDate>
#include <QHash>
#include <QString>
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

// What a person's record says, read from it alone; the plan decides what becomes of it.
struct PersonFacts {
    QString xref;
    qint64 line = 0;
    std::optional<QString> name;  // the first NAME's value, trimmed
    Names names;
    QString refn;  // stored as a key is
    EventDate birth;
    EventDate death;
    Place birthPlace;
    Place deathPlace;
    qint8 sex = -1;                  // 0 male, 1 female, -1 unknown
    bool oddSex = false;             // neither M, F nor U, so read as unknown
    std::vector<QString> adoptedIn;  // the families the person is adopted or fostered in
    NotHeldCounts notHeld;
};

struct FamilyFacts {
    QString xref;
    QString husband;  // trimmed; empty when there is none
    QString wife;
    bool marriage = false;        // a MARR line
    bool deniedMarriage = false;  // "NO MARR"
    EventDate marriageDate;
    std::vector<QString> children;  // the CHIL values that are not blank
    NotHeldCounts notHeld;
};

// A person, a family, or another record: then the kind the report counts it as, empty for none.
using RecordFacts = std::variant<PersonFacts, FamilyFacts, QString>;

// Reads the facts of one record after another. Dates are read once for all, since the dates of
// a large tree repeat ("1850", "ABT 1900").
class FactsReader {
public:
    RecordFacts read(const GedcomNode& record);

private:
    PersonFacts person(const GedcomNode& record);
    FamilyFacts family(const GedcomNode& record);
    EventDate eventDate(const GedcomNode* event);

    QHash<QString, EventDate> eventDates_;  // by the text of a date, as read
};

}  // namespace radici
