#pragma once

#include "tools/ToolSupport.h"

namespace radici {

// radici-db export [--private] [DB] OUT.ged and backup [DB] COPY.mdb.
ToolCommand ExportCommand();
ToolCommand BackupCommand();

}  // namespace radici
