#pragma once

#include "ChartLayout.h"

#include <QRectF>
#include <QStringList>

class QPainter;

namespace radici {

// The texts of a box, top to bottom: surname, given name, birth and death with year (a date known
// in part in its short form) and place (a registry key's date when neither is known), "(ripetuto)"
// on a repeat. A person missing from anagrafica shows the key and says so.
QStringList BoxLines(const ChartBox& box);

// Paints the boxes and lines that meet the visible part of the chart, in chart coordinates.
// Men have square corners and a solid border, women rounded corners and a solid border, a person
// of unknown sex square corners, a solid border and a "?", a person missing from anagrafica a
// dashed one; a repeat a dotted one; each also has its own quiet colour and a sign in the corner.
// On a screen, texts too small to read are left out, which keeps a whole family drawn at a small
// zoom quick; files and paper get every text.
enum class ChartDetail { Legible, Full };
void PaintChart(QPainter& painter, const ChartLayout& layout, const QRectF& visible,
                ChartDetail detail = ChartDetail::Full);

// Paints the whole chart scaled to fit the page, centred, never larger than at a zoom of 1.
void PaintChartOnPage(QPainter& painter, const ChartLayout& layout, const QRectF& page);

}  // namespace radici
