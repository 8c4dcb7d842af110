#include "ChartLayout.h"

#include "TidyTree.h"
#include "store/PartialDate.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace radici {
namespace {

using namespace ChartMeasure;

QString Trimmed(const QString& key) { return key.trimmed(); }

// The family's links and marriages by key, in the order written.
class FamilyIndex {
public:
    explicit FamilyIndex(const ChartFamily& family) : family_(family) {
        for (std::size_t i = 0; i < family.links.size(); ++i) {
            byChild_[Trimmed(family.links[i].idfigli)].push_back(i);
            byParent_[Trimmed(family.links[i].idgenitori)].push_back(i);
        }
        for (std::size_t i = 0; i < family.marriages.size(); ++i) {
            byHusband_[Trimmed(family.marriages[i].idmarito)].push_back(i);
            byWife_[Trimmed(family.marriages[i].idmoglie)].push_back(i);
        }
    }

    std::optional<Person> person(const QString& key) const {
        const auto found = family_.persons.constFind(key);
        if (found == family_.persons.constEnd()) return std::nullopt;
        return *found;
    }
    PersonDatesInPart datesInPart(const QString& key) const {
        return family_.datesInPart.value(key);
    }
    // The birth date to sort by: a date known in part by its earliest day.
    QDate birthOrder(const QString& key) const {
        const std::optional<Person> row = person(key);
        if (row && row->datanasc.isValid()) return row->datanasc;
        return EarliestDay(datesInPart(key).birth);
    }

    std::vector<const ParentLink*> parentLinks(const QString& child) const {
        return rows(byChild_, child, family_.links);
    }
    std::vector<const ParentLink*> childLinks(const QString& parent) const {
        return rows(byParent_, parent, family_.links);
    }
    std::vector<const Marriage*> asHusband(const QString& key) const {
        return rows(byHusband_, key, family_.marriages);
    }
    std::vector<const Marriage*> asWife(const QString& key) const {
        return rows(byWife_, key, family_.marriages);
    }

private:
    using Rows = QHash<QString, std::vector<std::size_t>>;
    template <typename Row>
    static std::vector<const Row*> rows(const Rows& index, const QString& key,
                                        const std::vector<Row>& all) {
        std::vector<const Row*> found;
        for (std::size_t i : index.value(key)) found.push_back(&all[i]);
        return found;
    }

    const ChartFamily& family_;
    Rows byChild_;
    Rows byParent_;
    Rows byHusband_;
    Rows byWife_;
};

// Boxes in the order they are met, walking the chart breadth first, so a person seen twice is
// drawn in full where they are nearest the chart's person and marked as a repeat elsewhere.
class BoxMaker {
public:
    BoxMaker(const FamilyIndex& index, std::vector<ChartBox>& boxes)
        : index_(index), boxes_(boxes) {}

    int add(const QString& key, int generation, bool partner) {
        ChartBox box;
        box.key = Trimmed(key);
        box.person = index_.person(box.key);
        box.inPart = index_.datesInPart(box.key);
        box.generation = generation;
        box.partner = partner;
        box.repeat = seen_.contains(box.key);
        seen_.insert(box.key);
        boxes_.push_back(std::move(box));
        return static_cast<int>(boxes_.size()) - 1;
    }

private:
    const FamilyIndex& index_;
    std::vector<ChartBox>& boxes_;
    QSet<QString> seen_;
};

// Moves everything so the chart, with its margin, starts at the origin.
void Frame(ChartLayout& layout) {
    QRectF bounds;
    for (const ChartBox& box : layout.boxes) bounds |= box.rect;
    for (const QLineF& line : layout.lines) {
        bounds |= QRectF(line.p1(), line.p2()).normalized();
    }
    bounds.adjust(-Margin, -Margin, Margin, Margin);
    const QPointF shift = -bounds.topLeft();
    for (ChartBox& box : layout.boxes) box.rect.translate(shift);
    for (QLineF& line : layout.lines) line.translate(shift);
    layout.bounds = bounds.translated(shift);
}

int Clamped(int generations) { return std::clamp(generations, MinGenerations, MaxGenerations); }

// --- ancestors ---------------------------------------------------------------------------------

// The last father and the last mother the links name.
std::vector<QString> ParentsOf(const FamilyIndex& index, const QString& key) {
    QString father;
    QString mother;
    for (const ParentLink* link : index.parentLinks(key)) {
        (link->idsesso == Male ? father : mother) = Trimmed(link->idgenitori);
    }
    std::vector<QString> parents;
    for (const QString& parent : {father, mother}) {
        if (!parent.isEmpty()) parents.push_back(parent);
    }
    return parents;
}

void AddAncestorLines(ChartLayout& layout, const std::vector<TidyNode>& nodes) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].children.empty()) continue;
        const QRectF& child = layout.boxes[i].rect;
        const double middle = child.right() + ColumnGap / 2;
        double top = child.center().y();
        double bottom = top;
        layout.lines.emplace_back(child.right(), top, middle, top);
        for (int parent : nodes[i].children) {
            const QRectF& box = layout.boxes[parent].rect;
            top = std::min(top, box.center().y());
            bottom = std::max(bottom, box.center().y());
            layout.lines.emplace_back(middle, box.center().y(), box.left(), box.center().y());
        }
        if (bottom > top) layout.lines.emplace_back(middle, top, middle, bottom);
    }
}

// --- descendants -------------------------------------------------------------------------------

// The children a person has with one partner (none: the other parent is not known).
struct Couple {
    QString partner;
    std::vector<QString> children;
};

// A person of the chart's line of descent with the partners drawn beside them, left to right.
struct Group {
    int person = -1;                // box
    std::vector<int> places;        // boxes left to right, the person among them
    std::vector<Couple> unions;     // in the order of their partners' places
    std::vector<int> unionPartner;  // box of each union's partner, -1 when unknown
};

bool BornBefore(const QDate& a, const QDate& b) {
    if (a.isValid() != b.isValid()) return a.isValid();
    return a.isValid() && a < b;
}

bool MarriedBefore(const Marriage* a, const Marriage* b) {
    if (a->data.isValid() != b->data.isValid()) return a->data.isValid();
    return a->data.isValid() && a->data < b->data;
}

std::vector<QString> SpousesOf(const FamilyIndex& index, const QString& key,
                               const std::optional<Person>& person) {
    std::vector<const Marriage*> marriages;
    const auto take = [&](const std::vector<const Marriage*>& rows) {
        marriages.insert(marriages.end(), rows.begin(), rows.end());
    };
    // Whose sex is not known (or who has no row) is looked up on both sides.
    const bool known = person && IsKnownSex(person->sesso);
    if (!known || person->sesso == Male) take(index.asHusband(key));
    if (!known || person->sesso == Female) take(index.asWife(key));
    std::stable_sort(marriages.begin(), marriages.end(), MarriedBefore);
    std::vector<QString> spouses;
    for (const Marriage* marriage : marriages) {
        const QString spouse =
            Trimmed(Trimmed(marriage->idmarito) == key ? marriage->idmoglie : marriage->idmarito);
        if (std::find(spouses.begin(), spouses.end(), spouse) == spouses.end()) {
            spouses.push_back(spouse);
        }
    }
    return spouses;
}

std::vector<Couple> UnionsOf(const FamilyIndex& index, const QString& key,
                             const std::optional<Person>& person, bool withChildren) {
    std::vector<Couple> unions;
    for (const QString& spouse : SpousesOf(index, key, person)) unions.push_back({spouse, {}});
    if (!withChildren) return unions;
    // Each child once, with their birth date: a large family costs the same for every child.
    std::vector<std::pair<QDate, QString>> children;
    QSet<QString> listed;
    for (const ParentLink* link : index.childLinks(key)) {
        const QString child = Trimmed(link->idfigli);
        if (listed.contains(child)) continue;
        listed.insert(child);
        children.emplace_back(index.birthOrder(child), child);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const auto& a, const auto& b) { return BornBefore(a.first, b.first); });
    QHash<QString, std::size_t> unionOf;
    for (std::size_t u = unions.size(); u-- > 0;) unionOf.insert(unions[u].partner, u);
    for (const auto& [born, child] : children) {
        QString other;
        for (const ParentLink* link : index.parentLinks(child)) {
            if (Trimmed(link->idgenitori) != key) {
                other = Trimmed(link->idgenitori);
                break;
            }
        }
        const auto found = unionOf.constFind(other);
        std::size_t u = found == unionOf.constEnd() ? unions.size() : *found;
        if (u == unions.size()) {
            unionOf.insert(other, u);
            unions.push_back({other, {}});
        }
        unions[u].children.push_back(child);
    }
    return unions;
}

// Partners alternate right and left of the person, so the first two are each next to them; the
// children of the unknown other parent go under the person.
std::vector<int> SlotOrder(const std::vector<Couple>& unions, std::size_t& personSlot) {
    std::vector<int> left;
    std::vector<int> right;
    int unknown = -1;
    int placed = 0;
    for (std::size_t i = 0; i < unions.size(); ++i) {
        if (unions[i].partner.isEmpty()) {
            unknown = static_cast<int>(i);
            continue;
        }
        (placed++ % 2 == 0 ? right : left).push_back(static_cast<int>(i));
    }
    std::vector<int> order(left.rbegin(), left.rend());
    personSlot = order.size();
    order.push_back(unknown);  // the person's own slot
    order.insert(order.end(), right.begin(), right.end());
    return order;
}

bool NextTo(const QRectF& a, const QRectF& b) {
    return std::abs(a.center().x() - b.center().x()) < BoxWidth + PartnerGap + 1;
}

class DescendantChart {
public:
    DescendantChart(const ChartFamily& family, int generations)
        : index_(family), maker_(index_, layout_.boxes), generations_(generations) {
        layout_.kind = ChartKind::Descendants;
    }

    ChartLayout make(const QString& key) {
        addGroup(key, 1);
        for (std::size_t g = 0; g < groups_.size(); ++g) expand(static_cast<int>(g));
        place();
        Frame(layout_);
        return std::move(layout_);
    }

private:
    int addGroup(const QString& key, int generation) {
        Group group;
        group.person = maker_.add(key, generation, false);
        group.places = {group.person};
        groups_.push_back(std::move(group));
        nodes_.push_back({BoxWidth, {}});
        return static_cast<int>(groups_.size()) - 1;
    }

    void expand(int g) {
        const ChartBox person = layout_.boxes[groups_[g].person];
        if (person.repeat) return;
        std::vector<Couple> unions =
            UnionsOf(index_, person.key, person.person, person.generation < generations_);
        // Cousins who married are both descendants: their family is drawn under the first.
        std::erase_if(unions, [&](const Couple& u) { return !firstTime(person.key, u.partner); });
        std::size_t personSlot = 0;
        const std::vector<int> order = SlotOrder(unions, personSlot);
        std::vector<int> places;
        std::vector<Couple> ordered;
        std::vector<int> partners;
        for (std::size_t s = 0; s < order.size(); ++s) {
            const int u = order[s];
            const bool own = s == personSlot;
            const int box =
                own ? groups_[g].person : maker_.add(unions[u].partner, person.generation, true);
            places.push_back(box);
            if (u < 0) continue;
            ordered.push_back(std::move(unions[u]));
            partners.push_back(own ? -1 : box);
        }
        for (const Couple& u : ordered) {
            for (const QString& child : u.children) {
                const int c = addGroup(child, person.generation + 1);
                nodes_[g].children.push_back(c);
            }
        }
        Group& group = groups_[g];
        group.places = std::move(places);
        group.unions = std::move(ordered);
        group.unionPartner = std::move(partners);
        const double count = static_cast<double>(group.places.size());
        nodes_[g].extent = count * BoxWidth + (count - 1) * PartnerGap;
    }

    bool firstTime(const QString& person, const QString& partner) {
        if (partner.isEmpty()) return true;
        const QString couple = std::min(person, partner) + u'\n' + std::max(person, partner);
        if (couples_.contains(couple)) return false;
        couples_.insert(couple);
        return true;
    }

    void place() {
        const std::vector<double> centres = TidyCentres(nodes_, 0, SiblingGap, CousinGap);
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            const Group& group = groups_[g];
            const double top = (layout_.boxes[group.person].generation - 1) * (BoxHeight + RowGap);
            double left = centres[g] - nodes_[g].extent / 2;
            for (int box : group.places) {
                layout_.boxes[box].rect = QRectF(left, top, BoxWidth, BoxHeight);
                left += BoxWidth + PartnerGap;
            }
        }
        for (std::size_t g = 0; g < groups_.size(); ++g) addLines(static_cast<int>(g));
    }

    // Marriage lines join a person and each partner next to them; each union with children
    // drops from its own point to a bar of its own height, from which each child hangs.
    void addLines(int g) {
        const Group& group = groups_[g];
        const QRectF& own = layout_.boxes[group.person].rect;
        for (int partner : group.unionPartner) {
            if (partner < 0 || !NextTo(own, layout_.boxes[partner].rect)) continue;
            const QRectF& rect = layout_.boxes[partner].rect;
            const double y = own.center().y();
            layout_.lines.emplace_back(std::min(own.right(), rect.right()), y,
                                       std::max(own.left(), rect.left()), y);
        }
        std::vector<std::size_t> withChildren;
        for (std::size_t u = 0; u < group.unions.size(); ++u) {
            if (!group.unions[u].children.empty()) withChildren.push_back(u);
        }
        std::size_t child = 0;
        std::size_t level = 0;
        for (std::size_t u = 0; u < group.unions.size(); ++u) {
            const std::size_t count = group.unions[u].children.size();
            if (count == 0) continue;
            const double bar = own.bottom() + RowGap * static_cast<double>(++level) /
                                                  static_cast<double>(withChildren.size() + 1);
            QPointF from = unionPoint(group, u);
            std::vector<const QRectF*> hanging;
            for (std::size_t c = 0; c < count; ++c) {
                hanging.push_back(&layout_.boxes[groups_[nodes_[g].children[child++]].person].rect);
            }
            layout_.lines.emplace_back(from, QPointF(from.x(), bar));
            const double first = std::min(from.x(), hanging.front()->center().x());
            const double last = std::max(from.x(), hanging.back()->center().x());
            if (last > first) layout_.lines.emplace_back(first, bar, last, bar);
            for (const QRectF* rect : hanging) {
                layout_.lines.emplace_back(rect->center().x(), bar, rect->center().x(),
                                           rect->top());
            }
        }
    }

    // Between the person and a partner next to them, else under the partner (or the person).
    QPointF unionPoint(const Group& group, std::size_t u) const {
        const QRectF& own = layout_.boxes[group.person].rect;
        const int partner = group.unionPartner[u];
        if (partner < 0) return {own.center().x(), own.bottom()};
        const QRectF& rect = layout_.boxes[partner].rect;
        if (NextTo(own, rect)) {
            return {(rect.center().x() + own.center().x()) / 2, own.center().y()};
        }
        return {rect.center().x(), rect.bottom()};
    }

    FamilyIndex index_;
    ChartLayout layout_;
    BoxMaker maker_;
    int generations_;
    std::vector<Group> groups_;
    std::vector<TidyNode> nodes_;
    QSet<QString> couples_;
};

}  // namespace

ChartLayout LayoutAncestors(const ChartFamily& family, const QString& key, int generations) {
    generations = Clamped(generations);
    const FamilyIndex index(family);
    ChartLayout layout;
    layout.kind = ChartKind::Ancestors;
    BoxMaker maker(index, layout.boxes);
    std::vector<TidyNode> nodes;
    maker.add(key, 1, false);
    nodes.push_back({BoxHeight, {}});
    // Boxes are appended while the loop runs: breadth first, without recursion.
    for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
        const ChartBox child = layout.boxes[i];
        if (child.repeat || child.generation >= generations) continue;
        for (const QString& parent : ParentsOf(index, child.key)) {
            nodes[i].children.push_back(maker.add(parent, child.generation + 1, false));
            nodes.push_back({BoxHeight, {}});
        }
    }
    const std::vector<double> centres = TidyCentres(nodes, 0, SiblingGap / 2, CousinGap / 2);
    for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
        ChartBox& box = layout.boxes[i];
        box.rect = QRectF((box.generation - 1) * (BoxWidth + ColumnGap), centres[i] - BoxHeight / 2,
                          BoxWidth, BoxHeight);
    }
    AddAncestorLines(layout, nodes);
    Frame(layout);
    return layout;
}

ChartLayout LayoutDescendants(const ChartFamily& family, const QString& key, int generations) {
    return DescendantChart(family, Clamped(generations)).make(Trimmed(key));
}

ChartLayout LayoutChart(ChartKind kind, const ChartFamily& family, const QString& key,
                        int generations) {
    return kind == ChartKind::Ancestors ? LayoutAncestors(family, key, generations)
                                        : LayoutDescendants(family, key, generations);
}

}  // namespace radici
