#pragma once

#include "tools/ToolSupport.h"

namespace radici {

// radici-db import [--dry-run] IN.ged [DB]: reads the GEDCOM file into the database, made first
// (as init makes it) when it is missing. With --dry-run it prints the same report and writes
// nothing.
ToolCommand ImportCommand();

}  // namespace radici
