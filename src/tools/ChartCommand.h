#pragma once

#include "tools/ToolSupport.h"

namespace radici {

// radici-db chart [--ancestors N | --descendants N] KEY OUT.svg|.pdf|.png [DB]: draws the chart
// of the person into the file, in the format of its extension; neither option means 4
// generations of ancestors.
ToolCommand ChartCommand();

}  // namespace radici
