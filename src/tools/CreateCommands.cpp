#include "tools/CreateCommands.h"

#include "store/DatabaseConnection.h"
#include "store/TreeFile.h"
#include "tools/DemoFamily.h"

#include <QTextStream>

namespace radici {
namespace {

Status AddContent(const QString& path, DatabaseContent content) {
    DatabaseConnection connection;
    if (Status opened = connection.open(path); !opened.ok()) return opened;
    return content == DatabaseContent::DemoFamily ? WriteDemoFamily(connection)
                                                  : connection.datesInPart().create();
}

Status FillNewFile(const QString& path, DatabaseContent content) {
    Status made = CreateEmptyDatabase(path);
    if (made.ok() && content != DatabaseContent::Empty) made = AddContent(path, content);
    return made;
}

QString MadeMessage(const QString& path, DatabaseContent content) {
    switch (content) {
        case DatabaseContent::Empty:
            return QStringLiteral("Creato il database vuoto %1.").arg(ShownPath(path));
        case DatabaseContent::EmptyWithOwnTables:
            return QStringLiteral(
                       "Creato il database vuoto %1, con le tabelle di Radici per le date note "
                       "solo in parte: radici_date_persone e radici_date_matrimoni.")
                .arg(ShownPath(path));
        case DatabaseContent::DemoFamily:
            break;
    }
    return QStringLiteral("Creato il database %1 con una famiglia di esempio.")
        .arg(ShownPath(path));
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
    out << MadeMessage(path, content) << '\n';
    return ToolSucceeded;
}

ToolCommand InitCommand() {
    return {QStringLiteral("init"),
            QStringLiteral("[file]"),
            QStringLiteral("crea un database vuoto"),
            {},
            [](const CommandLine& line, QTextStream& out, QTextStream& err) {
                return Create(QStringLiteral("init"), DatabaseContent::EmptyWithOwnTables, line,
                              out, err);
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
