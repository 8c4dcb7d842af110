#pragma once

#include "ChartLayout.h"

#include <QString>

class QWidget;

namespace radici {

class Toolkit;

// Asks for a printer and prints the whole chart on one landscape page.
void PrintChart(Toolkit& toolkit, QWidget* parent, const ChartLayout& chart);

// Asks for a file and saves the whole chart as PNG, SVG or PDF, by the name's extension.
void SaveChartAs(Toolkit& toolkit, QWidget* parent, const ChartLayout& chart,
                 const QString& caption);

}  // namespace radici
