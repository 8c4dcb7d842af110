#include "KinshipFinder.h"

#include "store/FamilyReader.h"

#include <QSet>
#include <algorithm>
#include <memory>

namespace radici {
namespace {

struct Visit {
    int depth = 0;
    QString child;        // through whom this ancestor was first reached; empty at the start
    QStringList parents;  // as the links give them
};

// Everyone above one person, each once, with the generations up to them.
struct Climb {
    QHash<QString, Visit> seen;
    QHash<QString, QStringList> children;  // of each ancestor, among seen
    QStringList frontier;

    int depth(const QString& key) const { return seen.value(key).depth; }

    // From just below the ancestor down to the person the climb started from.
    QStringList lineDown(const QString& ancestor) const {
        QStringList line;
        for (QString key = seen.value(ancestor).child; !key.isEmpty(); key = seen.value(key).child)
            line.append(key);
        return line;
    }

    bool sharedChild(const QString& a, const QString& b) const {
        const QStringList& of = children.value(a);
        return std::any_of(of.cbegin(), of.cend(), [&](const QString& child) {
            return seen.value(child).parents.contains(b);
        });
    }
};

// Climbs from several persons at once, one generation a step, with one query for the whole step.
class Walk {
public:
    explicit Walk(const DatabaseConnection& connection) : reader_(connection) {}

    void start(const QString& key) {
        if (climbs_.contains(key)) return;
        auto climb = std::make_shared<Climb>();
        climb->seen.insert(key, Visit{});
        climb->frontier.append(key);
        climbs_.insert(key, climb);
    }

    const Climb& from(const QString& key) const { return *climbs_.value(key); }
    bool stoppedAtBound() const { return stoppedAtBound_; }

    // Past the bound one more query tells whether anyone was left unfollowed.
    Status run() {
        for (int generation = 0;; ++generation) {
            QStringList keys;
            for (const auto& climb : std::as_const(climbs_)) keys << climb->frontier;
            keys.removeDuplicates();
            if (keys.isEmpty()) return Status::success();
            Result<std::vector<ParentLink>> links = reader_.parentLinks(keys);
            if (!links.ok()) return links.status();
            if (generation == MaxKinshipGenerations) {
                stoppedAtBound_ = !links.value().empty();
                return Status::success();
            }
            QHash<QString, QStringList> parents;
            for (const ParentLink& link : links.value())
                parents[link.idfigli.trimmed()].append(link.idgenitori.trimmed());
            for (const auto& climb : std::as_const(climbs_)) climbUp(*climb, parents, generation);
        }
    }

private:
    static void climbUp(Climb& climb, const QHash<QString, QStringList>& parents, int generation) {
        QStringList next;
        for (const QString& key : std::as_const(climb.frontier)) {
            const QStringList& above = parents.value(key);
            climb.seen[key].parents = above;
            for (const QString& parent : above) {
                climb.children[parent].append(key);
                if (climb.seen.contains(parent)) continue;
                climb.seen.insert(parent, Visit{generation + 1, key, {}});
                next.append(parent);
            }
        }
        climb.frontier = next;
    }

    FamilyReader reader_;
    QHash<QString, std::shared_ptr<Climb>> climbs_;
    bool stoppedAtBound_ = false;
};

// The common ancestors none of whose children is common too; two of them with the same
// generations and a child in common on both sides are one couple.
std::vector<QStringList> LowestCommonAncestors(const Climb& first, const Climb& second) {
    QStringList common;
    for (auto it = first.seen.cbegin(); it != first.seen.cend(); ++it)
        if (second.seen.contains(it.key())) common.append(it.key());
    const QSet<QString> commonSet(common.cbegin(), common.cend());
    const auto hasCommonChild = [&](const QString& key) {
        const QStringList children = first.children.value(key) + second.children.value(key);
        return std::any_of(children.cbegin(), children.cend(),
                           [&](const QString& child) { return commonSet.contains(child); });
    };
    common.removeIf(hasCommonChild);
    std::sort(common.begin(), common.end());
    std::vector<QStringList> tops;
    QSet<QString> grouped;
    for (const QString& a : std::as_const(common)) {
        if (grouped.contains(a)) continue;
        QStringList top{a};
        for (const QString& b : std::as_const(common)) {
            if (b == a || grouped.contains(b) || first.depth(a) != first.depth(b) ||
                second.depth(a) != second.depth(b) || !first.sharedChild(a, b) ||
                !second.sharedChild(a, b))
                continue;
            top.append(b);
            grouped.insert(b);
            break;
        }
        grouped.insert(a);
        tops.push_back(top);
    }
    return tops;
}

std::vector<Relationship> BloodRelationships(const Climb& first, const Climb& second, Bond bond) {
    std::vector<Relationship> found;
    for (const QStringList& top : LowestCommonAncestors(first, second)) {
        Relationship relationship;
        relationship.top = top;
        relationship.terms.bond = bond;
        relationship.terms.up = first.depth(top.front());
        relationship.terms.down = second.depth(top.front());
        relationship.firstLine = first.lineDown(top.front());
        relationship.secondLine = second.lineDown(top.front());
        found.push_back(std::move(relationship));
    }
    return found;
}

QStringList SpousesOf(const QString& key, const std::vector<Marriage>& marriages) {
    QStringList spouses;
    for (const Marriage& marriage : marriages) {
        const QString husband = marriage.idmarito.trimmed();
        const QString wife = marriage.idmoglie.trimmed();
        if (husband == key && wife != key) spouses.append(wife);
        if (wife == key && husband != key) spouses.append(husband);
    }
    spouses.removeDuplicates();  // a couple written in both roles is one marriage
    return spouses;
}

// Through a marriage: the spouse whose blood relative the second person is, or the blood
// relative whose spouse the second person is; the end of that side's line, or the top.
QString MarriedInto(const Relationship& r) {
    const QStringList& line = r.terms.bond == Bond::SpouseRelative ? r.firstLine : r.secondLine;
    return line.isEmpty() ? r.top.front() : line.last();
}

KnownSex SexIn(const Kinship& kinship, const QString& key) {
    const auto person = kinship.persons.constFind(key);
    return person == kinship.persons.constEnd() ? KnownSex::Unknown : SexOf(person->sesso);
}

// What the words need from the persons read.
void Complete(Relationship& r, const Kinship& kinship) {
    KinshipTerms& t = r.terms;
    t.sex = SexIn(kinship, kinship.second);
    if (t.up > t.down && t.down > 0) t.linkSex = SexIn(kinship, r.firstLine.value(t.down - 1));
    if (t.down > t.up && t.up > 0) t.linkSex = SexIn(kinship, r.secondLine.value(t.up - 1));
    if (t.bond == Bond::SpouseRelative || t.bond == Bond::RelativeSpouse)
        t.spouseSex = SexIn(kinship, MarriedInto(r));
    if (r.top.size() == 1 && t.up > 0 && t.down > 0) {
        const KnownSex parent = SexIn(kinship, r.top.front());
        t.shared = parent == KnownSex::Man     ? SharedParent::Father
                   : parent == KnownSex::Woman ? SharedParent::Mother
                                               : SharedParent::One;
    }
    // The man of a couple first, as a chart draws them.
    if (r.top.size() == 2 && SexIn(kinship, r.top[1]) == KnownSex::Man) r.top.swapItemsAt(0, 1);
    r.words = NameKinship(t);
}

int Rank(const Relationship& r) { return r.terms.bond == Bond::Spouses ? 0 : 1 + r.degree(); }

// Affinity with a person of one's own direct line says nothing the blood does not.
bool InDirectLine(const std::vector<Relationship>& blood) {
    return std::any_of(blood.cbegin(), blood.cend(),
                       [](const Relationship& r) { return r.terms.up == 0 || r.terms.down == 0; });
}

// By blood, and by affinity through either person's marriages.
std::vector<Relationship> Relate(const Walk& walk, const Kinship& kinship,
                                 const QStringList& firstSpouses,
                                 const QStringList& secondSpouses) {
    std::vector<Relationship> found =
        BloodRelationships(walk.from(kinship.first), walk.from(kinship.second), Bond::Blood);
    if (InDirectLine(found)) return found;
    for (const QString& spouse : firstSpouses) {
        for (Relationship& r : BloodRelationships(walk.from(spouse), walk.from(kinship.second),
                                                  Bond::SpouseRelative)) {
            r.firstPartner = kinship.first;
            found.push_back(std::move(r));
        }
    }
    for (const QString& spouse : secondSpouses) {
        for (Relationship& r : BloodRelationships(walk.from(kinship.first), walk.from(spouse),
                                                  Bond::RelativeSpouse)) {
            r.secondPartner = kinship.second;
            found.push_back(std::move(r));
        }
    }
    return found;
}

Result<Kinship> ReadKinship(const DatabaseConnection& connection, const QString& firstKey,
                            const QString& secondKey) {
    const FamilyReader reader(connection);
    Kinship kinship;
    kinship.first = firstKey.trimmed();
    kinship.second = secondKey.trimmed();
    const QStringList both{kinship.first, kinship.second};
    Result<std::vector<Marriage>> marriages = reader.marriages(both, both);
    if (!marriages.ok()) return marriages.status();
    QStringList firstSpouses = SpousesOf(kinship.first, marriages.value());
    QStringList secondSpouses = SpousesOf(kinship.second, marriages.value());
    std::vector<Relationship>& found = kinship.relationships;
    if (firstSpouses.contains(kinship.second)) {
        Relationship spouses;
        spouses.terms.bond = Bond::Spouses;
        spouses.top = both;
        found.push_back(spouses);
    }
    firstSpouses.removeAll(kinship.second);
    secondSpouses.removeAll(kinship.first);

    Walk walk(connection);
    for (const QString& key : both + firstSpouses + secondSpouses) walk.start(key);
    if (Status climbed = walk.run(); !climbed.ok()) return climbed;
    kinship.stoppedAtBound = walk.stoppedAtBound();

    if (kinship.first != kinship.second) {  // nobody is their own relative
        std::vector<Relationship> related = Relate(walk, kinship, firstSpouses, secondSpouses);
        found.insert(found.end(), related.begin(), related.end());
    }

    QStringList named = both;
    for (const Relationship& r : found) named << r.top << r.firstLine << r.secondLine;
    named.removeDuplicates();
    Result<std::vector<Person>> persons = reader.persons(named);
    if (!persons.ok()) return persons.status();
    for (Person& person : persons.value()) {
        const QString key = person.idrecord.trimmed();
        kinship.persons.insert(key, std::move(person));
    }
    for (Relationship& r : found) Complete(r, kinship);
    std::stable_sort(found.begin(), found.end(), [](const Relationship& a, const Relationship& b) {
        if (Rank(a) != Rank(b)) return Rank(a) < Rank(b);
        if (a.terms.bond != b.terms.bond) return a.terms.bond < b.terms.bond;
        return a.terms.up < b.terms.up;
    });
    return kinship;
}

}  // namespace

// Every query sees one state of the file.
Result<Kinship> FindKinship(const DatabaseConnection& connection, const QString& firstKey,
                            const QString& secondKey) {
    return connection.runReading([&] { return ReadKinship(connection, firstKey, secondKey); });
}

QString NoKinshipText(const Kinship& kinship) {
    return kinship.first == kinship.second ? QStringLiteral("è la stessa persona")
                                           : QStringLiteral("nessuna parentela trovata");
}

QString StoppedAtBoundText() {
    return QStringLiteral(
               "La ricerca si è fermata a %1 generazioni: gli antenati più lontani "
               "non sono stati seguiti.")
        .arg(MaxKinshipGenerations);
}

QString KinshipPersonName(const Kinship& kinship, const QString& key) {
    const auto person = kinship.persons.constFind(key);
    if (person == kinship.persons.constEnd()) return key;
    return person->nome.trimmed() + u' ' + person->cognome.trimmed();
}

QString KinshipLine(const Kinship& kinship, const Relationship& relationship) {
    QString line = relationship.words.words;
    if (relationship.terms.bond == Bond::Spouses) return line;
    line += QStringLiteral(", ") + relationship.words.degree;
    const auto named = [&kinship](const QString& key) {
        return KinshipPersonName(kinship, key) + QStringLiteral(" (") + key + u')';
    };
    if (relationship.terms.bond != Bond::Blood)
        line += QStringLiteral("; tramite ") + named(MarriedInto(relationship));
    QStringList ancestors;
    for (const QString& key : relationship.top) ancestors << named(key);
    line += ancestors.size() == 1 ? QStringLiteral("; antenato comune: ")
                                  : QStringLiteral("; antenati comuni: ");
    return line + ancestors.join(QStringLiteral(" e "));
}

}  // namespace radici
