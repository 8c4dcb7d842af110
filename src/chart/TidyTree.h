#pragma once

#include <vector>

namespace radici {

// A tree to be laid out in the manner of Reingold and Tilford: each node has an extent along the
// axis where siblings lie side by side, and its children in order.
struct TidyNode {
    double extent = 0;
    std::vector<int> children;
};

// The centre of each node along the sibling axis, the root at 0. Every subtree is packed as close
// to its left neighbours as its contour allows, level by level, and each parent is centred over
// its first and last child. Two neighbouring nodes are at least siblingGap apart when they share
// a parent, cousinGap otherwise. Nodes are visited with explicit stacks: depth costs no recursion.
std::vector<double> TidyCentres(const std::vector<TidyNode>& nodes, int root, double siblingGap,
                                double cousinGap);

}  // namespace radici
