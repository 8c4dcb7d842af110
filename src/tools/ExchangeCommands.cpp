#include "tools/ExchangeCommands.h"

#include "common/Version.h"
#include "gedcom/GedcomExporter.h"
#include "store/Backup.h"
#include "store/DatabaseConnection.h"

#include <QTextStream>

namespace radici {

namespace {

const QString PrivateOption = QStringLiteral("private");

// "[DB] OUT": one or two file names, the database defaulting to the one in the current folder.
struct Files {
    QString database;
    QString output;
};

std::optional<Files> ReadFiles(const QString& command, const QStringList& names, QTextStream& err) {
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

int Export(const CommandLine& line, QTextStream& out, QTextStream& err) {
    const ExportOptions options{ProgramVersion(), line.parser.isSet(PrivateOption)};
    const std::optional<Files> files = ReadFiles(QStringLiteral("export"), line.arguments, err);
    if (!files) return ToolMisused;
    DatabaseConnection connection;
    if (const int opened = OpenDatabase(connection, files->database, err); opened) return opened;
    const std::unique_ptr<StagedFile> staged = StageNewFile(files->output, err);
    if (!staged) return ToolFailed;
    const Result<ExportReport> report =
        GedcomExporter(connection, options).exportToFile(staged->path());
    if (!report.ok())
        return Failed(err, QStringLiteral("esportazione non riuscita"), report.status());
    if (const int named = PublishNewFile(*staged, err); named) return named;
    for (const QString& problem : report.value().problems)
        err << ToolName << ": " << problem << "\n";
    out << DescribeExport(report.value()) << " File: " << ShownPath(files->output) << "\n";
    return ToolSucceeded;
}

int Backup(const CommandLine& line, QTextStream& out, QTextStream& err) {
    const std::optional<Files> files = ReadFiles(QStringLiteral("backup"), line.arguments, err);
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

ToolCommand ExportCommand() {
    return {QStringLiteral("export"),
            QStringLiteral("[--private] [file] albero.ged"),
            QStringLiteral("esporta il database in GEDCOM 5.5.1; con --private le persone "
                           "viventi\nrestano senza date, luoghi e chiave"),
            {QCommandLineOption(
                PrivateOption,
                QStringLiteral("export: le persone viventi senza date, luoghi e chiave."))},
            Export};
}

ToolCommand BackupCommand() {
    return {QStringLiteral("backup"),
            QStringLiteral("[file] copia.mdb"),
            QStringLiteral("scrive una copia di sicurezza cifrata del database e la controlla"),
            {},
            Backup};
}

}  // namespace radici
