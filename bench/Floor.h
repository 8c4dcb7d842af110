#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace radici::bench {

// The yardstick every figure is compared with: the same reads and writes made straight through
// the SQLCipher C API, with statements prepared once and no windows. Nothing here uses Qt, so a
// process built on it alone shows what the engine itself costs.

class FloorStatement {
public:
    FloorStatement(sqlite3* db, const char* sql);
    FloorStatement(const FloorStatement&) = delete;
    FloorStatement& operator=(const FloorStatement&) = delete;
    ~FloorStatement();

    bool prepared() const { return statement_ != nullptr; }

    FloorStatement& text(int index, std::string_view value);
    // Bound in place, without the engine's copy: the bytes must stay until the statement runs.
    FloorStatement& textInPlace(int index, std::string_view value);
    FloorStatement& integer(int index, std::int64_t value);
    FloorStatement& null(int index);

    // True while a row is there; at the end the statement is rewound for its next use.
    bool row();
    // Runs a statement that returns no rows; true when it succeeded.
    bool run();
    void rewind();

    std::string_view column(int index) const;
    std::int64_t columnInteger(int index) const;
    // Reads every column of the current row as the program reads a person; returns the bytes read.
    std::size_t readAll() const;

private:
    sqlite3_stmt* statement_ = nullptr;
};

class FloorDatabase {
public:
    // Opens the existing file with the password and checks its three tables, as the program does.
    FloorDatabase(const std::string& path, const std::string& password);
    FloorDatabase(const FloorDatabase&) = delete;
    FloorDatabase& operator=(const FloorDatabase&) = delete;
    ~FloorDatabase();

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    sqlite3* handle() const { return db_; }

    bool execute(const char* sql);
    // Runs the writes in one transaction with a page cache of that many MiB, so the index pages
    // stay in memory: committed when the work returns true.
    bool writeAtOnce(int cacheMiB, const std::function<bool()>& work);

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

// The rows a registry search by surname finds, in its order: an index range for a plain
// beginning, a glob scan for one that begins with "*" (names are stored upper-case).
class FloorSearch {
public:
    FloorSearch(sqlite3* db, const std::string& text);
    std::vector<std::int64_t> run();

private:
    bool scan_;
    FloorStatement statement_;
    std::string low_;
    std::string high_;
};

// Reads a person by row id, every column, as the registry window does for the result shown.
class FloorRowReader {
public:
    explicit FloorRowReader(sqlite3* db);
    // The bytes read; 0 when there is no such row.
    std::size_t read(std::int64_t rowId);

private:
    FloorStatement statement_;
};

// The columns of a person, in the order the program reads them.
#define FLOOR_PERSON_COLUMNS                                                                    \
    "idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, datamorte, luogomorte, " \
    "nazionemorte"

// The inserts of a whole row of each table, parameters in column order.
#define FLOOR_INSERT_PERSON                         \
    "insert into anagrafica (" FLOOR_PERSON_COLUMNS \
    ") values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"
#define FLOOR_INSERT_LINK "insert into relazioni (idgenitori, idfigli, idsesso) values (?1, ?2, ?3)"
#define FLOOR_INSERT_MARRIAGE "insert into matrimoni (idmarito, idmoglie, Data) values (?1, ?2, ?3)"
#define FLOOR_CREATE_DATES_IN_PART                                                            \
    "create table if not exists radici_date_persone (idrecord text not null, evento integer " \
    "not null, data text not null, ordine text, primary key (idrecord, evento)) without rowid"
#define FLOOR_INSERT_DATE_IN_PART \
    "insert into radici_date_persone (idrecord, evento, data, ordine) values (?1, ?2, ?3, ?4)"

// Peak resident memory of this process so far, in MiB, from /proc/self/status; -1 when unknown.
double PeakResidentMiB();
// Ends a probe process: when its work succeeded, writes "peak <MiB>" (what the benchmark that
// started it reads). Returns the probe's exit code.
int ReportPeak(bool succeeded);

}  // namespace radici::bench
