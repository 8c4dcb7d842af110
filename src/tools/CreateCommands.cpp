#include "tools/CreateCommands.h"

#include "store/DatabaseConnection.h"
#include "store/TreeFile.h"
#include "tools/DemoFamily.h"

#include <QTextStream>

namespace radici {
namespace {

Status AddDemoFamily(const QString& path) {
    DatabaseConnection connection;
    if (Status opened = connection.open(path); !opened.ok()) return opened;
    return WriteDemoFamily(connection);
}

Status FillNewFile(const QString& path, DatabaseContent content) {
    Status made = CreateEmptyDatabase(path);
    if (made.ok() && content == DatabaseContent::DemoFamily) made = AddDemoFamily(path);
    return made;
}

int Create(const QString& command, DatabaseContent content, const CommandLine& line,
           QTextStream& out, QTextStream& err) {
    if (line.arguments.size() > 1) {
        return Misused(
            err,
            QStringLiteral("troppi argomenti: %1 accetta al più un nome di file.").arg(command));
    }
    const QString path = line.arguments.value(0, DatabaseConnection::FileName);
    if (path.trimmed().isEmpty()) return Misused(err, QStringLiteral("il nome del file è vuoto."));
    return CreateDatabaseFile(path, content, out, err);
}

}  // namespace

int CreateDatabaseFile(const QString& path, DatabaseContent content, QTextStream& out,
                       QTextStream& err, const CompleteNewFile& complete) {
    const std::unique_ptr<StagedFile> staged = StageNewFile(path, err);
    if (!staged) return ToolFailed;
    if (const Status made = FillNewFile(staged->path(), content); !made.ok()) {
        return Failed(
            err, QStringLiteral("impossibile preparare il database %1: %2 %3")
                     .arg(ShownPath(path), QString::number(made.number()), made.description()));
    }
    if (complete) {
        if (const int completed = complete(staged->path()); completed != ToolSucceeded)
            return completed;
    }
    if (const int named = PublishNewFile(*staged, err); named != ToolSucceeded) return named;
    if (content == DatabaseContent::DemoFamily) {
        out << "Creato il database " << ShownPath(path) << " con una famiglia di esempio.\n";
    } else {
        out << "Creato il database vuoto " << ShownPath(path) << ".\n";
    }
    return ToolSucceeded;
}

ToolCommand InitCommand() {
    return {QStringLiteral("init"),
            QStringLiteral("[file]"),
            QStringLiteral("crea un database vuoto"),
            {},
            [](const CommandLine& line, QTextStream& out, QTextStream& err) {
                return Create(QStringLiteral("init"), DatabaseContent::Empty, line, out, err);
            }};
}

ToolCommand DemoCommand() {
    return {QStringLiteral("demo"),
            QStringLiteral("[file]"),
            QStringLiteral("crea un database con una famiglia di esempio"),
            {},
            [](const CommandLine& line, QTextStream& out, QTextStream& err) {
                return Create(QStringLiteral("demo"), DatabaseContent::DemoFamily, line, out, err);
            }};
}

}  // namespace radici
