#include "TidyTree.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace radici {
namespace {

// A subtree's left and right edge at each level below its root, relative to the root's centre.
struct Span {
    double left;
    double right;
};
using Contour = std::vector<Span>;

// Root first, each parent before its children.
std::vector<int> PreOrder(const std::vector<TidyNode>& nodes, int root) {
    std::vector<int> order;
    std::vector<int> stack{root};
    while (!stack.empty()) {
        const int node = stack.back();
        stack.pop_back();
        order.push_back(node);
        const std::vector<int>& children = nodes[node].children;
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            stack.push_back(*child);
        }
    }
    return order;
}

// How far right the next subtree must sit so that no level comes closer than the gaps.
double ShiftAfter(const Contour& placed, const Contour& next, double siblingGap, double cousinGap) {
    double shift = std::numeric_limits<double>::lowest();
    const std::size_t common = std::min(placed.size(), next.size());
    for (std::size_t level = 0; level < common; ++level) {
        const double gap = level == 0 ? siblingGap : cousinGap;
        shift = std::max(shift, placed[level].right - next[level].left + gap);
    }
    return shift;
}

void MergeInto(Contour& placed, const Contour& next, double shift) {
    for (std::size_t level = 0; level < next.size(); ++level) {
        const Span moved{next[level].left + shift, next[level].right + shift};
        if (level < placed.size()) {
            placed[level].left = std::min(placed[level].left, moved.left);
            placed[level].right = std::max(placed[level].right, moved.right);
        } else {
            placed.push_back(moved);
        }
    }
}

}  // namespace

std::vector<double> TidyCentres(const std::vector<TidyNode>& nodes, int root, double siblingGap,
                                double cousinGap) {
    const std::vector<int> order = PreOrder(nodes, root);
    std::vector<double> offset(nodes.size(), 0.0);  // from the parent's centre
    std::vector<Contour> contours(nodes.size());
    // Children before parents: each subtree's contour is complete when its parent needs it.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const int node = *it;
        const std::vector<int>& children = nodes[node].children;
        Contour below;
        for (std::size_t i = 0; i < children.size(); ++i) {
            Contour& child = contours[children[i]];
            const double shift = i == 0 ? 0.0 : ShiftAfter(below, child, siblingGap, cousinGap);
            offset[children[i]] = shift;
            MergeInto(below, child, shift);
            Contour().swap(child);
        }
        const double half = nodes[node].extent / 2;
        Contour own{{-half, half}};
        if (!children.empty()) {
            const double centre = (offset[children.front()] + offset[children.back()]) / 2;
            for (int child : children) offset[child] -= centre;
            for (Span& span : below) own.push_back({span.left - centre, span.right - centre});
        }
        contours[node] = std::move(own);
    }
    std::vector<double> centres(nodes.size(), 0.0);
    for (int node : order) {
        for (int child : nodes[node].children) centres[child] = centres[node] + offset[child];
    }
    return centres;
}

}  // namespace radici
