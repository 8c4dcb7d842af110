#pragma once

#include "tools/ToolSupport.h"

#include <QStringList>
#include <functional>

class QTextStream;

namespace radici {

// Runs radici-db with its command line, program name first; returns its exit code.
int RunDatabaseTool(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace radici
