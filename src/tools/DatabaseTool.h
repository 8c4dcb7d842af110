#pragma once

#include <QString>
#include <QStringList>

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
// Creates the file, empty, unless it exists already; says why not on err. Returns an exit code.
int ClaimNewFile(const QString& path, QTextStream& err);

enum class DatabaseContent { Empty, DemoFamily };

// Makes a new database file with the program's password and its three tables, and the demo
// family when asked. Never touches an existing file. Reports in one line: on out when the file
// was made, on err when it was not (and then leaves no file behind).
int CreateDatabaseFile(const QString& path, DatabaseContent content, QTextStream& out,
                       QTextStream& err);

// Runs radici-db with its command line, program name first.
int RunDatabaseTool(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace radici
