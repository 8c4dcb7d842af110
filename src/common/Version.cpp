#include "common/Version.h"

namespace radici {

QString ProgramVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(RADICI_VERSION_MAJOR)
        .arg(RADICI_VERSION_MINOR)
        .arg(RADICI_VERSION_PATCH);
}

}  // namespace radici
