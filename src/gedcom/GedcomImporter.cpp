#include "gedcom/GedcomImporter.h"

#include "gedcom/GedcomReadAhead.h"
#include "store/BulkWriteCache.h"
#include "store/HashedText.h"
#include "store/IndexRebuild.h"
#include "store/PersonKey.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <utility>

namespace radici {
namespace {

// How many rows are written, or families linked, between two calls of the progress callback.
constexpr qint64 ProgressStep = 4096;

using namespace Qt::StringLiterals;

qint32 DayNumber(const std::optional<QDate>& date) {
    return date ? static_cast<qint32>(date->toJulianDay()) : 0;
}

QDate DateOfDay(qint32 day) { return day == 0 ? QDate() : QDate::fromJulianDay(day); }

struct Box {
    const char* what;
    int length;
};

// The registry window's boxes, in the order of NewPerson::texts.
constexpr std::array<Box, 6> Boxes{{{"cognome", 20},
                                    {"nome", 30},
                                    {"luogo di nascita", 20},
                                    {"nazione di nascita", 20},
                                    {"luogo di morte", 20},
                                    {"nazione di morte", 20}}};

// An xref of the usual form, "@", one to eight ASCII characters, "@", as one number: its
// characters packed, so no two xrefs share one and a large file's xrefs need no strings. 0 for
// any other form.
quint64 PackedXref(QStringView xref) {
    if (xref.size() < 3 || xref.front() != u'@' || xref.back() != u'@') return 0;
    return PackedAscii<quint64>(xref.sliced(1, xref.size() - 2));
}

QString UnpackedXref(quint64 packed) {
    QString xref(u'@');
    for (; packed != 0; packed >>= 8) xref += QChar(static_cast<char16_t>(packed & 0xFF));
    return xref + u'@';
}

// Most files number their records one after another under a short prefix ("@I1@", "@I2@", ...,
// "@F1@"): such xrefs are found by their number in an array per prefix, without hashing.
class NumberedXrefs {
public:
    // Numbers from the limit on, and prefixes past the eighth, are left to a hash table, so an
    // odd file cannot make the arrays large: they hold at most eight times the limit.
    void setLimit(qint64 limit) { limit_ = limit; }

    // The number given to an xref of that form, -1 until one is; none for any other xref.
    // xref is "@" and one to eight ASCII characters and "@", as PackedXref takes it.
    qint32* slot(QStringView xref) {
        const QStringView inner = xref.sliced(1, xref.size() - 2);
        const auto isDigit = [](QChar unit) { return unit >= u'0' && unit <= u'9'; };
        const auto digitsAt = std::find_if(inner.begin(), inner.end(), isDigit) - inner.begin();
        if (digitsAt == 0 || digitsAt == inner.size()) return nullptr;
        const QStringView digits = inner.sliced(digitsAt);
        // A leading zero would give "@I01@" the number of "@I1@".
        if (digits.size() > 1 && digits.front() == u'0') return nullptr;
        if (!std::all_of(digits.begin(), digits.end(), isDigit)) return nullptr;
        const qint64 number = digits.toLongLong();
        const quint32 prefix = PackedTag(inner.first(digitsAt));
        if (number >= limit_ || prefix == 0) return nullptr;
        auto table = std::find_if(byPrefix_.begin(), byPrefix_.end(),
                                  [&](const auto& known) { return known.first == prefix; });
        if (table == byPrefix_.end()) {
            if (byPrefix_.size() == MostPrefixes) return nullptr;
            table = byPrefix_.insert(table, {prefix, {}});
        }
        std::vector<qint32>& numbers = table->second;
        const auto at = static_cast<std::size_t>(number);
        if (at >= numbers.size())
            numbers.resize(std::max(at + 1, std::min(numbers.size() * 2, std::size_t(limit_))), -1);
        return &numbers[at];
    }

private:
    static constexpr std::size_t MostPrefixes = 8;
    qint64 limit_ = 1 << 16;
    std::vector<std::pair<quint32, std::vector<qint32>>> byPrefix_;
};

quint64 PairKey(qint32 first, qint32 second) {
    return (quint64(quint32(first)) << 32) | quint32(second);
}

// A person's sex as far as the import knows it.
enum class Sex : char { Male, Female, Unknown };

Sex SexOf(const std::optional<SexCode>& code) {
    return !IsKnownSex(code) ? Sex::Unknown : *code == Male ? Sex::Male : Sex::Female;
}

// A parent's slot: 0 the father, 1 the mother.
std::size_t Slot(SexCode idsesso) { return idsesso == Male ? 0 : 1; }

}  // namespace

// Builds a plan from one pass over the file: persons as their records come, links once every
// person is known (a family may name persons that come after it).
class ImportPlanner {
public:
    ImportPlanner(const DatabaseConnection& connection, const ImportProgressCallback& progress)
        : connection_(connection), progress_(progress) {}

    Result<ImportPlan> plan(QIODevice& file);

private:
    Result<ImportPlan> readAndPlan(QIODevice& file);

    struct Family {
        qint32 xref = -1;
        qint32 husband = -1;
        qint32 wife = -1;
        bool married = false;
        qint32 marriageDay = 0;
        quint32 marriageInPart = 0;
        qsizetype firstChild = 0;
        qsizetype childCount = 0;
    };

    qint32 xrefNumber(const QString& xref);
    Status addIndividual(const PersonFacts& facts);
    Result<bool> refnFree(const QString& key) const;
    Result<QString> keyFor(const QString& refn, const Names& names, const EventDate& birth,
                           bool& own);
    Result<QString> ownKey(const QString& prefix);
    Status enter(qint32 xref, const PersonFacts& facts, const QString& key, bool own,
                 const Names& names, const EventDate& birth);
    quint32 dateInPart(const QString& text);
    void countNotHeld(const NotHeldCounts& counts);
    void noteLongValues(const PersonFacts& facts, const ImportPlan::NewPerson& person);
    void addFamily(const FamilyFacts& facts);
    Status planFamily(const Family& family);
    bool everyoneRead(const Family& family) const;
    Status planFamiliesRead();
    Status planLinks();
    template <typename Table>
    Result<bool> storedPair(bool stored, qint32 first, qint32 second, const Table& table) const;
    Result<bool> marriageThere(qint32 husband, qint32 wife);
    Status planMarriage(const Family& family);
    Status planChildLink(const Family& family, qint32 parent, qint32 child, SexCode role);
    Result<QString> parentHeld(qint32 child, std::size_t slot);
    void refuse(const Family& family, const QString& why);
    quint32 textNumber(const QString& text);
    QString xrefName(qint32 xref) const;
    QString describe(qint32 xref) const;
    Status readStoredState();
    void reserve(qint64 fileBytes);

    const DatabaseConnection& connection_;
    const ImportProgressCallback& progress_;
    ImportPlan plan_;
    NumberedXrefs numberedXrefs_;
    QHash<quint64, qint32> packedXrefs_;     // the packed xrefs of another form
    QHash<QString, qint32> otherXrefs_;      // the xrefs PackedXref cannot pack
    std::vector<quint64> packedXrefNames_;   // by xref number: 0 for an xref of another form
    QHash<qint32, QString> otherXrefNames_;  // by xref number, for those
    std::vector<bool> defined_;
    QSet<HashedText> keysTaken_;         // by persons of the file
    QHash<HashedText, int> ownNumbers_;  // by prefix of Radici's own keys: the last one given
    QHash<HashedText, quint32> textNumbers_;
    EventDates eventDates_;
    std::vector<Family> families_;
    std::size_t linked_ = 0;  // families planned, in the file's order
    std::vector<qint32> children_;
    QSet<quint64> adopted_;  // (child, family) pairs that are not by birth
    QSet<quint64> plannedMarriages_;
    std::vector<Sex> sex_;                         // by xref
    std::vector<std::array<qint32, 2>> parentOf_;  // by child xref: the planned father, mother
    QHash<qint32, std::array<QString, 2>> storedParents_;  // by child xref, once asked
    bool ownFile_ = false;  // written by Radici: a family without MARR is no marriage
    // What the file holds already: an empty table is never asked about a row.
    bool personsStored_ = false;
    bool linksStored_ = false;
    bool marriagesStored_ = false;
};

qint32 ImportPlanner::xrefNumber(const QString& xref) {
    const qint32 next = static_cast<qint32>(plan_.keys_.size());
    const QStringView name = QStringView(xref).trimmed();
    const quint64 packed = PackedXref(name);
    // One lookup each: a new xref is known by the table growing.
    if (qint32* numbered = packed != 0 ? numberedXrefs_.slot(name) : nullptr) {
        if (*numbered >= 0) return *numbered;
        *numbered = next;
    } else if (packed != 0) {
        const qsizetype known = packedXrefs_.size();
        qint32& number = packedXrefs_[packed];
        if (packedXrefs_.size() == known) return number;
        number = next;
    } else if (!name.isEmpty()) {
        const QString text = name.toString();
        const qsizetype known = otherXrefs_.size();
        qint32& number = otherXrefs_[text];
        if (otherXrefs_.size() == known) return number;
        number = next;
        otherXrefNames_.insert(next, text);
    }
    packedXrefNames_.push_back(packed);
    plan_.keys_.emplace_back();
    defined_.push_back(false);
    sex_.push_back(Sex::Unknown);
    parentOf_.push_back({-1, -1});
    return next;
}

quint32 ImportPlanner::textNumber(const QString& text) {
    if (const auto found = textNumbers_.constFind(HashedText::borrowing(text));
        found != textNumbers_.cend())
        return *found;
    const auto number = static_cast<quint32>(plan_.texts_.size());
    textNumbers_.insert({text}, number);
    plan_.texts_.push_back(text);
    return number;
}

QString ImportPlanner::xrefName(qint32 xref) const {
    const quint64 packed = packedXrefNames_[static_cast<std::size_t>(xref)];
    return packed != 0 ? UnpackedXref(packed) : otherXrefNames_.value(xref);
}

QString ImportPlanner::describe(qint32 xref) const {
    const QString& key = plan_.keys_[static_cast<std::size_t>(xref)];
    const QString name = xrefName(xref);
    return key.isEmpty() ? name : u"%1 (%2)"_s.arg(name, key);
}

// A key in REFN is kept when no earlier person of the file holds it, so a key not made from the
// names (an old row, a hand-made one, Radici's own) comes back as it was. A stored registry key
// is the same person, merged; a stored key of Radici's own form is taken, since such a person
// is always new.
Result<bool> ImportPlanner::refnFree(const QString& key) const {
    if (!KeyComplete(key) || keysTaken_.contains(HashedText::borrowing(key))) return false;
    if (!IsOwnKey(key) || !personsStored_) return true;
    const Result<std::optional<Person>> stored = connection_.anagrafica().seek(key);
    if (!stored.ok()) return stored.status();
    return !stored.value().has_value();
}

// The next of Radici's own keys with the prefix: numbers go on from the highest stored and skip
// keys of the file; empty when the four digits are used up.
Result<QString> ImportPlanner::ownKey(const QString& prefix) {
    auto last = ownNumbers_.find(HashedText::borrowing(prefix));
    if (last == ownNumbers_.end()) {
        Result<int> highest =
            personsStored_ ? connection_.anagrafica().highestOwnNumber(prefix) : Result<int>(0);
        if (!highest.ok()) return highest.status();
        last = ownNumbers_.insert({prefix}, highest.value());
    }
    QString key;
    do {
        if (*last >= 9999) return QString();
        key = OwnKey(prefix, ++*last);
    } while (keysTaken_.contains(HashedText::borrowing(key)));
    return key;
}

// REFN when it is free; else the registry key, when the names and the birth make one that no
// earlier person of the file holds; else Radici's own.
Result<QString> ImportPlanner::keyFor(const QString& refn, const Names& names,
                                      const EventDate& birth, bool& own) {
    const Result<bool> free = refnFree(refn);
    if (!free.ok()) return free.status();
    own = free.value() && IsOwnKey(refn);
    if (free.value()) return refn;
    const std::optional<QString> key =
        RegistryKey(names.surname, names.given, birth.day.value_or(QDate()));
    if (key && !keysTaken_.contains(HashedText::borrowing(*key))) return *key;
    own = true;
    return ownKey(OwnKeyPrefix(names.surname, names.given, birth.earliestYear));
}

Status ImportPlanner::addIndividual(const PersonFacts& facts) {
    const qint32 xref = xrefNumber(facts.xref);
    const Names names = facts.name ? ReadNames(*facts.name) : Names{};
    const QString refn = Stored(facts.refn);
    const EventDate birth = eventDates_.read(facts.birth.date);
    QString why;
    QString key;
    bool own = false;
    if (defined_[static_cast<std::size_t>(xref)]) {
        why = u"il riferimento %1 è già di un'altra persona del file"_s.arg(facts.xref);
    } else if (names.surname.isEmpty() && names.given.isEmpty() && refn.isEmpty()) {
        why = u"né cognome né nome, né REFN"_s;
    } else {
        const Result<QString> found = keyFor(refn, names, birth, own);
        if (!found.ok()) return found.status();
        key = found.value();
        if (key.isEmpty())
            why = u"tutte le 9999 chiavi di Radici di questo nome e anno sono prese"_s;
    }
    defined_[static_cast<std::size_t>(xref)] = true;
    if (!why.isEmpty()) {
        ++plan_.report_.persons.leftOut;
        plan_.report_.leftOutPersons << u"%1 %2, riga %3: %4"_s.arg(
            facts.xref, facts.name ? facts.name->value.trimmed() : u"(senza nome)"_s,
            QString::number(facts.line), why);
        return Status::success();
    }
    for (const QString& family : facts.adoptedIn)
        adopted_.insert(PairKey(xref, xrefNumber(family)));
    keysTaken_.insert({key});
    return enter(xref, facts, key, own, names, birth);
}

quint32 ImportPlanner::dateInPart(const QString& text) {
    return text.isEmpty() ? 0 : textNumber(text);
}

// A person with Radici's own key is always new; one with a registry key may be stored already.
Status ImportPlanner::enter(qint32 xref, const PersonFacts& facts, const QString& key, bool own,
                            const Names& names, const EventDate& birth) {
    plan_.keys_[static_cast<std::size_t>(xref)] = key;
    if (personsStored_ && !own) {
        const Result<std::optional<Person>> stored = connection_.anagrafica().seek(key);
        if (!stored.ok()) return stored.status();
        if (stored.value()) {
            sex_[static_cast<std::size_t>(xref)] = SexOf(stored.value()->sesso);
            ++plan_.report_.persons.present;
            plan_.report_.presentPersons
                << u"%1 %2, riga %3: già presente nel database (chiave "
                   u"%4), non modificata"_s.arg(facts.xref)
                       .arg(facts.name ? facts.name->value.trimmed() : QString())
                       .arg(facts.line)
                       .arg(key);
            return Status::success();
        }
    }
    ImportPlan::NewPerson person;
    person.xref = xref;
    const SexRead sex = ReadSex(facts.sex);
    person.sex = sex.code;
    if (sex.odd) ++plan_.report_.notHeld[u"sesso diverso da M, F e U (importato come non noto)"_s];
    sex_[static_cast<std::size_t>(xref)] = person.sex < 0       ? Sex::Unknown
                                           : person.sex == Male ? Sex::Male
                                                                : Sex::Female;
    person.birthDay = DayNumber(birth.day);
    person.birthInPart = dateInPart(birth.inPart);
    const EventDate death = eventDates_.read(facts.death.date);
    person.deathDay = DayNumber(death.day);
    person.deathInPart = dateInPart(death.inPart);
    if (!names.leftOver.isEmpty())
        plan_.report_.nameParts << u"%1 (%2), riga %3: \"%4\""_s.arg(facts.xref, key)
                                       .arg(facts.line)
                                       .arg(names.leftOver);
    const Place birthPlace = ReadPlace(facts.birth.place);
    const Place deathPlace = ReadPlace(facts.death.place);
    for (const Place& place : {birthPlace, deathPlace})
        if (place.leftOutParts > 0) plan_.report_.notHeld[MiddlePlaceParts] += place.leftOutParts;
    const std::array<const QString*, 6> texts{&names.surname,    &names.given,
                                              &birthPlace.place, &birthPlace.country,
                                              &deathPlace.place, &deathPlace.country};
    for (std::size_t index = 0; index < texts.size(); ++index)
        person.texts[index] = textNumber(*texts[index]);
    noteLongValues(facts, person);
    countNotHeld(facts.notHeld);
    plan_.persons_.push_back(person);
    ++plan_.report_.persons.added;
    if (own) ++plan_.report_.ownKeys;
    plan_.report_.datesInPart += (person.birthInPart ? 1 : 0) + (person.deathInPart ? 1 : 0);
    return Status::success();
}

void ImportPlanner::noteLongValues(const PersonFacts& facts, const ImportPlan::NewPerson& person) {
    for (std::size_t index = 0; index < Boxes.size(); ++index) {
        const QString& text = plan_.texts_[person.texts[index]];
        if (text.size() > Boxes[index].length)
            plan_.report_.longValues << u"%1, riga %2: %3 \"%4\", %5 caratteri (la casella ne "
                                        u"tiene %6)"_s.arg(facts.xref)
                                            .arg(facts.line)
                                            .arg(QLatin1StringView(Boxes[index].what), text)
                                            .arg(text.size())
                                            .arg(Boxes[index].length);
    }
}

void ImportPlanner::countNotHeld(const NotHeldCounts& counts) {
    for (const auto& [kind, count] : counts) plan_.report_.notHeld[kind] += count;
}

void ImportPlanner::addFamily(const FamilyFacts& facts) {
    Family family;
    family.xref = xrefNumber(facts.xref);
    const auto partner = [&](const QString& xref) {
        return xref.isEmpty() ? -1 : xrefNumber(xref);
    };
    family.husband = partner(facts.husband);
    family.wife = partner(facts.wife);
    // Radici writes MARR for every marriage, so in its files a couple without one is only the
    // parents of their children; elsewhere a husband and a wife are a couple unless "NO MARR".
    family.married = facts.marriage || (!ownFile_ && !facts.deniedMarriage);
    const EventDate marriage = eventDates_.read(facts.marriageDate);
    family.marriageDay = DayNumber(marriage.day);
    family.marriageInPart = dateInPart(marriage.inPart);
    family.firstChild = static_cast<qsizetype>(children_.size());
    for (const QString& child : facts.children) children_.push_back(xrefNumber(child));
    family.childCount = static_cast<qsizetype>(children_.size()) - family.firstChild;
    countNotHeld(facts.notHeld);
    families_.push_back(family);
}

// True when the table holds the pair, whoever stored it (a row may name keys whose persons enter
// only now). The table is asked only when it holds rows.
template <typename Table>
Result<bool> ImportPlanner::storedPair(bool stored, qint32 first, qint32 second,
                                       const Table& table) const {
    const auto at = [](qint32 xref) { return static_cast<std::size_t>(xref); };
    if (!stored) return false;
    return table.contains(plan_.keys_[at(first)], plan_.keys_[at(second)]);
}

// A marriage is there in either role: a pair stored both ways is one marriage. One that is not
// is planned from now on.
Result<bool> ImportPlanner::marriageThere(qint32 husband, qint32 wife) {
    for (const auto& [first, second] : {std::pair{wife, husband}, std::pair{husband, wife}}) {
        if (plannedMarriages_.contains(PairKey(first, second))) return true;
        const Result<bool> found =
            storedPair(marriagesStored_, first, second, connection_.matrimoni());
        if (!found.ok() || found.value()) return found;
    }
    plannedMarriages_.insert(PairKey(husband, wife));
    return false;
}

void ImportPlanner::refuse(const Family& family, const QString& why) {
    plan_.report_.refusedLinks << u"famiglia %1: %2"_s.arg(xrefName(family.xref), why);
}

// The husband is the man and the wife the woman, whatever roles the file gives them.
Status ImportPlanner::planMarriage(const Family& family) {
    if (family.husband < 0 || family.wife < 0 || !family.married) return Status::success();
    const auto at = [](qint32 xref) { return static_cast<std::size_t>(xref); };
    if (plan_.keys_[at(family.husband)].isEmpty() || plan_.keys_[at(family.wife)].isEmpty()) {
        ++plan_.report_.marriages.leftOut;
        ++plan_.report_.leftOutLinks[u"matrimoni di cui un coniuge non è importato"_s];
        return Status::success();
    }
    qint32 husband = family.husband;
    qint32 wife = family.wife;
    QString why;
    if (husband == wife)
        why = u"%1 sarebbe coniuge di sé stesso"_s.arg(describe(husband));
    else if (sex_[at(husband)] != Sex::Unknown && sex_[at(husband)] == sex_[at(wife)])
        why =
            u"il sesso di %1 e di %2 non dice chi è il marito e chi la moglie; matrimonio "
            u"non importato"_s.arg(describe(husband), describe(wife));
    // One known sex settles the roles (a person of unknown sex beside a man is the wife); with
    // neither known, the file's roles stand.
    else if (sex_[at(husband)] == Sex::Female || sex_[at(wife)] == Sex::Male)
        std::swap(husband, wife);
    if (!why.isEmpty()) {
        ++plan_.report_.marriages.leftOut;
        refuse(family, why);
        return Status::success();
    }
    const Result<bool> present = marriageThere(husband, wife);
    if (!present.ok()) return present.status();
    if (present.value()) {
        ++plan_.report_.marriages.present;
        return Status::success();
    }
    plan_.marriages_.push_back({husband, wife, family.marriageDay, family.marriageInPart});
    if (family.marriageInPart) ++plan_.report_.datesInPart;
    ++plan_.report_.marriages.added;
    return Status::success();
}

// The key of the child's father (slot 0) or mother (slot 1), planned or stored; empty when none.
Result<QString> ImportPlanner::parentHeld(qint32 child, std::size_t slot) {
    const auto at = [](qint32 xref) { return static_cast<std::size_t>(xref); };
    if (const qint32 planned = parentOf_[at(child)][slot]; planned >= 0)
        return plan_.keys_[at(planned)];
    if (!linksStored_) return QString();
    auto found = storedParents_.find(child);
    if (found == storedParents_.end()) {
        const Result<std::vector<ParentLink>> stored =
            connection_.relazioni().parentsOf(plan_.keys_[at(child)]);
        if (!stored.ok()) return stored.status();
        std::array<QString, 2> parents;
        for (const ParentLink& link : stored.value())
            if (parents[Slot(link.idsesso)].isEmpty())
                parents[Slot(link.idsesso)] = link.idgenitori;
        found = storedParents_.insert(child, parents);
    }
    return (*found)[slot];
}

// The link's idsesso is the parent's sex; the role in the family only when the sex is unknown.
Status ImportPlanner::planChildLink(const Family& family, qint32 parent, qint32 child,
                                    SexCode role) {
    const auto at = [](qint32 xref) { return static_cast<std::size_t>(xref); };
    if (adopted_.contains(PairKey(child, family.xref))) {
        ++plan_.report_.parentLinks.leftOut;
        return Status::success();
    }
    const QString why = plan_.keys_[at(child)].isEmpty()
                            ? u"legami con un figlio non importato"_s
                            : u"legami con un genitore non importato"_s;
    if (plan_.keys_[at(child)].isEmpty() || plan_.keys_[at(parent)].isEmpty()) {
        ++plan_.report_.parentLinks.leftOut;
        ++plan_.report_.leftOutLinks[why];
        return Status::success();
    }
    const qint32 from = parent;
    const qint32 to = child;
    if (from == to) {
        ++plan_.report_.parentLinks.leftOut;
        refuse(family, u"%1 sarebbe genitore di sé stesso"_s.arg(describe(from)));
        return Status::success();
    }
    const SexCode idsesso = sex_[at(from)] == Sex::Unknown ? role
                            : sex_[at(from)] == Sex::Male  ? Male
                                                           : Female;
    // Planned already when the child has the parent in either slot.
    const bool planned = parentOf_[at(to)][0] == from || parentOf_[at(to)][1] == from;
    const Result<bool> present =
        planned ? Result<bool>(true) : storedPair(linksStored_, from, to, connection_.relazioni());
    if (!present.ok()) return present.status();
    if (present.value()) {
        ++plan_.report_.parentLinks.present;
        return Status::success();
    }
    const Result<QString> held = parentHeld(to, Slot(idsesso));
    if (!held.ok()) return held.status();
    if (!held.value().isEmpty()) {
        ++plan_.report_.parentLinks.leftOut;
        refuse(family, u"%1 ha già %2 %3; %4 non importato come secondo genitore"_s.arg(
                           describe(to), idsesso == Male ? u"il padre"_s : u"la madre"_s,
                           held.value(), describe(from)));
        return Status::success();
    }
    parentOf_[at(to)][Slot(idsesso)] = from;
    plan_.links_.push_back({from, to, idsesso != Male});
    ++plan_.report_.parentLinks.added;
    return Status::success();
}

Status ImportPlanner::planFamily(const Family& family) {
    if (Status planned = planMarriage(family); !planned.ok()) return planned;
    for (qsizetype index = 0; index < family.childCount; ++index) {
        const qint32 child = children_[static_cast<std::size_t>(family.firstChild + index)];
        if (adopted_.contains(PairKey(child, family.xref)))
            plan_.report_.adoptions
                << u"%1 nella famiglia %2"_s.arg(describe(child), xrefName(family.xref));
        for (const auto& [parent, idsesso] :
             {std::pair{family.husband, Male}, std::pair{family.wife, Female}}) {
            if (parent < 0) continue;
            if (Status planned = planChildLink(family, parent, child, idsesso); !planned.ok())
                return planned;
        }
    }
    return Status::success();
}

bool ImportPlanner::everyoneRead(const Family& family) const {
    const auto read = [&](qint32 xref) {
        return xref < 0 || defined_[static_cast<std::size_t>(xref)];
    };
    const auto firstChild = children_.begin() + family.firstChild;
    return read(family.husband) && read(family.wife) &&
           std::all_of(firstChild, firstChild + family.childCount, read);
}

// Families are linked in the file's order, each as soon as every person it names is read: a
// later record can change nothing the links depend on, and a file whose families follow its
// persons is then linked while the reading goes on.
Status ImportPlanner::planFamiliesRead() {
    for (; linked_ < families_.size() && everyoneRead(families_[linked_]); ++linked_)
        if (Status planned = planFamily(families_[linked_]); !planned.ok()) return planned;
    return Status::success();
}

// The families left once every record is read.
Status ImportPlanner::planLinks() {
    const auto total = static_cast<qint64>(families_.size());
    const auto told = [&] {
        return !progress_ ||
               progress_({ImportProgress::Phase::Linking, static_cast<qint64>(linked_), total});
    };
    if (!told()) return ImportCancelled();
    while (linked_ < families_.size()) {
        if (Status planned = planFamily(families_[linked_]); !planned.ok()) return planned;
        if (++linked_ % ProgressStep == 0 && !told()) return ImportCancelled();
    }
    return Status::success();
}

// Whether the tables hold rows: only then can a planned row be there already.
Status ImportPlanner::readStoredState() {
    if (!connection_.isOpen()) return Status::success();
    for (const auto& [stored, empty] :
         {std::pair{&personsStored_, connection_.anagrafica().isEmpty()},
          std::pair{&linksStored_, connection_.relazioni().isEmpty()},
          std::pair{&marriagesStored_, connection_.matrimoni().isEmpty()},
          std::pair{&plan_.datesInPartStored_, connection_.datesInPart().isEmpty()}}) {
        if (!empty.ok()) return empty.status();
        *stored = !empty.value();
    }
    return Status::success();
}

// The keys' hash table sized up front from the file's length, so a large tree is not hashed
// again and again as it grows, and the xrefs' arrays allowed to grow with it; a record of a
// person or a family takes about 160 bytes in a plain file, more where notes and sources stand.
void ImportPlanner::reserve(qint64 fileBytes) {
    const auto records = static_cast<qsizetype>(fileBytes / 160);
    numberedXrefs_.setLimit(std::max<qint64>(1 << 16, 4 * qint64(records)));
    keysTaken_.reserve(records);
}

// The lookups share one read transaction rather than locking the file one by one.
Result<ImportPlan> ImportPlanner::plan(QIODevice& file) {
    return connection_.runReading([&] { return readAndPlan(file); });
}

Result<ImportPlan> ImportPlanner::readAndPlan(QIODevice& file) {
    const qint64 fileBytes = file.size();
    GedcomReadAhead reader(file, [&](qint64 bytesRead) {
        return !progress_ || progress_({ImportProgress::Phase::Reading, bytesRead, fileBytes});
    });
    if (Status header = reader.readHeader(); !header.ok()) return header;
    if (Status read = readStoredState(); !read.ok()) return read;
    reserve(fileBytes);
    ownFile_ = reader.source().compare(u"RADICI"_s, Qt::CaseInsensitive) == 0;
    plan_.report_.version = reader.version();
    plan_.report_.encoding = reader.encodingName();
    textNumber(u""_s);
    for (;;) {
        const Result<const RecordFacts*> read = reader.nextRecord();
        if (!read.ok()) return read.status();
        if (!read.value()) break;
        const RecordFacts& record = *read.value();
        if (const auto* person = std::get_if<PersonFacts>(&record)) {
            if (Status added = addIndividual(*person); !added.ok()) return added;
        } else if (const auto* family = std::get_if<FamilyFacts>(&record)) {
            addFamily(*family);
        } else if (const QString& kind = std::get<QString>(record); !kind.isEmpty()) {
            ++plan_.report_.notHeld[kind];
        }
        if (Status linked = planFamiliesRead(); !linked.ok()) return linked;
    }
    if (Status linked = planLinks(); !linked.ok()) return linked;
    return std::move(plan_);
}

Person ImportPlan::person(const NewPerson& planned) const {
    const auto text = [&](int index) { return texts_[planned.texts[index]]; };
    return Person{keys_[static_cast<std::size_t>(planned.xref)],
                  text(0),
                  text(1),
                  planned.sex < 0 ? std::nullopt : std::optional<SexCode>(planned.sex),
                  DateOfDay(planned.birthDay),
                  text(2),
                  text(3),
                  DateOfDay(planned.deathDay),
                  text(4),
                  text(5)};
}

Result<ImportPlan> PlanImport(QIODevice& file, const DatabaseConnection& connection,
                              const ImportProgressCallback& progress) {
    return ImportPlanner(connection, progress).plan(file);
}

Result<ImportPlan> PlanImport(const QString& path, const DatabaseConnection& connection,
                              const ImportProgressCallback& progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(
            GedcomError::Unreadable,
            u"Impossibile leggere il file %1: %2."_s.arg(path, file.errorString()));
    return PlanImport(file, connection, progress);
}

// The rows are added as they are: the plan holds no pair twice and none the tables hold.
Status ImportPlan::writeRows(DatabaseConnection& connection,
                             const std::function<bool()>& advance) const {
    const auto key = [&](qint32 xref) { return keys_[static_cast<std::size_t>(xref)]; };
    const auto text = [&](quint32 number) { return texts_[number]; };
    for (const NewPerson& planned : persons_) {
        if (Status s = connection.anagrafica().add(person(planned)); !s.ok()) return s;
        // Radici's own tables are made by the first row written to them, only when needed; a
        // file without such rows takes them without a row to rewrite looked for first.
        if (planned.birthInPart || planned.deathInPart) {
            DatesInPartTable& dates = connection.datesInPart();
            const PersonDatesInPart written{text(planned.birthInPart), text(planned.deathInPart)};
            if (Status s = datesInPartStored_ ? dates.setPerson(key(planned.xref), written)
                                              : dates.addPerson(key(planned.xref), written);
                !s.ok())
                return s;
        }
        if (!advance()) return ImportCancelled();
    }
    for (const NewLink& link : links_) {
        if (Status s = connection.relazioni().add(
                {key(link.parent), key(link.child), link.mother ? Female : Male});
            !s.ok())
            return s;
        if (!advance()) return ImportCancelled();
    }
    for (const NewMarriage& marriage : marriages_) {
        if (Status s = connection.matrimoni().add(
                {key(marriage.husband), key(marriage.wife), DateOfDay(marriage.day)});
            !s.ok())
            return s;
        if (marriage.inPart)
            if (Status s = connection.datesInPart().setMarriage(
                    key(marriage.husband), key(marriage.wife), text(marriage.inPart));
                !s.ok())
                return s;
        if (!advance()) return ImportCancelled();
    }
    return Status::success();
}

Result<ImportReport> WriteImport(const ImportPlan& plan, DatabaseConnection& connection,
                                 const ImportProgressCallback& progress) {
    const qint64 total =
        static_cast<qint64>(plan.persons_.size() + plan.links_.size() + plan.marriages_.size());
    qint64 done = 0;
    const auto told = [&](ImportProgress::Phase phase, qint64 at, qint64 of) {
        return !progress || progress({phase, at, of});
    };
    const auto advance = [&] {
        ++done;
        return done % ProgressStep != 0 || told(ImportProgress::Phase::Writing, done, total);
    };
    if (!connection.isOpen()) return ConnectionClosed();
    const Database& db = *connection.database();
    const QStringList tables{u"anagrafica"_s, u"relazioni"_s, u"matrimoni"_s};
    // Large against the tree, the rows go in faster with the indexes built once at the end.
    const Result<bool> rebuild = IndexRebuild::worthwhile(db, tables, total);
    if (!rebuild.ok()) return rebuild.status();
    const BulkWriteCache cache(connection, rebuild.value() ? BulkWriteCache::Indexes::BuiltAtTheEnd
                                                           : BulkWriteCache::Indexes::KeptUpToDate);
    const Status written = connection.runInTransaction([&] {
        std::optional<IndexRebuild> indexes;
        if (rebuild.value()) {
            Result<IndexRebuild> dropped = IndexRebuild::dropIndexes(db, tables);
            if (!dropped.ok()) return dropped.status();
            indexes = std::move(dropped).value();
        }
        if (Status rows = plan.writeRows(connection, advance); !rows.ok()) return rows;
        if (indexes) {
            const Status built = indexes->rebuild([&](int at, int of) {
                return told(ImportProgress::Phase::Indexing, at, of) ? Status::success()
                                                                     : ImportCancelled();
            });
            if (!built.ok()) return built;
        }
        return told(ImportProgress::Phase::Committing, total, total) ? Status::success()
                                                                     : ImportCancelled();
    });
    if (!written.ok()) return written;
    ImportReport report = plan.report();
    report.written = true;
    return report;
}

}  // namespace radici
