#pragma once

#include "tools/ToolSupport.h"

#include <functional>

namespace radici {

// Empty: the three tables alone; EmptyWithOwnTables: with Radici's own tables beside them.
enum class DatabaseContent { Empty, EmptyWithOwnTables, DemoFamily };

// Finishes a new database under its staging name; returns an exit code.
using CompleteNewFile = std::function<int(const QString& stagingPath)>;

// Makes a new database file with the program's password and its three tables, and Radici's own
// tables or the demo family when asked, then lets complete finish it. The file takes its name only
// once all of it is done, and never replaces a file. Reports in one line: on out when the file was
// made, on err when it was not (and then leaves no file behind).
int CreateDatabaseFile(const QString& path, DatabaseContent content, QTextStream& out,
                       QTextStream& err, const CompleteNewFile& complete = {});

// radici-db init [FILE] and demo [FILE].
ToolCommand InitCommand();
ToolCommand DemoCommand();

}  // namespace radici
