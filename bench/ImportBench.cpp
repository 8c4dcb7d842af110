// bench-import: importing the GEDCOM export of a generated tree into an empty file, through the
// program's importer (reading, planning and writing) beside its floor: the same rows, read from
// the tree beforehand, inserted straight through the SQLCipher C API in one transaction with the
// same page cache, the indexes dropped first and built again at the end. Each also as a process
// of its own, for its peak memory:
//   bench-import probe program|floor GEDCOM TREE EMPTY   imports once, writes "peak <MiB>"
#include "BenchSupport.h"
#include "Floor.h"
#include "gedcom/GedcomExporter.h"
#include "gedcom/GedcomImporter.h"
#include "store/DatabaseConnection.h"
#include "store/Schema.h"

#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <array>
#include <cstdio>
#include <string>

namespace radici::bench {
namespace {

// Every row of the three tables, as text, in the order the floor writes them.
struct Rows {
    std::vector<std::array<std::string, 10>> persons;
    std::vector<std::array<std::string, 3>> links;
    std::vector<std::array<std::string, 3>> marriages;
    // Radici's own rows of dates known in part, when the tree has any, in the order of their
    // persons as the import writes them.
    std::vector<std::array<std::string, 4>> datesInPart;
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
    FloorStatement own(db, "select 1 from sqlite_master where name = 'radici_date_persone'");
    if (own.row())
        ReadTable(db,
                  "select d.idrecord, d.evento, d.data, d.ordine from radici_date_persone d "
                  "join anagrafica a on a.idrecord = d.idrecord order by a.rowid, d.evento",
                  rows.datesInPart);
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
                insert.textInPlace(static_cast<int>(column) + 1, row[column]);
        }
        if (!insert.run()) return false;
    }
    return true;
}

// The same page caches as the program's import: with the indexes kept up to date, and with
// them built at the end.
constexpr int KeptIndexesCacheMiB = 192;
constexpr int RebuiltIndexesCacheMiB = 64;

bool InsertAll(sqlite3* db, const Rows& rows) {
    return Insert(db, FLOOR_INSERT_PERSON, rows.persons) &&
           Insert(db, FLOOR_INSERT_LINK, rows.links) &&
           Insert(db, FLOOR_INSERT_MARRIAGE, rows.marriages) &&
           (rows.datesInPart.empty() ||
            (sqlite3_exec(db, FLOOR_CREATE_DATES_IN_PART, nullptr, nullptr, nullptr) == SQLITE_OK &&
             Insert(db, FLOOR_INSERT_DATE_IN_PART, rows.datesInPart)));
}

// The rows go in as they come, each table's B-tree filled at its end (row ids in order), while
// the engine keeps every index up to date row by row.
bool FloorImportKeepingIndexes(const Rows& rows, const std::string& path,
                               const std::string& password) {
    FloorDatabase db(path, password);
    return db.ok() &&
           db.writeAtOnce(KeptIndexesCacheMiB, [&] { return InsertAll(db.handle(), rows); });
}

// The indexes the file holds are dropped, the rows go in, and the indexes are built again from
// their own text at the end, in the same transaction: the engine then sorts each index once.
bool FloorImport(const Rows& rows, const std::string& path, const std::string& password) {
    FloorDatabase db(path, password);
    return db.ok() && db.writeAtOnce(RebuiltIndexesCacheMiB, [&] {
        std::vector<std::pair<std::string, std::string>> indexes;  // name, text
        FloorStatement read(db.handle(),
                            "select name, sql from sqlite_master where type = 'index' and "
                            "sql is not null order by rowid");
        while (read.row()) indexes.emplace_back(read.column(0), read.column(1));
        for (const auto& [name, sql] : indexes)
            if (!db.execute(("drop index \"" + name + "\"").c_str())) return false;
        if (!InsertAll(db.handle(), rows)) return false;
        for (const auto& [name, sql] : indexes)
            if (!db.execute(sql.c_str())) return false;
        return true;
    });
}

bool ProgramImport(const QString& gedcom, const QString& path) {
    DatabaseConnection connection;
    if (!connection.open(path).ok()) return false;
    const Result<ImportPlan> plan = PlanImport(gedcom, connection);
    return plan.ok() && WriteImport(plan.value(), connection).ok();
}

// A fresh copy of the empty file, for one import. The disk is then brought up to date, so that
// what is left of the last repetition's disk work (its file written, then removed) is not done
// during the next one: without it, both sides took two seconds longer.
QString EmptyCopy(const QString& empty, const QString& path) {
    QFile::remove(path);
    QFile::copy(empty, path);
    ::sync();
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
    return ReportPeak(imported);
}

bool MakeEmpty(const QString& path) {
    Result<Database> made =
        Database::open(path, DatabaseConnection::Password, Database::Mode::CreateNew);
    return made.ok() && CreateSchema(made.value()).ok();
}

int Run(int argc, char** argv) {
    const BenchTree tree = RequireTree(argc, argv);
    const QTemporaryDir folder;
    const QString gedcom = folder.filePath(QStringLiteral("albero.ged"));
    const QString empty = folder.filePath(QStringLiteral("vuoto.mdb"));
    const QString target = folder.filePath(QStringLiteral("importato.mdb"));
    {
        DatabaseConnection source;
        if (!source.open(tree.path).ok() || !MakeEmpty(empty) ||
            !GedcomExporter(source, {QStringLiteral("bench")}).exportToFile(gedcom).ok()) {
            QTextStream(stderr) << "bench-import: cannot export " << tree.path << '\n';
            return 1;
        }
    }
    FloorDatabase source(tree.path.toStdString(), DatabaseConnection::Password.toStdString());
    const Rows rows = ReadRows(source.handle());
    RegisterTimedPair(
        "import", [&] { return ProgramImport(gedcom, target); },
        [&] {
            return FloorImport(rows, target.toStdString(),
                               DatabaseConnection::Password.toStdString());
        },
        [&] { EmptyCopy(empty, target); });
    // The floor as it was first measured, for comparison: slower, so no longer the floor.
    RegisterTimedPair(
        "import, floor keeping the indexes", {},
        [&] {
            return FloorImportKeepingIndexes(rows, target.toStdString(),
                                             DatabaseConnection::Password.toStdString());
        },
        [&] { EmptyCopy(empty, target); });
    RegisterPeakMemory("import peak memory", {gedcom, tree.path, empty}, folder.path());
    return RunBenchmarks(argc, argv,
                         "Import, tree of " + std::to_string(tree.facts.persons) + " persons",
                         {"import", "import, floor keeping the indexes", "import peak memory"});
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    return radici::bench::ProbeOrRun(argc, argv, radici::bench::Probe, radici::bench::Run);
}
