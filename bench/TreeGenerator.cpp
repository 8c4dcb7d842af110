#include "TreeGenerator.h"

#include "Floor.h"
#include "store/Database.h"
#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PartialDate.h"
#include "store/PersonKey.h"
#include "store/Schema.h"
#include "store/SearchPattern.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <numeric>
#include <optional>
#include <vector>

namespace radici::bench {
namespace {

constexpr int FirstYear = 1700;
constexpr int LastYear = 2020;
const QDate LastDay(LastYear, 12, 31);
// Births per year grow about twentyfold from 1700 to 2020, as in most family trees.
const double YearlyGrowth = std::log(20.0) / (LastYear - FirstYear);
constexpr int InvalidRequest = 1;

// Each list runs from the commonest to the rarest; WeightedTable gives them falling weights.
// Compound and accented names are there because real trees hold them.
constexpr const char* Surnames[] = {
    "ROSSI",      "RUSSO",      "FERRARI",    "ESPOSITO",   "BIANCHI",    "ROMANO",     "COLOMBO",
    "RICCI",      "MARINO",     "GRECO",      "BRUNO",      "GALLO",      "CONTI",      "DE LUCA",
    "MANCINI",    "COSTA",      "GIORDANO",   "RIZZO",      "LOMBARDI",   "MORETTI",    "BARBIERI",
    "FONTANA",    "SANTORO",    "MARIANI",    "RINALDI",    "CARUSO",     "FERRARA",    "GALLI",
    "MARTINI",    "LEONE",      "LONGO",      "GENTILE",    "MARTINELLI", "VITALE",     "LOMBARDO",
    "SERRA",      "COPPOLA",    "DE SANTIS",  "D'ANGELO",   "MARCHETTI",  "PARISI",     "VILLA",
    "CONTE",      "FERRARO",    "FERRI",      "FABBRI",     "BIANCO",     "MARINI",     "GRASSO",
    "VALENTINI",  "MESSINA",    "SALA",       "DE ANGELIS", "GATTI",      "PELLEGRINI", "PALUMBO",
    "SANNA",      "FARINA",     "RIZZI",      "MONTI",      "CATTANEO",   "MORELLI",    "AMATO",
    "SILVESTRI",  "MAZZA",      "TESTA",      "GRASSI",     "PELLEGRINO", "CARBONE",    "GIULIANI",
    "BENEDETTI",  "BARONE",     "ROSSETTI",   "CAPUTO",     "MONTANARI",  "GUERRA",     "PALMIERI",
    "BERNARDI",   "MARTINO",    "FIORE",      "DE ROSA",    "FERRETTI",   "BELLINI",    "BASILE",
    "RIVA",       "DONATI",     "PIRAS",      "VITALI",     "BATTAGLIA",  "SARTORI",    "NERI",
    "COSTANTINI", "MILANI",     "PAGANO",     "RUGGIERO",   "SORRENTINO", "D'AMICO",    "ORLANDO",
    "LA ROSA",    "DI STEFANO", "DELL'ACQUA", "LO RUSSO",   "NICOLÒ",     "CANTÙ",      "PATERNÒ",
    "PIRRÒ",      "SCIRÈ",      "BARBERÀ",    "DALL'OLIO",  "ROSA",       "ROSSINI",    "ROSATI",
};

// Made-up but plausible surnames for the long tail that every large tree has.
constexpr const char* SurnameRoots[] = {"BAR", "CAL", "FAL", "GAR", "MAL", "PAL", "SAL", "TAR",
                                        "VAL", "BEN", "CER", "DEL", "FER", "GER", "MER", "PER",
                                        "SER", "TER", "VER", "BON", "COL", "DON", "FOR", "GOR",
                                        "LOR", "MOR", "POR", "SOR", "TOR", "ZAN"};
constexpr const char* SurnameEndings[] = {"INI",  "ELLI", "ETTI", "UCCI", "ONI",  "ATO",   "ARI",
                                          "ESE",  "ANO",  "OTTI", "ACCI", "IERI", "AZZI",  "IGLIO",
                                          "ASSO", "ENGO", "ULLO", "Ò",    "À",    "ICCHIO"};

constexpr const char* MaleNames[] = {
    "GIUSEPPE", "GIOVANNI", "ANTONIO",   "MARIO",   "LUIGI",     "FRANCESCO", "ANGELO",
    "VINCENZO", "PIETRO",   "SALVATORE", "CARLO",   "FRANCO",    "DOMENICO",  "BRUNO",
    "PAOLO",    "MICHELE",  "GIORGIO",   "ALDO",    "SERGIO",    "LUCIANO",   "GIACOMO",
    "BATTISTA", "LUCA",     "MARCO",     "ANDREA",  "MATTEO",    "LORENZO",   "ALESSANDRO",
    "STEFANO",  "ROBERTO",  "NICOLÒ",    "NOÈ",     "MOSÈ",      "GIOSUÈ",    "PASQUALE",
    "GAETANO",  "RAFFAELE", "EMANUELE",  "TOMMASO", "GIAN MARIA"};

constexpr const char* FemaleNames[] = {
    "MARIA",  "ANNA",       "GIUSEPPINA", "ROSA",      "ANGELA",     "GIOVANNA",     "TERESA",
    "LUCIA",  "CARMELA",    "CATERINA",   "FRANCESCA", "ANTONIETTA", "ELENA",        "CONCETTA",
    "RITA",   "MARGHERITA", "FRANCA",     "PAOLA",     "GIULIA",     "SOFIA",        "CHIARA",
    "NOEMI",  "AURORA",     "BEATRICE",   "ASSUNTA",   "IDA",        "AGNESE",       "ELISABETTA",
    "LUISA",  "ADA",        "DESIRÈ",     "ZOÈ",       "BATTISTINA", "MARIA GRAZIA", "ROSARIA",
    "ILARIA", "VALENTINA",  "SERENA",     "MARTINA",   "GIORGIA"};

constexpr const char* Towns[] = {"BERGAMO", "MILANO",          "NAPOLI",
                                 "ROMA",    "TORINO",          "PALERMO",
                                 "GENOVA",  "BOLOGNA",         "FIRENZE",
                                 "BARI",    "CATANIA",         "VENEZIA",
                                 "VERONA",  "MESSINA",         "PADOVA",
                                 "TRIESTE", "BRESCIA",         "PARMA",
                                 "TARANTO", "MODENA",          "REGGIO CALABRIA",
                                 "LOVERE",  "CANTÙ",           "FORLÌ",
                                 "CEFALÙ",  "PATERNÒ",         "SAN DONÀ DI PIAVE",
                                 "CLUSONE", "TREVIGLIO",       "SARNICO",
                                 "ZOGNO",   "ALZANO LOMBARDO", "NEMBRO",
                                 "SERIATE", "DALMINE"};

constexpr const char* AbroadCountries[] = {"ARGENTINA", "STATI UNITI", "FRANCIA", "SVIZZERA",
                                           "BRASILE",   "BELGIO",      "GERMANIA"};
const QString Italy = QStringLiteral("ITALIA");

// Children per couple, 0 to 8.
constexpr double ChildrenWeights[] = {8, 12, 20, 20, 15, 10, 7, 5, 3};

// Texts with falling weights (Zipf's law), picked at random.
class WeightedTable {
public:
    // The text of rank r weighs 1 / r.
    template <typename Texts>
    explicit WeightedTable(const Texts& texts) {
        double rank = 1;
        for (const char* text : texts) add(QString::fromUtf8(text), 1.0 / rank++);
    }

    void add(const QString& text, double weight) {
        texts_.push_back(text);
        cumulative_.push_back((cumulative_.empty() ? 0.0 : cumulative_.back()) + weight);
    }

    int pickIndex(QRandomGenerator& random) const {
        const double point = random.generateDouble() * cumulative_.back();
        const auto found = std::upper_bound(cumulative_.begin(), cumulative_.end(), point);
        return static_cast<int>(
            std::min<std::ptrdiff_t>(found - cumulative_.begin(), std::ssize(cumulative_) - 1));
    }
    const QString& pick(QRandomGenerator& random) const { return texts_[pickIndex(random)]; }
    const QString& text(int index) const { return texts_[static_cast<std::size_t>(index)]; }
    int size() const { return static_cast<int>(texts_.size()); }

private:
    std::vector<QString> texts_;
    std::vector<double> cumulative_;
};

WeightedTable MakeSurnameTable() {
    WeightedTable table(Surnames);
    // The long tail: each made-up surname several times rarer than the rarest real one above.
    const double tailWeight = 0.15 / std::size(Surnames);
    for (const char* root : SurnameRoots)
        for (const char* ending : SurnameEndings)
            table.add(QString::fromUtf8(root) + QString::fromUtf8(ending), tailWeight);
    return table;
}

// The tree is first grown in memory, year by year, then written in one transaction: persons,
// then links, then marriages, each table in the order its rows came about.
class TreeBuilder {
public:
    TreeBuilder(quint32 seed, int size, int birthsInPart)
        : random_(seed),
          size_(size),
          inPartShare_(birthsInPart / 100.0),
          surnames_(MakeSurnameTable()),
          maleNames_(MaleNames),
          femaleNames_(FemaleNames),
          towns_(Towns),
          abroad_(AbroadCountries) {
        facts_.seed = seed;
    }

    void grow();
    bool write(FloorDatabase& floor) const;
    const TreeFacts& facts() const { return facts_; }

private:
    struct Member {
        int surname = 0;
        int father = -1;
        int mother = -1;
        bool remarries = false;
        bool married = false;
        QString birthInPart;  // as GEDCOM text; the true day still drives the growth
    };
    struct Couple {
        int husband;
        int wife;
        int childrenLeft;
        int nextBirthYear;
    };

    void simulateYear(int year, int target);
    void marryThisYear(int year, int target);
    void birthsThisYear(int year, int target, int& allowance);
    void plantFamilies();
    void computeSearches();

    int addMember(SexCode sex, int surname, QDate birth, int father = -1, int mother = -1);
    void linkChild(int child, bool bothParents);
    void marry(int husband, int wife, int year);
    int childrenPlanned();
    void planMarriage(int member);
    void mayRemarry(int member, int year);
    bool siblings(int a, int b) const;
    bool aliveIn(int member, int year) const;

    const Person& person(int member) const { return persons_[static_cast<std::size_t>(member)]; }
    Member& member(int index) { return members_[static_cast<std::size_t>(index)]; }
    int count() const { return static_cast<int>(persons_.size()); }

    QString uniqueKey(const QString& surname, const QString& givenName, QDate& birth) const;
    QString birthInPart(const QDate& birth);
    QString pickCountry() { return chance(0.94) ? Italy : abroad_.pick(random_); }
    QDate dayIn(int year) {
        const QDate first(year, 1, 1);
        return first.addDays(random_.bounded(first.daysInYear()));
    }
    bool chance(double probability) { return random_.generateDouble() < probability; }
    int between(int low, int high) { return low + random_.bounded(high - low + 1); }
    int cumulativeTarget(int year, int total) const;

    QRandomGenerator random_;
    const int size_;
    const double inPartShare_;
    QHash<QString, int> ownNumbers_;  // by prefix of Radici's own keys
    WeightedTable surnames_;
    WeightedTable maleNames_;
    WeightedTable femaleNames_;
    WeightedTable towns_;
    WeightedTable abroad_;

    std::vector<Person> persons_;
    std::vector<Member> members_;  // beside persons_, index for index
    std::vector<ParentLink> links_;
    std::vector<Marriage> marriages_;
    QSet<QString> keys_;
    std::vector<int> surnameCounts_;
    std::map<int, std::vector<int>> marryingIn_;  // year -> members who marry that year
    std::vector<Couple> couples_;                 // still having children
    TreeFacts facts_;
};

// The tree grows until 2020; a small family with known shapes is added at the end.
constexpr int PlantedPersons = 23;

void TreeBuilder::grow() {
    surnameCounts_.assign(static_cast<std::size_t>(surnames_.size()), 0);
    persons_.reserve(static_cast<std::size_t>(size_));
    members_.reserve(static_cast<std::size_t>(size_));
    keys_.reserve(size_);
    for (int year = FirstYear; year <= LastYear; ++year) simulateYear(year, size_ - PlantedPersons);
    plantFamilies();
    facts_.persons = count();
    facts_.links = static_cast<int>(links_.size());
    facts_.marriages = static_cast<int>(marriages_.size());
    computeSearches();
}

// The texts as the store writes them: a null text as NULL, dates as ISO text, the sex as a number.
void BindText(FloorStatement& statement, int index, const QString& text) {
    if (text.isNull()) {
        statement.null(index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    statement.text(index,
                   std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void BindDate(FloorStatement& statement, int index, const QDate& date) {
    BindText(statement, index, StorageDateText(date));
}

// One transaction with a 512 MiB page cache: the file is written once, at the commit, and the
// index pages of the seven B-trees stay in memory meanwhile.
bool TreeBuilder::write(FloorDatabase& floor) const {
    return floor.writeAtOnce(512, [&] {
        FloorStatement person(floor.handle(), FLOOR_INSERT_PERSON);
        for (std::size_t index = 0; index < persons_.size(); ++index) {
            const Person& row = persons_[index];
            BindText(person, 1, row.idrecord);
            BindText(person, 2, row.cognome);
            BindText(person, 3, row.nome);
            person.integer(4, *row.sesso);  // every generated person has a sex
            BindDate(person, 5, members_[index].birthInPart.isEmpty() ? row.datanasc : QDate());
            BindText(person, 6, row.luogonasc);
            BindText(person, 7, row.nazionenasc);
            BindDate(person, 8, row.datamorte);
            BindText(person, 9, row.luogomorte);
            BindText(person, 10, row.nazionemorte);
            if (!person.run()) return false;
        }
        FloorStatement link(floor.handle(), FLOOR_INSERT_LINK);
        for (const ParentLink& row : links_) {
            BindText(link, 1, row.idgenitori);
            BindText(link, 2, row.idfigli);
            if (!link.integer(3, row.idsesso).run()) return false;
        }
        FloorStatement marriage(floor.handle(), FLOOR_INSERT_MARRIAGE);
        for (const Marriage& row : marriages_) {
            BindText(marriage, 1, row.idmarito);
            BindText(marriage, 2, row.idmoglie);
            BindDate(marriage, 3, row.data);
            if (!marriage.run()) return false;
        }
        if (facts_.birthsInPart == 0) return true;
        FloorStatement inPart(floor.handle(), FLOOR_INSERT_DATE_IN_PART);
        for (std::size_t index = 0; index < persons_.size(); ++index) {
            const QString& text = members_[index].birthInPart;
            if (text.isEmpty()) continue;
            BindText(inPart, 1, persons_[index].idrecord);
            inPart.integer(2, 0);
            BindText(inPart, 3, text);
            BindDate(inPart, 4, EarliestDay(text));
            if (!inPart.run()) return false;
        }
        return true;
    });
}

// How many persons should exist by the end of the year for the total to be reached in 2020.
int TreeBuilder::cumulativeTarget(int year, int total) const {
    const double reached = std::expm1(YearlyGrowth * (year - FirstYear + 1));
    const double whole = std::expm1(YearlyGrowth * (LastYear - FirstYear + 1));
    return static_cast<int>(std::lround(total * reached / whole));
}

void TreeBuilder::simulateYear(int year, int target) {
    marryThisYear(year, target);
    int allowance = cumulativeTarget(year, target) - count();
    birthsThisYear(year, target, allowance);
    // Where the families already in the tree cannot fill the year, new families arrive.
    for (; allowance > 0 && count() < target; --allowance) {
        const SexCode sex = chance(0.5) ? Male : Female;
        planMarriage(addMember(sex, surnames_.pickIndex(random_), dayIn(year)));
    }
}

bool TreeBuilder::siblings(int a, int b) const {
    const Member& first = members_[static_cast<std::size_t>(a)];
    const Member& second = members_[static_cast<std::size_t>(b)];
    return (first.father >= 0 && first.father == second.father) ||
           (first.mother >= 0 && first.mother == second.mother);
}

bool TreeBuilder::aliveIn(int member, int year) const {
    const QDate& death = person(member).datamorte;
    return !death.isValid() || death.year() > year;
}

// Half of those who marry this year find a spouse in the tree; the others marry someone from
// outside, who enters the tree without parents.
void TreeBuilder::marryThisYear(int year, int target) {
    const auto due = marryingIn_.find(year);
    if (due == marryingIn_.end()) return;
    std::vector<int> men;
    std::vector<int> women;
    for (int candidate : due->second) {
        if (aliveIn(candidate, year))
            (person(candidate).sesso == Male ? men : women).push_back(candidate);
    }
    marryingIn_.erase(due);
    const auto shuffle = [this](std::vector<int>& candidates) {
        for (std::size_t i = candidates.size(); i > 1; --i)
            std::swap(candidates[i - 1], candidates[random_.bounded(static_cast<quint32>(i))]);
    };
    shuffle(men);
    shuffle(women);
    const std::size_t pairs = std::min(men.size(), women.size()) / 2;
    std::vector<std::pair<int, int>> couples;
    std::vector<int> alone;
    for (std::size_t i = 0; i < pairs; ++i) {
        if (siblings(men[i], women[i])) {
            alone.push_back(men[i]);
            alone.push_back(women[i]);
        } else {
            couples.emplace_back(men[i], women[i]);
        }
    }
    alone.insert(alone.end(), men.begin() + static_cast<std::ptrdiff_t>(pairs), men.end());
    alone.insert(alone.end(), women.begin() + static_cast<std::ptrdiff_t>(pairs), women.end());
    for (int single : alone) {
        if (count() >= target) break;
        const SexCode sex = person(single).sesso == Male ? Female : Male;
        // Born within five years of the one they marry, at least sixteen years before, and
        // not before 1700.
        const int birthYear = std::max(
            FirstYear, std::min(person(single).datanasc.year() + between(-5, 5), year - 16));
        const int spouse = addMember(sex, surnames_.pickIndex(random_), dayIn(birthYear));
        couples.emplace_back(sex == Female ? single : spouse, sex == Female ? spouse : single);
    }
    for (const auto& [husband, wife] : couples) marry(husband, wife, year);
}

int TreeBuilder::childrenPlanned() {
    const double point = random_.generateDouble() * std::accumulate(std::begin(ChildrenWeights),
                                                                    std::end(ChildrenWeights), 0.0);
    double reached = 0;
    for (int children = 0; children < std::ssize(ChildrenWeights); ++children) {
        reached += ChildrenWeights[children];
        if (point < reached) return children;
    }
    return static_cast<int>(std::ssize(ChildrenWeights)) - 1;
}

// Some marry again once this marriage has ended, so half brothers and sisters exist.
void TreeBuilder::marry(int husband, int wife, int year) {
    for (int spouse : {husband, wife}) {
        Member& partner = member(spouse);
        if (!partner.married) partner.remarries = chance(0.12);
        partner.married = true;
    }
    // A tenth of the marriages were recorded without their date.
    marriages_.push_back(
        {person(husband).idrecord, person(wife).idrecord, chance(0.1) ? QDate() : dayIn(year)});
    couples_.push_back({husband, wife, childrenPlanned(), year + 1});
}

// Children arrive one to three years apart while the mother is under 46; a couple whose time is
// over, or whose children are all born, leaves the list, and each partner may marry again.
void TreeBuilder::birthsThisYear(int year, int target, int& allowance) {
    for (Couple& couple : couples_) {
        const bool widowed = !aliveIn(couple.wife, year - 1) || !aliveIn(couple.husband, year - 1);
        if (widowed || year - person(couple.wife).datanasc.year() > 45) couple.childrenLeft = 0;
        if (couple.childrenLeft == 0 || couple.nextBirthYear > year || allowance <= 0 ||
            count() >= target)
            continue;
        const SexCode sex = chance(0.5) ? Male : Female;
        const int child = addMember(sex, member(couple.husband).surname, dayIn(year),
                                    couple.husband, couple.wife);
        // A few children were recorded with one parent only.
        linkChild(child, !chance(0.02));
        planMarriage(child);
        --couple.childrenLeft;
        couple.nextBirthYear = year + between(1, 3);
        --allowance;
    }
    for (const Couple& couple : couples_) {
        if (couple.childrenLeft > 0) continue;
        mayRemarry(couple.husband, year);
        mayRemarry(couple.wife, year);
    }
    std::erase_if(couples_, [](const Couple& couple) { return couple.childrenLeft == 0; });
}

void TreeBuilder::mayRemarry(int index, int year) {
    Member& partner = member(index);
    const int age = year - person(index).datanasc.year();
    const int oldest = person(index).sesso == Male ? 55 : 42;
    if (!partner.remarries || !aliveIn(index, year) || age > oldest) return;
    partner.remarries = false;
    const int next = year + between(1, 3);
    if (next <= LastYear) marryingIn_[next].push_back(index);
}

// Most adults marry: women between 18 and 32, men between 21 and 38.
void TreeBuilder::planMarriage(int index) {
    if (!chance(0.85)) return;
    const int age = person(index).sesso == Male ? between(21, 38) : between(18, 32);
    const int year = person(index).datanasc.year() + age;
    if (year <= LastYear) marryingIn_[year].push_back(index);
}

// The father's link comes first in most families, the mother's in the others.
void TreeBuilder::linkChild(int child, bool bothParents) {
    std::vector<std::pair<int, SexCode>> parents{{member(child).father, Male},
                                                 {member(child).mother, Female}};
    if (chance(0.3)) std::swap(parents[0], parents[1]);
    if (!bothParents) parents.pop_back();
    for (const auto& [parent, sex] : parents)
        links_.push_back({person(parent).idrecord, person(child).idrecord, sex});
}

// Like the registry window: the key from the names and the birth date; a key already in use moves
// the birth day on (or back, at the end of 2020) until the key is free.
QString TreeBuilder::uniqueKey(const QString& surname, const QString& givenName,
                               QDate& birth) const {
    const QDate original = birth;
    int step = 1;
    for (;;) {
        const QString key = UpperCase(
            ComposeKey(surname, givenName, FormatDisplayDate(birth), DateRule::AnyLength));
        if (!keys_.contains(key)) return key;
        birth = birth.addDays(step);
        if (birth > LastDay) {
            step = -1;
            birth = original.addDays(-1);
        }
    }
}

// A birth known only in part, in the forms real trees hold it, most often the year alone.
QString TreeBuilder::birthInPart(const QDate& birth) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const int year = birth.year();
    const int form = random_.bounded(20);
    if (form < 9) return QString::number(year);
    if (form < 13) return QStringLiteral("ABT %1").arg(year);
    if (form < 16)
        return QStringLiteral("%1 %2").arg(QLatin1StringView(months[birth.month() - 1])).arg(year);
    if (form < 18) return QStringLiteral("BET %1 AND %2").arg(year).arg(year + 2);
    if (form < 19) return QStringLiteral("BEF %1").arg(year + 1);
    return QStringLiteral("AFT %1").arg(year - 1);
}

// About a third of the persons have a date and place of death: most of those born long ago.
int TreeBuilder::addMember(SexCode sex, int surname, QDate birth, int father, int mother) {
    Person added;
    added.cognome = surnames_.text(surname);
    added.nome = (sex == Male ? maleNames_ : femaleNames_).pick(random_);
    // Drawn only when asked for, so the trees without dates in part stay as they were.
    QString inPart = inPartShare_ > 0 && chance(inPartShare_) ? birthInPart(birth) : QString();
    const QString prefix = OwnKeyPrefix(added.cognome, added.nome, EarliestYear(inPart));
    if (!inPart.isEmpty() && ownNumbers_.value(prefix) < 9999) {
        added.idrecord = OwnKey(prefix, ++ownNumbers_[prefix]);
        ++facts_.birthsInPart;
    } else {
        inPart.clear();
        added.idrecord = uniqueKey(added.cognome, added.nome, birth);
    }
    added.sesso = sex;
    added.datanasc = birth;
    added.luogonasc = towns_.pick(random_);
    added.nazionenasc = pickCountry();
    const int birthYear = birth.year();
    const double deathChance = birthYear < 1880 ? 0.85 : birthYear < 1940 ? 0.5 : 0.05;
    const int oldestAge = std::min(98, LastYear - birthYear);
    if (oldestAge >= 1 && chance(deathChance)) {
        added.datamorte =
            std::min(birth.addYears(between(1, oldestAge)).addDays(between(0, 364)), LastDay);
        added.luogomorte = towns_.pick(random_);
        added.nazionemorte = pickCountry();
        ++facts_.withDeathDate;
    }
    keys_.insert(added.idrecord);
    ++surnameCounts_[static_cast<std::size_t>(surname)];
    persons_.push_back(std::move(added));
    members_.push_back({surname, father, mother, false, false, inPart});
    return count() - 1;
}

// One family of known shape for the benchmarks that show, save and delete relations:
// a father married twice (two children from the first marriage, five from the second), one of
// the five married twice with five children in all, and another married once with five.
void TreeBuilder::plantFamilies() {
    const auto born = [&](SexCode sex, int year) {
        return addMember(sex, surnames_.pickIndex(random_), dayIn(year));
    };
    const auto children = [&](int husband, int wife, std::initializer_list<int> years) {
        std::vector<int> added;
        for (int year : years) {
            added.push_back(addMember(chance(0.5) ? Male : Female, member(husband).surname,
                                      dayIn(year), husband, wife));
            linkChild(added.back(), true);
        }
        return added;
    };
    // Married to a new spouse of the other sex, with children born in those years.
    const auto family = [&](int index, int spouseBirthYear, int year,
                            std::initializer_list<int> years) {
        const bool man = person(index).sesso == Male;
        const int spouse = born(man ? Female : Male, spouseBirthYear);
        const int husband = man ? index : spouse;
        const int wife = man ? spouse : index;
        marry(husband, wife, year);
        return std::pair{spouse, children(husband, wife, years)};
    };
    const int father = born(Male, 1928);
    family(father, 1930, 1950, {1952, 1954});
    const auto [mother, fullSiblings] = family(father, 1934, 1956, {1957, 1959, 1961, 1963, 1966});
    const int showcase = fullSiblings[1];
    const int saver = fullSiblings[3];
    const auto [firstSpouse, firstChildren] = family(showcase, 1960, 1982, {1983, 1985});
    family(showcase, 1964, 1990, {1991, 1993, 1996});
    family(saver, 1962, 1986, {1987, 1988, 1990, 1992, 1995});
    // These families are complete as they stand.
    couples_.clear();
    facts_.showcaseKey = person(showcase).idrecord;
    facts_.saveKey = person(saver).idrecord;
    facts_.fatherKey = person(father).idrecord;
    facts_.motherKey = person(mother).idrecord;
    facts_.spouseKey = person(firstSpouse).idrecord;
    for (int child : firstChildren) facts_.childKeys.append(person(child).idrecord);
}

// Surname beginnings as the registry window's search sees them: the one nearest one person in
// a hundred, the full surname fewest persons have, and a text that needs every row read.
void TreeBuilder::computeSearches() {
    QHash<QString, int> byBeginning;
    for (int surname = 0; surname < surnames_.size(); ++surname) {
        const int count = surnameCounts_[static_cast<std::size_t>(surname)];
        const QString& text = surnames_.text(surname);
        for (qsizetype length = 3; length <= text.size(); ++length) {
            const QString beginning = text.left(length);
            // The search trims what is typed: a beginning that ends in a blank is never searched.
            if (beginning.trimmed() == beginning) byBeginning[beginning] += count;
        }
    }
    QStringList beginnings = byBeginning.keys();
    beginnings.sort();
    const int hundredth = facts_.persons / 100;
    facts_.commonCount = -1;
    facts_.rareCount = -1;
    for (const QString& beginning : beginnings) {
        const int count = byBeginning.value(beginning);
        if (facts_.commonCount < 0 ||
            std::abs(count - hundredth) < std::abs(facts_.commonCount - hundredth)) {
            facts_.commonPrefix = beginning;
            facts_.commonCount = count;
        }
    }
    for (int surname = 0; surname < surnames_.size(); ++surname) {
        const QString& text = surnames_.text(surname);
        const int count = byBeginning.value(text);
        if (count > 0 && (facts_.rareCount < 0 || count < facts_.rareCount ||
                          (count == facts_.rareCount && text < facts_.rarePrefix))) {
            facts_.rarePrefix = text;
            facts_.rareCount = count;
        }
    }
    facts_.scanText = QStringLiteral("*INI");
    facts_.scanCount = 0;
    for (int surname = 0; surname < surnames_.size(); ++surname) {
        if (MatchesSearchPattern(facts_.scanText, surnames_.text(surname)))
            facts_.scanCount += surnameCounts_[static_cast<std::size_t>(surname)];
    }
}

QJsonObject ToJson(const TreeFacts& facts) {
    return QJsonObject{
        {QStringLiteral("seed"), static_cast<qint64>(facts.seed)},
        {QStringLiteral("persons"), facts.persons},
        {QStringLiteral("links"), facts.links},
        {QStringLiteral("marriages"), facts.marriages},
        {QStringLiteral("withDeathDate"), facts.withDeathDate},
        {QStringLiteral("birthsInPart"), facts.birthsInPart},
        {QStringLiteral("showcaseKey"), facts.showcaseKey},
        {QStringLiteral("saveKey"), facts.saveKey},
        {QStringLiteral("fatherKey"), facts.fatherKey},
        {QStringLiteral("motherKey"), facts.motherKey},
        {QStringLiteral("spouseKey"), facts.spouseKey},
        {QStringLiteral("childKeys"), QJsonArray::fromStringList(facts.childKeys)},
        {QStringLiteral("commonPrefix"), facts.commonPrefix},
        {QStringLiteral("commonCount"), facts.commonCount},
        {QStringLiteral("rarePrefix"), facts.rarePrefix},
        {QStringLiteral("rareCount"), facts.rareCount},
        {QStringLiteral("scanText"), facts.scanText},
        {QStringLiteral("scanCount"), facts.scanCount},
    };
}

TreeFacts FromJson(const QJsonObject& json) {
    TreeFacts facts;
    facts.seed = static_cast<quint32>(json.value(QStringLiteral("seed")).toInteger());
    facts.persons = json.value(QStringLiteral("persons")).toInt();
    facts.links = json.value(QStringLiteral("links")).toInt();
    facts.marriages = json.value(QStringLiteral("marriages")).toInt();
    facts.withDeathDate = json.value(QStringLiteral("withDeathDate")).toInt();
    facts.birthsInPart = json.value(QStringLiteral("birthsInPart")).toInt();
    facts.showcaseKey = json.value(QStringLiteral("showcaseKey")).toString();
    facts.saveKey = json.value(QStringLiteral("saveKey")).toString();
    facts.fatherKey = json.value(QStringLiteral("fatherKey")).toString();
    facts.motherKey = json.value(QStringLiteral("motherKey")).toString();
    facts.spouseKey = json.value(QStringLiteral("spouseKey")).toString();
    for (const QJsonValue& key : json.value(QStringLiteral("childKeys")).toArray())
        facts.childKeys.append(key.toString());
    facts.commonPrefix = json.value(QStringLiteral("commonPrefix")).toString();
    facts.commonCount = json.value(QStringLiteral("commonCount")).toInt();
    facts.rarePrefix = json.value(QStringLiteral("rarePrefix")).toString();
    facts.rareCount = json.value(QStringLiteral("rareCount")).toInt();
    facts.scanText = json.value(QStringLiteral("scanText")).toString();
    facts.scanCount = json.value(QStringLiteral("scanCount")).toInt();
    return facts;
}

QString FactsPath(const QString& treePath) {
    return treePath.chopped(QStringLiteral(".mdb").size()) + QStringLiteral(".json");
}

Status WriteFacts(const QString& path, const TreeFacts& facts) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(ToJson(facts)).toJson()) < 0 ||
        !file.commit())
        return Status::failure(
            InvalidRequest,
            QStringLiteral("Impossibile scrivere %1: %2").arg(path, file.errorString()));
    return Status::success();
}

std::optional<TreeFacts> ReadFacts(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject()) return std::nullopt;
    return FromJson(document.object());
}

}  // namespace

Result<TreeFacts> GenerateTree(const QString& path, quint32 seed, int size, int birthsInPart) {
    if (size < 2 * PlantedPersons)
        return Status::failure(
            InvalidRequest,
            QStringLiteral("Un albero deve avere almeno %1 persone.").arg(2 * PlantedPersons));
    if (QFileInfo::exists(path))
        return Status::failure(
            InvalidRequest,
            QStringLiteral("Il file %1 esiste già e non viene sovrascritto.").arg(path));
    {
        Result<Database> created =
            Database::open(path, DatabaseConnection::Password, Database::Mode::CreateNew);
        if (!created.ok()) return created.status();
        if (Status schema = CreateSchema(created.value()); !schema.ok()) return schema;
        if (birthsInPart > 0)
            if (Status own = CreateOwnTables(created.value()); !own.ok()) return own;
    }
    FloorDatabase floor(path.toStdString(), DatabaseConnection::Password.toStdString());
    TreeBuilder builder(seed, size, birthsInPart);
    builder.grow();
    if (!floor.ok() || !builder.write(floor)) {
        const std::string why = floor.ok() ? sqlite3_errmsg(floor.handle()) : floor.error();
        return Status::failure(
            InvalidRequest,
            QStringLiteral("Impossibile scrivere %1: %2").arg(path, QString::fromStdString(why)));
    }
    return builder.facts();
}

// The generator's version is part of the name, so a tree made by an older generator is never
// taken for one of this generator. Raise it whenever the trees it makes change.
constexpr int GeneratorVersion = 1;

QString CachedTreePath(const QString& folder, quint32 seed, int size, int birthsInPart) {
    const QString share = birthsInPart > 0 ? QStringLiteral("-p%1").arg(birthsInPart) : QString();
    return QDir(folder).filePath(QStringLiteral("tree-g%1-%2-%3%4.mdb")
                                     .arg(GeneratorVersion)
                                     .arg(seed)
                                     .arg(size)
                                     .arg(share));
}

// A tree is made under a temporary name and renamed once complete, so an interrupted run never
// leaves a half-made tree to be reused.
Result<TreeFacts> CachedTree(const QString& folder, quint32 seed, int size, int birthsInPart) {
    const QString path = CachedTreePath(folder, seed, size, birthsInPart);
    const QString factsPath = FactsPath(path);
    if (QFileInfo::exists(path)) {
        if (std::optional<TreeFacts> facts = ReadFacts(factsPath)) return *facts;
    }
    if (!QDir().mkpath(folder))
        return Status::failure(InvalidRequest,
                               QStringLiteral("Impossibile creare la cartella %1.").arg(folder));
    const QString partial = path + QStringLiteral(".part");
    for (const QString& stale : {path, factsPath, partial}) QFile::remove(stale);
    Result<TreeFacts> made = GenerateTree(partial, seed, size, birthsInPart);
    if (!made.ok()) {
        QFile::remove(partial);
        return made;
    }
    if (Status written = WriteFacts(factsPath, made.value()); !written.ok()) return written;
    if (!QFile::rename(partial, path))
        return Status::failure(InvalidRequest,
                               QStringLiteral("Impossibile rinominare %1.").arg(partial));
    return made;
}

}  // namespace radici::bench
