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

EventDate ReadEventDate(const QString& text) {
    if (const std::optional<QDate> day = ReadGedcomExactDate(text)) return {day, {}, day->year()};
    return {std::nullopt, text, EarliestYear(text)};
}

// Radici's own files name each part of a place holding a comma in FORM: the "Luogo" parts are
// the place and the "Nazione" parts the country, each whole with its commas.
std::optional<Place> ReadNamedParts(const PlaceFields& fields) {
    if (!fields.form) return std::nullopt;
    const QStringList parts = fields.value.split(u',');
    QStringList form = fields.form->split(u',');
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

// Kinds of data Radici has no column for, as the report names them.
const QString SecondNames = u"secondi nomi"_s;

// Tags that hold nothing more than what the import reads, or only the file's bookkeeping.
bool IsQuietTag(const GedcomNode& node) {
    static constexpr std::array quiet{
        "SEX"_L1,  "FAMC"_L1, "FAMS"_L1, "REFN"_L1, "RIN"_L1,  "CHAN"_L1, "_UID"_L1,
        "UID"_L1,  "SUBM"_L1, "RFN"_L1,  "AFN"_L1,  "CREA"_L1, "EXID"_L1, "HUSB"_L1,
        "WIFE"_L1, "CHIL"_L1, "NAME"_L1, "BIRT"_L1, "DEAT"_L1, "MARR"_L1, "NO"_L1};
    // Each is short, so a tag is told by its packed number alone.
    static const std::array<quint32, quiet.size()> packed = PackedTags(quiet);
    return node.packedTag != 0 &&
           std::find(packed.begin(), packed.end(), node.packedTag) != packed.end();
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

EventFields Event(const GedcomNode* event) {
    if (!event) return {};
    EventFields fields{event->childValue("DATE"_L1), {}};
    if (const GedcomNode* place = event->child("PLAC"_L1)) {
        fields.place = PlaceFields{place->value, {}};
        if (const GedcomNode* form = place->child("FORM"_L1)) fields.place->form = form->value;
    }
    return fields;
}

PersonFacts TakePerson(const GedcomNode& record) {
    PersonFacts facts;
    facts.xref = record.xref;
    facts.line = record.line;
    if (const GedcomNode* name = record.child("NAME"_L1)) {
        facts.name = NameFields{name->value,
                                name->childValue("GIVN"_L1),
                                name->childValue("SURN"_L1),
                                {name->childValue("NPFX"_L1), name->childValue("SPFX"_L1),
                                 name->childValue("NSFX"_L1), name->childValue("NICK"_L1)}};
    }
    facts.refn = record.childValue("REFN"_L1);
    facts.sex = record.childValue("SEX"_L1);
    facts.birth = Event(record.child("BIRT"_L1));
    facts.death = Event(record.child("DEAT"_L1));
    for (const GedcomNode& famc : record.children) {
        if (!famc.is("FAMC"_L1)) continue;
        const QString pedigree = famc.childValue("PEDI"_L1).trimmed().toUpper();
        if (pedigree == u"ADOPTED" || pedigree == u"FOSTER") facts.adoptedIn.push_back(famc.value);
    }
    CountNotHeld(record, facts.notHeld);
    return facts;
}

FamilyFacts TakeFamily(const GedcomNode& record) {
    FamilyFacts facts;
    facts.xref = record.xref;
    facts.husband = record.childValue("HUSB"_L1).trimmed();
    facts.wife = record.childValue("WIFE"_L1).trimmed();
    const GedcomNode* marriage = record.child("MARR"_L1);
    const GedcomNode* denied = record.child("NO"_L1);
    facts.marriage = marriage != nullptr;
    facts.deniedMarriage = denied && denied->value.trimmed() == u"MARR";
    if (marriage) facts.marriageDate = marriage->childValue("DATE"_L1);
    for (const GedcomNode& node : record.children) {
        if (node.is("CHIL"_L1) && !node.value.trimmed().isEmpty())
            facts.children.push_back(node.value);
    }
    CountNotHeld(record, facts.notHeld);
    return facts;
}

// "Given /Surname/ Suffix" or "/Surname/ Given".
Names NamesInValue(const QString& value) {
    Names names;
    const qsizetype open = value.indexOf(u'/');
    const qsizetype close = open < 0 ? -1 : value.indexOf(u'/', open + 1);
    if (open < 0) {
        names.given = value;
        return names;
    }
    names.surname = value.mid(open + 1, close < 0 ? -1 : close - open - 1);
    const QString before = value.left(open).trimmed();
    const QString after = close < 0 ? QString() : value.mid(close + 1).trimmed();
    if (before.isEmpty()) {
        names.given = after;
    } else {
        names.given = before;
        names.leftOver = after;
    }
    return names;
}

}  // namespace

RecordFacts TakeFacts(const GedcomNode& record) {
    if (record.is("INDI"_L1)) return TakePerson(record);
    if (record.is("FAM"_L1)) return TakeFamily(record);
    return TopLevelKind(record);
}

const QString MiddlePlaceParts = u"parti intermedie dei luoghi (tra comune e nazione)"_s;

QString Stored(const QString& text) { return UpperCase(OneLine(text)); }

// GIVN and SURN, when present, say exactly what the value may leave unclear (a surname holding
// a "/"); the value is read only for what they leave out.
Names ReadNames(const NameFields& name) {
    const bool givn = !QStringView(name.givn).trimmed().isEmpty();
    const bool surn = !QStringView(name.surn).trimmed().isEmpty();
    Names names = givn && surn ? Names{} : NamesInValue(name.value);
    if (givn) names.given = name.givn;
    if (surn) names.surname = name.surn;
    if (givn || surn) names.leftOver.clear();
    // The parts that are not blank, one blank between them.
    names.leftOver = names.leftOver.trimmed();
    for (const QString& more : name.more) {
        const QString part = more.trimmed();
        if (part.isEmpty()) continue;
        if (!names.leftOver.isEmpty()) names.leftOver += u' ';
        names.leftOver += part;
    }
    names.surname = Stored(names.surname);
    names.given = Stored(names.given);
    return names;
}

// The first part is the place, the last the country; the parts between have no column.
Place ReadPlace(const std::optional<PlaceFields>& fields) {
    if (!fields) return {};
    if (const std::optional<Place> named = ReadNamedParts(*fields)) return *named;
    QStringList parts = fields->value.split(u',');
    for (QString& part : parts) part = Stored(part);
    Place place{parts.first(), parts.size() > 1 ? parts.last() : u""_s};
    for (qsizetype index = 1; index + 1 < parts.size(); ++index)
        if (!parts[index].isEmpty()) ++place.leftOutParts;
    return place;
}

SexRead ReadSex(const QString& sex) {
    const QString code = sex.trimmed().toUpper();
    return {code == u"M"   ? qint8(Male)
            : code == u"F" ? qint8(Female)
                           : qint8(-1),
            !code.isEmpty() && code != u"M" && code != u"F" && code != u"U"};
}

// A day in its usual form is read at once; any other text is read once for all.
EventDate EventDates::read(const QString& date) {
    // Nearly every date is a day in that form as it stands, read without a copy of its text.
    if (const QDate day = ReadPlainGedcomDay(date); day.isValid()) return {day, {}, day.year()};
    const QString text = OneLine(date);
    if (const QDate day = ReadPlainGedcomDay(text); day.isValid()) return {day, {}, day.year()};
    if (const auto found = read_.constFind(HashedText::borrowing(text)); found != read_.cend())
        return *found;
    return *read_.insert({text}, ReadEventDate(text));
}

}  // namespace radici
