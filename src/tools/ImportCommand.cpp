#include "tools/ImportCommand.h"

#include "gedcom/GedcomImporter.h"
#include "store/DatabaseConnection.h"
#include "tools/CreateCommands.h"

#include <QFileInfo>
#include <QTextStream>

namespace radici {
namespace {

const QString DryRunOption = QStringLiteral("dry-run");

void Print(QTextStream& out, const ImportReport& report) {
    for (const QString& line : report.lines()) out << line << "\n";
}

int ImportInto(const QString& gedcomPath, DatabaseConnection& connection, bool dryRun,
               QTextStream& out, QTextStream& err) {
    const Result<ImportPlan> plan = PlanImport(gedcomPath, connection);
    if (!plan.ok()) return Failed(err, plan.status().description());
    if (dryRun) {
        Print(out, plan.value().report());
        out << "Prova senza scrittura: il database non è stato modificato.\n";
        return ToolSucceeded;
    }
    const Result<ImportReport> report = WriteImport(plan.value(), connection);
    if (!report.ok()) return Failed(err, report.status().description());
    Print(out, report.value());
    return ToolSucceeded;
}

int Import(const QString& gedcomPath, const QString& databasePath, bool dryRun, QTextStream& out,
           QTextStream& err) {
    const bool makeDatabase =
        !QFileInfo::exists(databasePath) && !QFileInfo(databasePath).isSymLink();
    const auto importInto = [&](const QString& path) {
        DatabaseConnection connection;
        const int opened = OpenDatabase(connection, path, err);
        return opened == ToolSucceeded ? ImportInto(gedcomPath, connection, dryRun, out, err)
                                       : opened;
    };
    if (!makeDatabase) return importInto(databasePath);
    // A dry run into a file that does not exist yet plans against an empty database.
    if (dryRun) {
        DatabaseConnection nothing;
        return ImportInto(gedcomPath, nothing, dryRun, out, err);
    }
    // The new file takes its name only once the import is written whole.
    return CreateDatabaseFile(databasePath, DatabaseContent::Empty, out, err, importInto);
}

int RunImport(const CommandLine& line, QTextStream& out, QTextStream& err) {
    if (line.arguments.isEmpty() || line.arguments.size() > 2) {
        return Misused(err, QStringLiteral("import vuole il file GEDCOM e al più un database."));
    }
    return Import(line.arguments[0], line.arguments.value(1, DatabaseConnection::FileName),
                  line.parser.isSet(DryRunOption), out, err);
}

}  // namespace

ToolCommand ImportCommand() {
    return {QStringLiteral("import"),
            QStringLiteral("[--dry-run] file.ged [file]"),
            QStringLiteral("importa un file GEDCOM: crea il database se manca, altrimenti vi\n"
                           "aggiunge le persone nuove; con --dry-run mostra solo che cosa "
                           "farebbe"),
            {QCommandLineOption(DryRunOption,
                                QStringLiteral("import: mostra che cosa verrebbe importato, "
                                               "senza scrivere."))},
            RunImport};
}

}  // namespace radici
