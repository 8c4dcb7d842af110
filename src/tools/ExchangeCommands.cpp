#include "tools/ExchangeCommands.h"

#include "common/Version.h"
#include "gedcom/GedcomExporter.h"
#include "store/Backup.h"
#include "store/DatabaseConnection.h"
#include "tools/DatabaseTool.h"
#include "tools/NewFile.h"

#include <QTextStream>

namespace radici {

namespace {

const QString PrivateOption = QStringLiteral("--private");

// "[DB] OUT": one or two file names, the database defaulting to the one in the current folder.
struct Files {
    QString database;
    QString output;
};

std::optional<Files> ReadFiles(const QString& command, const QStringList& names, QTextStream& err) {
    for (const QString& name : names) {
        if (name.startsWith(u'-')) {
            Misused(err, QStringLiteral("opzione sconosciuta \"%1\" per %2.").arg(name, command));
            return std::nullopt;
        }
    }
    if (names.isEmpty() || names.size() > 2) {
        Misused(err, QStringLiteral("%1 vuole il file da scrivere, preceduto al più dal "
                                    "database.")
                         .arg(command));
        return std::nullopt;
    }
    Files files{names.size() == 2 ? names[0] : DatabaseConnection::FileName, names.last()};
    if (files.database.trimmed().isEmpty() || files.output.trimmed().isEmpty()) {
        Misused(err, QStringLiteral("il nome del file è vuoto."));
        return std::nullopt;
    }
    return files;
}

int Failed(QTextStream& err, const QString& what, const Status& status) {
    return radici::Failed(err, what + QStringLiteral(": ") + status.description());
}

int OpenDatabase(DatabaseConnection& connection, const QString& path, QTextStream& err) {
    const Status opened = connection.open(path);
    if (opened.ok()) return ToolSucceeded;
    return Failed(err, QStringLiteral("impossibile aprire il database %1").arg(ShownPath(path)),
                  opened);
}

int Export(QStringList names, QTextStream& out, QTextStream& err) {
    ExportOptions options{ProgramVersion(), names.removeAll(PrivateOption) > 0};
    const std::optional<Files> files = ReadFiles(QStringLiteral("export"), names, err);
    if (!files) return ToolMisused;
    DatabaseConnection connection;
    if (const int opened = OpenDatabase(connection, files->database, err); opened) return opened;
    const std::unique_ptr<StagedFile> staged = StageNewFile(files->output, err);
    if (!staged) return ToolFailed;
    const Result<ExportReport> report =
        GedcomExporter(*connection.database(), options).exportToFile(staged->path());
    if (!report.ok())
        return Failed(err, QStringLiteral("esportazione non riuscita"), report.status());
    if (const int named = PublishNewFile(*staged, err); named) return named;
    for (const QString& problem : report.value().problems)
        err << ToolName << ": " << problem << "\n";
    out << DescribeExport(report.value()) << " File: " << ShownPath(files->output) << "\n";
    return ToolSucceeded;
}

int Backup(const QStringList& names, QTextStream& out, QTextStream& err) {
    const std::optional<Files> files = ReadFiles(QStringLiteral("backup"), names, err);
    if (!files) return ToolMisused;
    DatabaseConnection connection;
    if (const int opened = OpenDatabase(connection, files->database, err); opened) return opened;
    const Status copied =
        BackupDatabase(*connection.database(), files->output, DatabaseConnection::Password);
    if (!copied.ok()) return Failed(err, QStringLiteral("copia non riuscita"), copied);
    out << "Copia di sicurezza scritta in " << ShownPath(files->output)
        << " e controllata: è integra.\n";
    return ToolSucceeded;
}

}  // namespace

std::optional<int> RunExchangeCommand(const QStringList& arguments, QTextStream& out,
                                      QTextStream& err) {
    const QString command = arguments.value(1);
    if (command == QLatin1String("export")) return Export(arguments.mid(2), out, err);
    if (command == QLatin1String("backup")) return Backup(arguments.mid(2), out, err);
    return std::nullopt;
}

}  // namespace radici
