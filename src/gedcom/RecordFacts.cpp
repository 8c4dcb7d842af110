#include "gedcom/RecordFacts.h"

#include "store/PartialDate.h"
#include "store/PersonKey.h"
#include "store/Records.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace radici {
namespace {

using namespace Qt::StringLiterals;

// Line breaks and other control characters become blanks, as in the registry window's boxes:
// a name, a place or a key is one line of printable text.
bool IsControl(QChar unit) {
    if (unit >= u' ' && unit < u'\x7F') return false;  // most text, without a table lookup
    const QChar::Category category = unit.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

QString OneLine(QString text) {
    // Looked for first: writing through the text would copy it even when nothing changes.
    if (std::any_of(text.cbegin(), text.cend(), IsControl))
        std::replace_if(text.begin(), text.end(), IsControl, QChar(u' '));
    return text.trimmed();
}

// Names, places and keys as the registry window stores them: one line, trimmed and upper-cased.
QString Stored(const QString& text) { return UpperCase(OneLine(text)); }

EventDate ReadEventDate(const QString& text) {
    if (const std::optional<QDate> day = ReadGedcomExactDate(text)) return {day, {}, day->year()};
    return {std::nullopt, text, EarliestYear(text)};
}

// "Given /Surname/ Suffix" or "/Surname/ Given"; GIVN and SURN, when present, say exactly what
// the value may leave unclear (a surname holding a "/").
Names ReadNames(const GedcomNode& name) {
    Names names;
    const QString& value = name.value;
    const qsizetype open = value.indexOf(u'/');
    const qsizetype close = open < 0 ? -1 : value.indexOf(u'/', open + 1);
    if (open < 0) {
        names.given = value;
    } else {
        names.surname = value.mid(open + 1, close < 0 ? -1 : close - open - 1);
        const QString before = value.left(open).trimmed();
        const QString after = close < 0 ? QString() : value.mid(close + 1).trimmed();
        if (before.isEmpty()) {
            names.given = after;
        } else {
            names.given = before;
            names.leftOver = after;
        }
    }
    const QString givn = name.childValue("GIVN"_L1);
    const QString surn = name.childValue("SURN"_L1);
    if (!givn.trimmed().isEmpty()) names.given = givn;
    if (!surn.trimmed().isEmpty()) names.surname = surn;
    if (!givn.trimmed().isEmpty() || !surn.trimmed().isEmpty()) names.leftOver.clear();
    // The parts that are not blank, one blank between them.
    names.leftOver = names.leftOver.trimmed();
    for (const char* tag : {"NPFX", "SPFX", "NSFX", "NICK"}) {
        const QString part = name.childValue(QLatin1StringView(tag)).trimmed();
        if (part.isEmpty()) continue;
        if (!names.leftOver.isEmpty()) names.leftOver += u' ';
        names.leftOver += part;
    }
    names.surname = Stored(names.surname);
    names.given = Stored(names.given);
    return names;
}

// Radici's own files name each part of a place holding a comma in FORM: the "Luogo" parts are
// the place and the "Nazione" parts the country, each whole with its commas.
std::optional<Place> ReadNamedParts(const GedcomNode& node) {
    const GedcomNode* named = node.child("FORM"_L1);
    if (!named) return std::nullopt;
    const QStringList parts = node.value.split(u',');
    QStringList form = named->value.split(u',');
    for (QString& name : form) name = name.trimmed();
    const qsizetype places = form.contains(u"Nazione"_s) ? form.indexOf(u"Nazione"_s) : form.size();
    if (form.size() != parts.size() || places == 0 ||
        form.mid(0, places) != QStringList(places, u"Luogo"_s) ||
        form.mid(places) != QStringList(form.size() - places, u"Nazione"_s))
        return std::nullopt;
    QString country = parts.mid(places).join(u',');
    if (country.startsWith(u' ')) country.remove(0, 1);  // the blank written after the comma
    return Place{Stored(parts.mid(0, places).join(u',')), Stored(country)};
}

// The first part is the place, the last the country; the parts between have no column.
Place ReadPlace(const GedcomNode* node) {
    if (!node) return {};
    if (const std::optional<Place> named = ReadNamedParts(*node)) return *named;
    QStringList parts = node->value.split(u',');
    for (QString& part : parts) part = Stored(part);
    Place place{parts.first(), parts.size() > 1 ? parts.last() : u""_s};
    for (qsizetype index = 1; index + 1 < parts.size(); ++index)
        if (!parts[index].isEmpty()) ++place.leftOutParts;
    return place;
}

// Kinds of data Radici has no column for, as the report names them.
const QString SecondNames = u"secondi nomi"_s;
const QString MiddlePlaceParts = u"parti intermedie dei luoghi (tra comune e nazione)"_s;

// Tags that hold nothing more than what the import reads, or only the file's bookkeeping.
bool IsQuietTag(const GedcomNode& node) {
    static constexpr std::array quiet{
        "SEX"_L1,  "FAMC"_L1, "FAMS"_L1, "REFN"_L1, "RIN"_L1,  "CHAN"_L1, "_UID"_L1,
        "UID"_L1,  "SUBM"_L1, "RFN"_L1,  "AFN"_L1,  "CREA"_L1, "EXID"_L1, "HUSB"_L1,
        "WIFE"_L1, "CHIL"_L1, "NAME"_L1, "BIRT"_L1, "DEAT"_L1, "MARR"_L1, "NO"_L1};
    return std::any_of(quiet.begin(), quiet.end(),
                       [&](QLatin1StringView tag) { return node.is(tag); });
}

// Notes, sources and media.
QString AttachedKind(const GedcomNode& node) {
    if (node.is("NOTE"_L1) || node.is("SNOTE"_L1)) return u"note"_s;
    if (node.is("SOUR"_L1)) return u"fonti e citazioni"_s;
    if (node.is("OBJE"_L1)) return u"oggetti multimediali"_s;
    return {};
}

QString TopLevelKind(const GedcomNode& record) {
    if (const QString attached = AttachedKind(record); !attached.isEmpty()) return attached;
    if (record.is("REPO"_L1)) return u"archivi delle fonti"_s;
    if (record.is("SUBM"_L1) || record.is("SUBN"_L1)) return {};
    return u"altri record"_s;
}

void Count(NotHeldCounts& counts, const QString& kind, int count = 1) {
    const auto known = std::find_if(counts.begin(), counts.end(),
                                    [&](const auto& counted) { return counted.first == kind; });
    if (known != counts.end())
        known->second += count;
    else
        counts.emplace_back(kind, count);
}

// Notes, sources and media anywhere below a node.
void CountAttached(const GedcomNode& node, NotHeldCounts& counts) {
    for (const GedcomNode& child : node.children) {
        if (const QString kind = AttachedKind(child); !kind.isEmpty())
            Count(counts, kind);
        else
            CountAttached(child, counts);
    }
}

// What a person's or a family's record holds beyond what the import reads.
void CountNotHeld(const GedcomNode& record, NotHeldCounts& counts) {
    CountAttached(record, counts);
    int names = 0;
    for (const GedcomNode& node : record.children) {
        if (node.is("NAME"_L1) && ++names > 1) Count(counts, SecondNames);
        if (node.is("DIV"_L1)) Count(counts, u"divorzi"_s);
        if (node.is("MARR"_L1) && !node.childValue("PLAC"_L1).isEmpty())
            Count(counts, u"luoghi di matrimonio"_s);
        if (!node.is("DIV"_L1) && !IsQuietTag(node) && AttachedKind(node).isEmpty())
            Count(counts, record.is("FAM"_L1) ? u"altri eventi di famiglia"_s
                                              : u"altri eventi e attributi"_s);
    }
}

// The sex as PersonFacts holds it: 0 male, 1 female, -1 unknown.
qint8 SexByte(const QString& tag) {
    return tag == u"M" ? qint8(Male) : tag == u"F" ? qint8(Female) : qint8(-1);
}

}  // namespace

RecordFacts FactsReader::read(const GedcomNode& record) {
    if (record.is("INDI"_L1)) return person(record);
    if (record.is("FAM"_L1)) return family(record);
    return TopLevelKind(record);
}

PersonFacts FactsReader::person(const GedcomNode& record) {
    PersonFacts facts;
    facts.xref = record.xref;
    facts.line = record.line;
    if (const GedcomNode* name = record.child("NAME"_L1)) {
        facts.name = name->value.trimmed();
        facts.names = ReadNames(*name);
    }
    facts.refn = Stored(record.childValue("REFN"_L1));
    facts.birth = eventDate(record.child("BIRT"_L1));
    facts.death = eventDate(record.child("DEAT"_L1));
    const QString sex = record.childValue("SEX"_L1).trimmed().toUpper();
    facts.sex = SexByte(sex);
    if (!sex.isEmpty() && sex != u"M" && sex != u"F" && sex != u"U")
        Count(facts.notHeld, u"sesso diverso da M, F e U (importato come non noto)"_s);
    for (const auto& [tag, place] :
         {std::pair{"BIRT"_L1, &facts.birthPlace}, std::pair{"DEAT"_L1, &facts.deathPlace}}) {
        const GedcomNode* event = record.child(tag);
        *place = ReadPlace(event ? event->child("PLAC"_L1) : nullptr);
        if (place->leftOutParts > 0) Count(facts.notHeld, MiddlePlaceParts, place->leftOutParts);
    }
    for (const GedcomNode& famc : record.children) {
        if (!famc.is("FAMC"_L1)) continue;
        const QString pedigree = famc.childValue("PEDI"_L1).trimmed().toUpper();
        if (pedigree == u"ADOPTED" || pedigree == u"FOSTER") facts.adoptedIn.push_back(famc.value);
    }
    CountNotHeld(record, facts.notHeld);
    return facts;
}

FamilyFacts FactsReader::family(const GedcomNode& record) {
    FamilyFacts facts;
    facts.xref = record.xref;
    facts.husband = record.childValue("HUSB"_L1).trimmed();
    facts.wife = record.childValue("WIFE"_L1).trimmed();
    const GedcomNode* marriage = record.child("MARR"_L1);
    const GedcomNode* denied = record.child("NO"_L1);
    facts.marriage = marriage != nullptr;
    facts.deniedMarriage = denied && denied->value.trimmed() == u"MARR";
    facts.marriageDate = eventDate(marriage);
    for (const GedcomNode& node : record.children) {
        if (node.is("CHIL"_L1) && !node.value.trimmed().isEmpty())
            facts.children.push_back(node.value);
    }
    CountNotHeld(record, facts.notHeld);
    return facts;
}

// A day in its usual form is read at once; any other text is read once for all.
EventDate FactsReader::eventDate(const GedcomNode* event) {
    const QString text = event ? OneLine(event->childValue("DATE"_L1)) : QString();
    if (const QDate day = ReadPlainGedcomDay(text); day.isValid()) return {day, {}, day.year()};
    if (const auto found = eventDates_.constFind(text); found != eventDates_.cend()) return *found;
    return *eventDates_.insert(text, ReadEventDate(text));
}

}  // namespace radici
