#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QTextStream;

namespace radici {

// Exit codes of radici-db.
inline constexpr int ToolSucceeded = 0;
inline constexpr int ToolFailed = 1;   // the file could not be made, or exists already
inline constexpr int ToolMisused = 2;  // a bad command line

inline const QString ToolName = QStringLiteral("radici-db");

// Reports a bad command line in one line on err; returns ToolMisused.
int Misused(QTextStream& err, const QString& problem);
// Reports a refused or failed request in one line on err; returns ToolFailed.
int Failed(QTextStream& err, const QString& problem);
// The absolute path, as the tool shows it.
QString ShownPath(const QString& path);

enum class DatabaseContent { Empty, DemoFamily };

// Finishes a new database under its staging name; returns an exit code.
using CompleteNewFile = std::function<int(const QString& stagingPath)>;

// Makes a new database file with the program's password and its three tables, and the demo
// family when asked, then lets complete finish it. The file takes its name only once all of it
// is done, and never replaces a file. Reports in one line: on out when the file was made, on err
// when it was not (and then leaves no file behind).
int CreateDatabaseFile(const QString& path, DatabaseContent content, QTextStream& out,
                       QTextStream& err, const CompleteNewFile& complete = {});

// Runs radici-db with its command line, program name first.
int RunDatabaseTool(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace radici
