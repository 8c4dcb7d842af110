#pragma once

#include "ChartFamily.h"
#include "store/Records.h"

#include <QLineF>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace radici {

// One person drawn in a chart.
struct ChartBox {
    QRectF rect;
    QString key;
    std::optional<Person> person;  // none: the key has no row in anagrafica
    PersonDatesInPart inPart;      // the person's dates known only in part
    int generation = 1;            // the chart's person is the first
    bool repeat = false;           // drawn already elsewhere in the chart, so not followed again
    bool partner = false;          // a descendant's spouse or the other parent of their children
};

// Boxes and lines with their coordinates, in pixels at a zoom of 1. The first box is the chart's
// person. Lines run only through the gaps between boxes.
struct ChartLayout {
    ChartKind kind = ChartKind::Ancestors;
    std::vector<ChartBox> boxes;
    std::vector<QLineF> lines;
    QRectF bounds;  // every box and line, with a margin
    QString title;  // when not the chart of the first box's person
};

// Measures of the chart, in pixels.
namespace ChartMeasure {
inline constexpr double BoxWidth = 176;
inline constexpr double BoxHeight = 80;
inline constexpr double PartnerGap = 18;  // between a person and a spouse
inline constexpr double SiblingGap = 24;  // between brothers and sisters
inline constexpr double CousinGap = 44;   // between different families
inline constexpr double RowGap = 56;      // between generations, top to bottom
inline constexpr double ColumnGap = 48;   // between generations, left to right
inline constexpr double Margin = 16;
}  // namespace ChartMeasure

inline constexpr int MinGenerations = 1;
inline constexpr int MaxGenerations = 12;

// The person, parents, grandparents... in columns, left to right: up to generations columns.
// A person's father is the last link naming a father, the mother the last naming a mother.
ChartLayout LayoutAncestors(const ChartFamily& family, const QString& key, int generations);

// The person with each spouse and the children of each marriage, then the children's spouses and
// children..., one row per generation, top to bottom. A man's marriages are those naming him as
// husband, a woman's those naming her as wife, those of a person of unknown sex both. Children are
// grouped by their other parent and sorted by birth date; a child's other parent who is no spouse
// is drawn beside the person too.
ChartLayout LayoutDescendants(const ChartFamily& family, const QString& key, int generations);

ChartLayout LayoutChart(ChartKind kind, const ChartFamily& family, const QString& key,
                        int generations);

}  // namespace radici
