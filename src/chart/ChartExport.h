#pragma once

#include "ChartLayout.h"
#include "store/Status.h"

#include <QSize>
#include <QString>

namespace radici {

// The caption of a chart: its own title when it has one, else "Albero di " and the chart person's
// given name and surname (their key when they are missing from anagrafica).
QString ChartTitle(const ChartLayout& layout);

// The size of the picture saved as PNG: the chart's own at a zoom of 1, scaled down only when it
// would pass what an image can hold.
QSize PictureSize(const ChartLayout& layout);

// Saves the whole chart as PNG, SVG or PDF, chosen by the file name's extension (any letter
// case). A PDF is one page the chart's size, scaled down only past what PDF allows. On failure
// nothing is left at the path and the status says why, in Italian.
Status ExportChart(const ChartLayout& layout, const QString& path);

}  // namespace radici
