#pragma once

#include <QString>

namespace radici {

// "major.minor.patch" of this build, as the About box and radici-db show it.
QString ProgramVersion();

}  // namespace radici
