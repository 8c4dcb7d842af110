#include "tools/ImportCommand.h"

#include "gedcom/GedcomImporter.h"
#include "store/DatabaseConnection.h"
#include "tools/DatabaseTool.h"

#include <QFileInfo>
#include <QTextStream>

namespace radici {
namespace {

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

}  // namespace

int RunImport(const QString& gedcomPath, const QString& databasePath, bool dryRun, QTextStream& out,
              QTextStream& err) {
    const bool makeDatabase =
        !QFileInfo::exists(databasePath) && !QFileInfo(databasePath).isSymLink();
    const auto importInto = [&](const QString& path) {
        DatabaseConnection connection;
        const Status opened = connection.open(path);
        return opened.ok() ? ImportInto(gedcomPath, connection, dryRun, out, err)
                           : Failed(err, opened.description());
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

}  // namespace radici
