#include "GedcomExporter.h"

#include "GedcomWriter.h"
#include "store/PartialDate.h"
#include "store/TreeScan.h"

#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <bit>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace radici {

namespace {

using RowId = std::int64_t;
using FamilyIndex = std::int32_t;

// Progress is told at least this often, in rows.
constexpr std::int64_t ProgressStep = 4096;

// Two persons make one family whichever of them a row names first.
struct Family {
    RowId husband = 0;  // 0: not known; as the first row of the family names them
    RowId wife = 0;
    bool married = false;  // a row of matrimoni joins them
    QDate marriageDate;
    QByteArray marriageInPart;  // the date known in part, as GEDCOM text
};

// A person's place in a family, as spouse or as child.
struct Member {
    RowId person;
    FamilyIndex family;
};

struct LinkRowIds {
    RowId parent;
    RowId child;
    SexCode idsesso;
};

// A short text made in place, without an allocation: a pointer or a date.
class ShortText {
public:
    ShortText& operator<<(std::string_view text) {
        size_ = std::size_t(std::copy(text.begin(), text.end(), text_ + size_) - text_);
        return *this;
    }
    ShortText& operator<<(std::int64_t number) {
        size_ = std::size_t(std::to_chars(text_ + size_, std::end(text_), number).ptr - text_);
        return *this;
    }
    operator QByteArrayView() const { return {text_, qsizetype(size_)}; }

private:
    char text_[48];
    std::size_t size_ = 0;
};

ShortText PersonXref(RowId rowId) { return ShortText() << "@I" << rowId << "@"; }
ShortText FamilyXref(FamilyIndex index) { return ShortText() << "@F" << index + 1 << "@"; }

// The day in GEDCOM's form, "3 MAR 1850"; empty for no day.
ShortText GedcomDate(const QDate& date) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (!date.isValid()) return {};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);  // one conversion from the day number, not three
    return ShortText() << day << " " << months[month - 1] << " " << year;
}

// A person's dates known in part, as GEDCOM text; empty where there is none.
struct InPart {
    QByteArrayView birth;
    QByteArrayView death;
};

// A birth known only in part counts from its earliest year; a death in any form is a death.
bool Living(const ScannedPerson& person, const InPart& inPart, const QDate& hundredYearsAgo) {
    if (person.datamorte.isValid() || !inPart.death.isEmpty()) return false;
    QDate birth = person.datanasc;
    if (!birth.isValid() && !inPart.birth.isEmpty())
        if (const std::optional<int> year = EarliestYear(QString::fromUtf8(inPart.birth)))
            birth = QDate(*year, 1, 1);
    return !birth.isValid() || birth > hundredYearsAgo;
}

QString Quoted(const QString& key) { return u'"' + key + u'"'; }
QString Quoted(QByteArrayView key) { return Quoted(QString::fromUtf8(key)); }

std::string_view View(QByteArrayView bytes) { return {bytes.data(), std::size_t(bytes.size())}; }

// The row id of each person by key, and the key of each row id. A table of its own rather than a
// general hash map: the links and the marriages look up two keys a row, most of them out of the
// processor's caches, and a slot that holds the start of its key settles a lookup with one read
// of memory.
class PersonKeys {
public:
    Status read(const TreeScan& scan, const std::function<bool()>& advance) {
        std::vector<std::pair<std::size_t, RowId>> starts;
        const Status read = scan.personKeys([&](QByteArrayView key, RowId rowId) {
            starts.emplace_back(text_.size(), rowId);
            text_.append(key.data(), std::size_t(key.size()));
            return advance();
        });
        starts.emplace_back(text_.size(), 0);
        // At most two thirds full, so a lookup seldom reads more than a slot or two.
        slots_.assign(std::bit_ceil(starts.size() + starts.size() / 2), Slot());
        for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
            const auto [start, rowId] = starts[i];
            const QByteArrayView key(text_.data() + start, qsizetype(starts[i + 1].first - start));
            Slot& slot = slots_[find(key)];
            if (slot.size != Slot::Empty) continue;  // a key twice: the first row keeps it
            slot = {rowId, std::uint32_t(start), std::uint32_t(key.size()), {}};
            std::copy_n(key.data(), std::min(key.size(), Slot::HeadSize), slot.head);
        }
        return read;
    }
    // 0 when no person has the key.
    RowId rowIdOf(QByteArrayView key) const {
        const Slot& slot = slots_[find(key)];
        return slot.size == Slot::Empty ? 0 : slot.rowId;
    }
    // For the report only, so the reverse table is made on first use.
    QString keyOf(RowId rowId) const {
        if (keys_.empty()) {
            for (const Slot& slot : slots_)
                if (slot.size != Slot::Empty)
                    keys_.emplace_back(slot.rowId,
                                       std::string_view(text_).substr(slot.start, slot.size));
            std::sort(keys_.begin(), keys_.end());
        }
        const auto found =
            std::lower_bound(keys_.begin(), keys_.end(), std::pair(rowId, std::string_view()));
        return QString::fromUtf8(found->second.data(), qsizetype(found->second.size()));
    }

private:
    struct Slot {
        static constexpr std::uint32_t Empty = std::numeric_limits<std::uint32_t>::max();
        static constexpr qsizetype HeadSize = 16;
        RowId rowId = 0;
        std::uint32_t start = 0;  // in text_, which a million keys fill to a few tens of MiB
        std::uint32_t size = Empty;
        char head[HeadSize] = {};  // the key's first bytes
    };

    bool holds(const Slot& slot, QByteArrayView key) const {
        const qsizetype head = std::min(key.size(), Slot::HeadSize);
        return slot.size == std::size_t(key.size()) &&
               std::equal(key.data(), key.data() + head, slot.head) &&
               std::equal(key.data() + head, key.data() + key.size(),
                          text_.data() + slot.start + head);
    }
    // The slot holding the key, or else the empty one where it would go.
    std::size_t find(QByteArrayView key) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = std::hash<std::string_view>()(View(key)) & mask;
        while (slots_[at].size != Slot::Empty && !holds(slots_[at], key)) at = (at + 1) & mask;
        return at;
    }

    std::string text_;
    std::vector<Slot> slots_;
    mutable std::vector<std::pair<RowId, std::string_view>> keys_;
};

// The dates known in part, read in one scan and sorted by row id, met again as the persons come
// in row order.
class DatesInPart {
public:
    Status read(const TreeScan& scan, const PersonKeys& keys,
                const std::function<bool()>& advance) {
        const Status read = scan.personDatesInPart(
            [&](QByteArrayView key, std::int64_t evento, QByteArrayView date) {
                // A row of no person, or of an event other than birth and death, is not read.
                if (const RowId rowId = keys.rowIdOf(key); rowId && (evento == 0 || evento == 1)) {
                    dates_.push_back({rowId, evento == 1, text_.size(), std::size_t(date.size())});
                    text_.append(date.data(), std::size_t(date.size()));
                }
                return advance();
            });
        std::sort(dates_.begin(), dates_.end(), [](const Date& a, const Date& b) {
            return std::pair(a.rowId, a.death) < std::pair(b.rowId, b.death);
        });
        return read;
    }
    // Those of the person with the row id, asked for in growing row ids.
    InPart next(RowId rowId) {
        InPart found;
        for (; at_ < dates_.size() && dates_[at_].rowId <= rowId; ++at_) {
            if (dates_[at_].rowId != rowId) continue;
            const QByteArrayView text(text_.data() + dates_[at_].start,
                                      qsizetype(dates_[at_].size));
            (dates_[at_].death ? found.death : found.birth) = text;
        }
        return found;
    }

private:
    struct Date {
        RowId rowId;
        bool death;
        std::size_t start;  // in text_
        std::size_t size;
    };
    std::string text_;
    std::vector<Date> dates_;
    std::size_t at_ = 0;
};

class ExportRun {
public:
    ExportRun(const Database& db, const ExportOptions& options, const ExportProgress& progress,
              QIODevice& device)
        : scan_(db), options_(options), progress_(progress), writer_(device) {}

    Result<ExportReport> run();

private:
    Status readMarriages();
    Status readParentLinks(std::vector<LinkRowIds>& links);
    Status groupChildren(std::vector<LinkRowIds>& links);
    Status writePersons();
    void writePerson(const ScannedPerson& person, const InPart& inPart, std::size_t& childAt,
                     std::size_t& spouseAt);
    void writeEvent(const char* tag, const QDate& date, QByteArrayView inPart, QByteArrayView place,
                    QByteArrayView country);
    Status writeFamilies();
    std::pair<RowId, RowId> spousesBySex(const Family& family);
    std::optional<SexCode> sexOf(RowId rowId) const;
    void reportUnreadable(const ScannedPerson& person);

    FamilyIndex familyOf(RowId husband, RowId wife);
    std::optional<std::pair<RowId, RowId>> personsOf(QByteArrayView first, QByteArrayView second,
                                                     const QString& row, const QString& samePerson);
    bool advance(std::int64_t steps = 1);
    Status cancelled() const;

    TreeScan scan_;
    PersonKeys keys_;
    DatesInPart inPart_;
    const ExportOptions& options_;
    const ExportProgress& progress_;
    GedcomWriter writer_;
    ExportReport report_;
    std::int64_t done_ = 0;
    std::int64_t sinceTold_ = 0;
    std::int64_t total_ = 0;
    std::int64_t familiesGuess_ = 0;
    bool stopped_ = false;
    QDate hundredYearsAgo_ = options_.today.addYears(-100);

    std::vector<Family> families_;
    QHash<std::pair<RowId, RowId>, FamilyIndex> familyByCouple_;
    std::vector<Member> childIn_;   // by child
    std::vector<Member> spouseIn_;  // by spouse
    std::vector<Member> children_;  // by family, then as the children come in anagrafica
    std::vector<RowId> living_;     // row ids in order, in the private mode only
    std::vector<std::pair<RowId, std::optional<SexCode>>>
        notMale_;  // row ids in order, with their sex
};

// Counts a step of the export; work that is no step (grouping the families) passes 0 and
// still lets the progress be told and a cancel be seen.
bool ExportRun::advance(std::int64_t steps) {
    done_ += steps;
    if (++sinceTold_ < ProgressStep) return !stopped_;
    sinceTold_ = 0;
    if (progress_ && !progress_(done_, total_)) stopped_ = true;
    return !stopped_;
}

Status ExportRun::cancelled() const {
    return Status::failure(ExportCancelled,
                           QStringLiteral("Esportazione annullata: il file non è stato scritto."));
}

FamilyIndex ExportRun::familyOf(RowId husband, RowId wife) {
    const std::pair<RowId, RowId> couple = std::minmax(husband, wife);
    if (const auto found = familyByCouple_.constFind(couple); found != familyByCouple_.cend())
        return *found;
    const auto index = FamilyIndex(families_.size());
    familyByCouple_.insert(couple, index);
    families_.push_back({husband, wife, false, QDate(), QByteArray()});
    return index;
}

Result<ExportReport> ExportRun::run() {
    const Result<TableSizes> sizes = scan_.sizes();
    if (!sizes.ok()) return sizes.status();
    // Until the families are known, count about one for each person.
    familiesGuess_ = sizes.value().persons;
    total_ = 2 * sizes.value().persons + familiesGuess_ + sizes.value().parentLinks +
             sizes.value().marriages;
    if (progress_ && !progress_(0, total_)) return cancelled();

    writer_.line(0, "HEAD");
    writer_.line(1, "SOUR", QStringLiteral("RADICI"));
    writer_.line(2, "VERS", options_.programVersion);
    writer_.line(2, "NAME", QStringLiteral("Radici"));
    writer_.pointer(1, "SUBM", "@U1@");
    writer_.line(1, "GEDC");
    writer_.line(2, "VERS", QStringLiteral("5.5.1"));
    writer_.line(2, "FORM", QStringLiteral("LINEAGE-LINKED"));
    writer_.line(1, "CHAR", QStringLiteral("UTF-8"));
    writer_.record("@U1@", "SUBM");
    writer_.line(1, "NAME", QStringLiteral("Radici"));

    std::vector<LinkRowIds> links;
    for (const auto& step :
         {std::function<Status()>([&] { return keys_.read(scan_, [this] { return advance(); }); }),
          std::function<Status()>(
              [&] { return inPart_.read(scan_, keys_, [this] { return advance(0); }); }),
          std::function<Status()>([&] { return readMarriages(); }),
          std::function<Status()>([&] { return readParentLinks(links); }),
          std::function<Status()>([&] { return groupChildren(links); }),
          std::function<Status()>([&] { return writePersons(); }),
          std::function<Status()>([&] { return writeFamilies(); })}) {
        if (Status done = step(); !done.ok()) return done;
        if (stopped_) return cancelled();
    }
    writer_.line(0, "TRLR");
    if (progress_ && !progress_(total_, total_)) return cancelled();
    if (!writer_.flush())
        return Status::failure(
            ExportFileFailed,
            QStringLiteral("Impossibile scrivere il file GEDCOM: controlla che il disco non "
                           "sia pieno e che la cartella sia scrivibile, poi riprova."));
    return report_;
}

const QString MarriageRow = QStringLiteral("Il matrimonio tra %1 e %2");
const QString LinkRow = QStringLiteral("Il collegamento tra il genitore %1 e il figlio %2");

// The row ids of the two persons a row joins; none, and the row reported as left out, when a key
// has no person or both keys name the same person.
std::optional<std::pair<RowId, RowId>> ExportRun::personsOf(QByteArrayView first,
                                                            QByteArrayView second,
                                                            const QString& row,
                                                            const QString& samePerson) {
    const RowId one = keys_.rowIdOf(first);
    const RowId other = keys_.rowIdOf(second);
    if (one && other && one != other) return std::pair(one, other);
    const QString reason =
        one && other ? samePerson
                     : QStringLiteral("%1 non è in anagrafica").arg(Quoted(one ? second : first));
    report_.problems.append(row.arg(Quoted(first), Quoted(second)) +
                            QStringLiteral(" è stato lasciato fuori: %1.").arg(reason));
    return std::nullopt;
}

Status ExportRun::readMarriages() {
    return scan_.marriages([&](const ScannedMarriage& row) {
        const auto couple = personsOf(row.husband, row.wife, MarriageRow,
                                      QStringLiteral("unisce una persona a sé stessa"));
        if (!couple) return advance();
        Family& family = families_[familyOf(couple->first, couple->second)];
        const auto marriage = [&] {
            return MarriageRow.arg(Quoted(row.husband), Quoted(row.wife));
        };
        if (!row.data.isValid() && !row.storedData.isEmpty())
            report_.problems.append(marriage() + QStringLiteral(" ha la data \"%1\", che non è una "
                                                                "data: è stato esportato senza.")
                                                     .arg(QString::fromUtf8(row.storedData)));
        if (family.married) {
            report_.problems.append(
                marriage() + (family.husband == couple->first
                                  ? QStringLiteral(" è ripetuto: è stato esportato una volta.")
                                  : QStringLiteral(" è registrato anche a ruoli invertiti: è stato "
                                                   "esportato una volta.")));
        } else {
            family.married = true;
            family.marriageDate = row.data;
            family.marriageInPart = row.inPart.toByteArray();
            ++report_.marriages;
        }
        return advance();
    });
}

Status ExportRun::readParentLinks(std::vector<LinkRowIds>& links) {
    return scan_.parentLinks([&](const ScannedLink& row) {
        const auto pair =
            personsOf(row.parent, row.child, LinkRow,
                      QStringLiteral("una persona non può essere genitore di sé stessa"));
        if (pair) links.push_back({pair->first, pair->second, row.idsesso});
        return advance();
    });
}

// Each child goes into the family of its father and mother (either may be unknown); a second
// row for the same parent, or a second father or mother, is left out.
Status ExportRun::groupChildren(std::vector<LinkRowIds>& links) {
    std::stable_sort(links.begin(), links.end(),
                     [](const LinkRowIds& a, const LinkRowIds& b) { return a.child < b.child; });
    for (auto first = links.begin(); first != links.end();) {
        const auto last = std::find_if(
            first, links.end(), [&](const LinkRowIds& l) { return l.child != first->child; });
        RowId parents[2] = {0, 0};
        for (auto link = first; link != last; ++link) {
            RowId& slot = parents[link->idsesso == Male ? 0 : 1];
            const auto pair = [&] {
                return LinkRow.arg(Quoted(keys_.keyOf(link->parent)),
                                   Quoted(keys_.keyOf(link->child)));
            };
            if (link->idsesso != Male && link->idsesso != Female)
                report_.problems.append(
                    pair() + QStringLiteral(" ha idsesso %1: è stato esportato come legame "
                                            "con la madre.")
                                 .arg(link->idsesso));
            if (link->parent == parents[0] || link->parent == parents[1]) {
                report_.problems.append(
                    pair() + QStringLiteral(" è ripetuto: è stato esportato una volta."));
            } else if (slot) {
                report_.problems.append(
                    pair() + QStringLiteral(" è stato lasciato fuori: il figlio ha già %1 %2.")
                                 .arg(link->idsesso == Male ? QStringLiteral("il padre")
                                                            : QStringLiteral("la madre"),
                                      Quoted(keys_.keyOf(slot))));
            } else {
                slot = link->parent;
                ++report_.parentLinks;
            }
        }
        const FamilyIndex family = familyOf(parents[0], parents[1]);
        childIn_.push_back({first->child, family});
        children_.push_back({first->child, family});
        first = last;
        if (!advance(0)) return Status::success();
    }
    links = {};
    std::stable_sort(children_.begin(), children_.end(),
                     [](const Member& a, const Member& b) { return a.family < b.family; });
    for (FamilyIndex index = 0; index < FamilyIndex(families_.size()); ++index) {
        for (RowId spouse : {families_[index].husband, families_[index].wife})
            if (spouse) spouseIn_.push_back({spouse, index});
    }
    std::stable_sort(spouseIn_.begin(), spouseIn_.end(),
                     [](const Member& a, const Member& b) { return a.person < b.person; });
    total_ += std::int64_t(families_.size()) - familiesGuess_;
    return Status::success();
}

Status ExportRun::writePersons() {
    std::size_t childAt = 0;
    std::size_t spouseAt = 0;
    return scan_.persons([&](const ScannedPerson& person) {
        if (person.sesso != Male) notMale_.emplace_back(person.rowId, person.sesso);
        reportUnreadable(person);
        writePerson(person, inPart_.next(person.rowId), childAt, spouseAt);
        return advance();
    });
}

void ExportRun::reportUnreadable(const ScannedPerson& person) {
    for (const auto& [what, date, text] :
         {std::tuple{"nascita", person.datanasc, person.storedDatanasc},
          std::tuple{"morte", person.datamorte, person.storedDatamorte}}) {
        if (date.isValid() || text.isEmpty()) continue;
        report_.problems.append(
            QStringLiteral("La persona %1 ha la data di %2 \"%3\", che non è "
                           "una data: è stata esportata senza.")
                .arg(Quoted(person.idrecord), QLatin1StringView(what), QString::fromUtf8(text)));
    }
}

std::optional<SexCode> ExportRun::sexOf(RowId rowId) const {
    const auto found = std::lower_bound(notMale_.begin(), notMale_.end(),
                                        std::pair(rowId, std::optional<SexCode>()));
    return found != notMale_.end() && found->first == rowId ? found->second : Male;
}

// The man as husband and the woman as wife, whatever roles the rows gave them; a pair the sex
// does not settle (two men, two women, a sex unknown) keeps the roles of its first row.
std::pair<RowId, RowId> ExportRun::spousesBySex(const Family& family) {
    const auto is = [&](RowId rowId, SexCode sex) { return rowId && sexOf(rowId) == sex; };
    const bool misplaced = is(family.husband, Female) || is(family.wife, Male);
    if (!misplaced || is(family.husband, Male) || is(family.wife, Female))
        return {family.husband, family.wife};
    QStringList parents;
    for (const RowId rowId : {family.husband, family.wife})
        if (rowId) parents << Quoted(keys_.keyOf(rowId));
    report_.problems.append(
        QStringLiteral("La famiglia di %1 ha il padre e la madre (o il marito e "
                       "la moglie) registrati nei ruoli contrari al sesso: "
                       "sono stati esportati secondo il sesso.")
            .arg(parents.join(QStringLiteral(" e "))));
    return {family.wife, family.husband};
}

void ExportRun::writePerson(const ScannedPerson& person, const InPart& inPart, std::size_t& childAt,
                            std::size_t& spouseAt) {
    ++report_.persons;
    const RowId rowId = person.rowId;
    // Only the private mode asks who is living, and the dates known in part cost to read.
    const bool withheld = options_.privateMode && Living(person, inPart, hundredYearsAgo_);
    if (withheld) living_.push_back(rowId);

    writer_.record(PersonXref(rowId), "INDI");
    // GIVN and SURN say the names exactly where "/" inside one would leave NAME unclear.
    writer_.utf8Line(1, "NAME", {person.nome, " /", person.cognome, "/"});
    if (!person.nome.isEmpty()) writer_.utf8Line(2, "GIVN", {person.nome});
    if (!person.cognome.isEmpty()) writer_.utf8Line(2, "SURN", {person.cognome});
    if (IsKnownSex(person.sesso)) {
        writer_.utf8Line(1, "SEX", {person.sesso == Male ? "M" : "F"});
    } else {
        writer_.utf8Line(1, "SEX", {"U"});
        // No sex at all (NULL), or 9 as a file made earlier holds an unknown one, is simply
        // unknown; a code no one knows is worth a word.
        if (person.sesso && *person.sesso != NotApplicableSex)
            report_.problems.append(
                QStringLiteral("La persona %1 ha il sesso %2, né maschio né femmina: è stata "
                               "esportata con sesso sconosciuto.")
                    .arg(Quoted(person.idrecord))
                    .arg(*person.sesso));
    }
    if (!withheld) {
        writeEvent("BIRT", person.datanasc, inPart.birth, person.luogonasc, person.nazionenasc);
        writeEvent("DEAT", person.datamorte, inPart.death, person.luogomorte, person.nazionemorte);
        writer_.utf8Line(1, "REFN", {person.idrecord});
    }
    for (; childAt < childIn_.size() && childIn_[childAt].person <= rowId; ++childAt)
        if (childIn_[childAt].person == rowId)
            writer_.pointer(1, "FAMC", FamilyXref(childIn_[childAt].family));
    for (; spouseAt < spouseIn_.size() && spouseIn_[spouseAt].person <= rowId; ++spouseAt)
        if (spouseIn_[spouseAt].person == rowId)
            writer_.pointer(1, "FAMS", FamilyXref(spouseIn_[spouseAt].family));
}

// The day, in GEDCOM's form, or else the date known in part as it was stored.
void ExportRun::writeEvent(const char* tag, const QDate& date, QByteArrayView inPart,
                           QByteArrayView place, QByteArrayView country) {
    const ShortText day = GedcomDate(date);
    const QByteArrayView value = date.isValid() ? QByteArrayView(day) : inPart;
    if (value.isEmpty() && place.isEmpty() && country.isEmpty()) return;
    writer_.line(1, tag);
    if (!value.isEmpty()) writer_.utf8Line(2, "DATE", {value});
    if (place.isEmpty() && country.isEmpty()) return;
    // A country without a place keeps the comma before it: read back, a lone name is the place.
    if (country.isEmpty())
        writer_.utf8Line(2, "PLAC", {place});
    else
        writer_.utf8Line(2, "PLAC", {place, ", ", country});
    // A comma inside a value would move the boundary between place and country: FORM then
    // names each part, "Luogo" or "Nazione".
    if (!place.contains(',') && !country.contains(',')) return;
    QStringList form(place.count(',') + 1, QStringLiteral("Luogo"));
    if (!country.isEmpty()) form << QStringList(country.count(',') + 1, QStringLiteral("Nazione"));
    writer_.line(3, "FORM", form.join(QStringLiteral(", ")));
}

Status ExportRun::writeFamilies() {
    const auto isLiving = [&](RowId rowId) {
        return std::binary_search(living_.begin(), living_.end(), rowId);
    };
    auto child = children_.begin();
    for (FamilyIndex index = 0; index < FamilyIndex(families_.size()); ++index) {
        const Family& family = families_[index];
        const auto [husband, wife] = spousesBySex(family);
        writer_.record(FamilyXref(index), "FAM");
        if (husband) writer_.pointer(1, "HUSB", PersonXref(husband));
        if (wife) writer_.pointer(1, "WIFE", PersonXref(wife));
        if (family.married) {
            const bool withheld =
                options_.privateMode && isLiving(family.husband) && isLiving(family.wife);
            const ShortText day = GedcomDate(family.marriageDate);
            const QByteArrayView date =
                family.marriageDate.isValid() ? QByteArrayView(day) : family.marriageInPart;
            if (!date.isEmpty() && !withheld) {
                writer_.line(1, "MARR");
                writer_.utf8Line(2, "DATE", {date});
            } else {
                writer_.utf8Line(1, "MARR", {"Y"});
            }
        }
        for (; child != children_.end() && child->family == index; ++child)
            writer_.pointer(1, "CHIL", PersonXref(child->person));
        ++report_.families;
        if (!advance()) break;
    }
    return Status::success();
}

}  // namespace

QString DescribeExport(const ExportReport& report) {
    return QStringLiteral(
               "Persone esportate: %1; famiglie: %2; collegamenti genitore-figlio: "
               "%3; matrimoni: %4.")
        .arg(report.persons)
        .arg(report.families)
        .arg(report.parentLinks)
        .arg(report.marriages);
}

Result<ExportReport> GedcomExporter::exportTo(QIODevice& device,
                                              const ExportProgress& progress) const {
    if (!connection_.isOpen()) return ConnectionClosed();
    return connection_.runReading(
        [&] { return ExportRun(*connection_.database(), options_, progress, device).run(); });
}

Result<ExportReport> GedcomExporter::exportToFile(const QString& path,
                                                  const ExportProgress& progress) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(
            ExportFileFailed,
            QStringLiteral("Impossibile creare il file \"%1\" (%2): controlla che la "
                           "cartella esista e sia scrivibile.")
                .arg(path, file.errorString()));
    Result<ExportReport> report = exportTo(file, progress);
    if (!report.ok()) {
        file.cancelWriting();
        return report;
    }
    if (!file.commit())
        return Status::failure(
            ExportFileFailed,
            QStringLiteral("Impossibile completare il file \"%1\" (%2): controlla che il "
                           "disco non sia pieno, poi riprova.")
                .arg(path, file.errorString()));
    return report;
}

}  // namespace radici
