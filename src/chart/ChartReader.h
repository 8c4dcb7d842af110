#pragma once

#include "ChartFamily.h"
#include "store/DatabaseConnection.h"
#include "store/Status.h"

#include <QString>

namespace radici {

// Reads what the chart of that kind and depth needs, one generation at a time with a few queries
// for the whole generation: for ancestors the parent links and the parents; for descendants the
// marriages, the children with all their parent links, and every person those name.
Result<ChartFamily> ReadChartFamily(const DatabaseConnection& connection, ChartKind kind,
                                    const QString& key, int generations);

}  // namespace radici
