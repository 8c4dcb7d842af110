#pragma once

#include "store/StagedFile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QTextStream;

namespace radici {

class DatabaseConnection;

// Exit codes of radici-db.
inline constexpr int ToolSucceeded = 0;
inline constexpr int ToolFailed = 1;   // the work failed, or a file exists already
inline constexpr int ToolMisused = 2;  // a bad command line

inline const QString ToolName = QStringLiteral("radici-db");

// What a command is given: the arguments after its name, and the parsed command line to ask for
// the options it takes.
struct CommandLine {
    QStringList arguments;
    const QCommandLineParser& parser;
};

// One command of radici-db: how --help shows it, the options it takes (any other is refused)
// and what runs it, returning an exit code.
struct ToolCommand {
    QString name;
    QString usage;    // what follows the name, as --help shows it
    QString summary;  // what it does, for --help
    QList<QCommandLineOption> options;
    int (*run)(const CommandLine& line, QTextStream& out, QTextStream& err);
};

// Reports a bad command line in one line on err; returns ToolMisused.
int Misused(QTextStream& err, const QString& problem);
// Reports a refused or failed request in one line on err; returns ToolFailed.
int Failed(QTextStream& err, const QString& problem);
// The absolute path, as the tool shows it.
QString ShownPath(const QString& path);
// The file to write for a new file at path, under a staging name, or none after saying on err
// why not: a name that is taken is refused before any work is done.
std::unique_ptr<StagedFile> StageNewFile(const QString& path, QTextStream& err);
// Gives the finished file its name, never replacing a file that appeared meanwhile. Returns an
// exit code, after saying on err why the name could not be given.
int PublishNewFile(StagedFile& staged, QTextStream& err);
// Opens the database file; says why not on err, in the same words for every command. Returns an
// exit code.
int OpenDatabase(DatabaseConnection& connection, const QString& path, QTextStream& err);

}  // namespace radici
