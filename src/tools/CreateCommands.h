#pragma once

#include "tools/ToolSupport.h"

namespace radici {

enum class DatabaseContent { Empty, DemoFamily };

// Makes a new database file with the program's password and its three tables, and the demo
// family when asked. Never touches an existing file. Reports in one line: on out when the file
// was made, on err when it was not (and then leaves no file behind).
int CreateDatabaseFile(const QString& path, DatabaseContent content, QTextStream& out,
                       QTextStream& err);

// radici-db init [FILE] and demo [FILE].
ToolCommand InitCommand();
ToolCommand DemoCommand();

}  // namespace radici
