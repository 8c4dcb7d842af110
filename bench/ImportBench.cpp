// bench-import: importing the GEDCOM export of a generated tree into an empty file, through the
// program's importer (reading, planning and writing) beside its floor: the same rows, read from
// the tree beforehand, inserted straight through the SQLCipher C API in one transaction with the
// same page cache. Each also as a process of its own, for its peak memory:
//   bench-import probe program|floor GEDCOM TREE EMPTY   imports once, writes "peak <MiB>"
#include "BenchSupport.h"
#include "Floor.h"
#include "gedcom/GedcomExporter.h"
#include "gedcom/GedcomImporter.h"
#include "store/DatabaseConnection.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <array>
#include <cstdio>
#include <string>

namespace radici::bench {
namespace {

using benchmark::State;

// Every row of the three tables, as text, in the order the floor writes them.
struct Rows {
    std::vector<std::array<std::string, 10>> persons;
    std::vector<std::array<std::string, 3>> links;
    std::vector<std::array<std::string, 3>> marriages;
};

template <std::size_t Columns>
void ReadTable(sqlite3* db, const char* sql, std::vector<std::array<std::string, Columns>>& rows) {
    FloorStatement read(db, sql);
    while (read.row()) {
        std::array<std::string, Columns>& row = rows.emplace_back();
        for (std::size_t column = 0; column < Columns; ++column)
            row[column] = std::string(read.column(static_cast<int>(column)));
    }
}

Rows ReadRows(sqlite3* db) {
    Rows rows;
    ReadTable(db, "select " FLOOR_PERSON_COLUMNS " from anagrafica order by rowid", rows.persons);
    ReadTable(db, "select idgenitori, idfigli, idsesso from relazioni order by rowid", rows.links);
    ReadTable(db, "select idmarito, idmoglie, Data from matrimoni order by rowid", rows.marriages);
    return rows;
}

template <std::size_t Columns>
bool Insert(sqlite3* db, const char* sql,
            const std::vector<std::array<std::string, Columns>>& rows) {
    FloorStatement insert(db, sql);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < Columns; ++column) {
            if (row[column].empty())
                insert.null(static_cast<int>(column) + 1);
            else
                insert.text(static_cast<int>(column) + 1, row[column]);
        }
        if (!insert.run()) return false;
    }
    return true;
}

bool FloorImport(const Rows& rows, const std::string& path, const std::string& password) {
    FloorDatabase db(path, password);
    if (!db.ok() || !db.execute("pragma cache_size = -196608") || !db.execute("begin"))
        return false;
    const bool written =
        Insert(db.handle(),
               "insert into anagrafica (" FLOOR_PERSON_COLUMNS
               ") values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
               rows.persons) &&
        Insert(db.handle(),
               "insert into relazioni (idgenitori, idfigli, idsesso) values (?1, ?2, ?3)",
               rows.links) &&
        Insert(db.handle(), "insert into matrimoni (idmarito, idmoglie, Data) values (?1, ?2, ?3)",
               rows.marriages);
    return written && db.execute("commit");
}

bool ProgramImport(const QString& gedcom, const QString& path) {
    DatabaseConnection connection;
    if (!connection.open(path).ok()) return false;
    const Result<ImportPlan> plan = PlanImport(gedcom, connection);
    return plan.ok() && WriteImport(plan.value(), connection).ok();
}

// A fresh copy of the empty file, for one import.
QString EmptyCopy(const QString& empty, const QString& path) {
    QFile::remove(path);
    QFile::copy(empty, path);
    return path;
}

// One import in a process of its own, then its peak memory.
int Probe(const std::vector<std::string>& arguments) {
    const QString gedcom = QString::fromStdString(arguments.at(3));
    const QString target = EmptyCopy(QString::fromStdString(arguments.at(5)),
                                     QString::fromStdString(arguments.at(5)) + ".probe");
    bool imported = false;
    if (arguments.at(2) == "floor") {
        FloorDatabase tree(arguments.at(4), DatabaseConnection::Password.toStdString());
        imported = tree.ok() && FloorImport(ReadRows(tree.handle()), target.toStdString(),
                                            DatabaseConnection::Password.toStdString());
    } else {
        imported = ProgramImport(gedcom, target);
    }
    QFile::remove(target);
    if (!imported) return 1;
    std::printf("peak %.1f\n", PeakResidentMiB());
    return 0;
}

bool MakeEmpty(const QString& path) {
    Result<Database> made =
        Database::open(path, DatabaseConnection::Password, Database::Mode::CreateNew);
    return made.ok() && CreateSchema(made.value()).ok();
}

int Run(int argc, char** argv) {
    const std::optional<TreeChoice> choice = TakeTreeChoice(argc, argv);
    QTextStream err(stderr);
    if (!choice) {
        err << "bench-import: --tree-size and --tree-seed take whole numbers\n";
        return 2;
    }
    const TreeFacts facts = RequireTree(*choice);
    const QString tree = CachedTreePath(choice->folder, choice->seed, choice->size);
    const QTemporaryDir folder;
    const QString gedcom = folder.filePath(QStringLiteral("albero.ged"));
    const QString empty = folder.filePath(QStringLiteral("vuoto.mdb"));
    const QString target = folder.filePath(QStringLiteral("importato.mdb"));
    {
        DatabaseConnection source;
        if (!source.open(tree).ok() || !MakeEmpty(empty) ||
            !GedcomExporter(*source.database(), {QStringLiteral("bench")})
                 .exportToFile(gedcom)
                 .ok()) {
            err << "bench-import: cannot export " << tree << '\n';
            return 1;
        }
    }
    FloorDatabase source(tree.toStdString(), DatabaseConnection::Password.toStdString());
    const Rows rows = ReadRows(source.handle());

    const auto timed = [](const std::string& name, auto function) {
        benchmark::RegisterBenchmark(name.c_str(), function)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    };
    timed("import/program", [&](State& s) {
        for (auto _ : s) {
            s.PauseTiming();
            EmptyCopy(empty, target);
            s.ResumeTiming();
            if (!ProgramImport(gedcom, target)) s.SkipWithError("the import failed");
        }
    });
    timed("import/floor", [&](State& s) {
        for (auto _ : s) {
            s.PauseTiming();
            EmptyCopy(empty, target);
            s.ResumeTiming();
            if (!FloorImport(rows, target.toStdString(),
                             DatabaseConnection::Password.toStdString()))
                s.SkipWithError("the floor import failed");
        }
    });
    RegisterPeakMemory("import peak memory", {gedcom, tree, empty}, folder.path());
    return RunBenchmarks(argc, argv,
                         "Import, tree of " + std::to_string(facts.persons) + " persons",
                         {"import", "import peak memory"});
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv, argv + argc);
    if (arguments.size() == 6 && arguments[1] == "probe") return radici::bench::Probe(arguments);
    QCoreApplication application(argc, argv);
    return radici::bench::Run(argc, argv);
}
