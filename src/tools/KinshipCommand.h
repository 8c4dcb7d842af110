#pragma once

#include "tools/ToolSupport.h"

namespace radici {

// radici-db parentela KEY1 KEY2 [FILE]: one line for each relationship of the two, closest first.
ToolCommand KinshipCommand();

}  // namespace radici
