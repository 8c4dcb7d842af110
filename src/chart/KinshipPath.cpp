#include "KinshipPath.h"

#include <algorithm>
#include <utility>

namespace radici {
namespace {

using namespace ChartMeasure;

constexpr double RowStep = BoxHeight + RowGap;
constexpr double ColumnStep = BoxWidth + CousinGap;

QPointF Top(const QRectF& box) { return {box.center().x(), box.top()}; }
QPointF Bottom(const QRectF& box) { return {box.center().x(), box.bottom()}; }

class PathBuilder {
public:
    explicit PathBuilder(const Kinship& kinship) : kinship_(kinship) {}

    QRectF add(const QString& key, double x, int row, bool partner = false) {
        ChartBox box;
        box.rect = QRectF(x, row * RowStep, BoxWidth, BoxHeight);
        box.key = key;
        if (const auto person = kinship_.persons.constFind(key);
            person != kinship_.persons.constEnd())
            box.person = *person;
        box.generation = row + 1;
        box.partner = partner;
        layout_.boxes.push_back(box);
        return box.rect;
    }

    // A line of descent below the top, in the column at x; returns its first and last boxes.
    std::pair<QRectF, QRectF> column(const QStringList& keys, double x) {
        const QRectF first = add(keys.front(), x, 1);
        QRectF last = first;
        for (int i = 1; i < keys.size(); ++i) {
            const QRectF box = add(keys[i], x, i + 1);
            line(Bottom(last), Top(box));
            last = box;
        }
        return {first, last};
    }

    // A spouse beside the box, to its left or right, joined at mid-height.
    void partner(const QString& key, const QRectF& beside, bool left) {
        if (key.isEmpty()) return;
        const double x = left ? beside.left() - PartnerGap - BoxWidth : beside.right() + PartnerGap;
        const QRectF box = add(key, x, static_cast<int>(beside.top() / RowStep), true);
        const double y = beside.center().y();
        line({left ? box.right() : box.left(), y}, {left ? beside.left() : beside.right(), y});
    }

    // From the top down to the first box of each line, through a bar in the gap between rows.
    void descend(QPointF from, const std::vector<QRectF>& firsts) {
        if (firsts.empty()) return;
        const double bar = RowStep - RowGap / 2;
        line(from, {from.x(), bar});
        double left = from.x();
        double right = from.x();
        for (const QRectF& first : firsts) {
            line({first.center().x(), bar}, Top(first));
            left = std::min(left, first.center().x());
            right = std::max(right, first.center().x());
        }
        if (right > left) line({left, bar}, {right, bar});
    }

    void line(QPointF from, QPointF to) { layout_.lines.emplace_back(from, to); }

    ChartLayout finish(const QString& title) {
        QRectF bounds;
        for (const ChartBox& box : layout_.boxes) bounds |= box.rect;
        layout_.bounds = bounds.adjusted(-Margin, -Margin, Margin, Margin);
        layout_.title = title;
        // The first person's box comes first, so it is current when the path is shown.
        std::stable_partition(layout_.boxes.begin(), layout_.boxes.end(),
                              [&](const ChartBox& box) { return box.key == kinship_.first; });
        return std::move(layout_);
    }

private:
    const Kinship& kinship_;
    ChartLayout layout_;
};

}  // namespace

ChartLayout LayoutKinshipPath(const Kinship& kinship, const Relationship& relationship) {
    PathBuilder path(kinship);
    const bool twoLines = !relationship.firstLine.isEmpty() && !relationship.secondLine.isEmpty();
    const double right = twoLines ? ColumnStep : 0;
    QRectF top;
    QPointF descent;
    if (relationship.top.size() == 2) {
        const double second = twoLines ? ColumnStep : BoxWidth + PartnerGap;
        const QRectF husband = path.add(relationship.top[0], 0, 0);
        const QRectF wife = path.add(relationship.top[1], second, 0);
        const double y = husband.center().y();
        path.line({husband.right(), y}, {wife.left(), y});
        top = husband;
        descent = {(husband.right() + wife.left()) / 2, y};
    } else {
        top = path.add(relationship.top.value(0), right / 2, 0);
        descent = Bottom(top);
    }
    std::vector<QRectF> firsts;
    QRectF firstEnd = top;
    QRectF secondEnd = top;
    if (!relationship.firstLine.isEmpty()) {
        const auto [first, last] = path.column(relationship.firstLine, 0);
        firsts.push_back(first);
        firstEnd = last;
    }
    if (!relationship.secondLine.isEmpty()) {
        const auto [first, last] = path.column(relationship.secondLine, right);
        firsts.push_back(first);
        secondEnd = last;
    }
    path.descend(descent, firsts);
    path.partner(relationship.firstPartner, firstEnd, true);
    path.partner(relationship.secondPartner, secondEnd, false);
    return path.finish(KinshipTitle(kinship));
}

QString KinshipTitle(const Kinship& kinship) {
    return QStringLiteral("Parentela tra %1 e %2")
        .arg(KinshipPersonName(kinship, kinship.first), KinshipPersonName(kinship, kinship.second));
}

}  // namespace radici
