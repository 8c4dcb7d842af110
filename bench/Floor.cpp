#include "Floor.h"

#include <cstdio>
#include <fstream>

namespace radici::bench {

FloorStatement::FloorStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

FloorStatement::~FloorStatement() { sqlite3_finalize(statement_); }

FloorStatement& FloorStatement::text(int index, std::string_view value) {
    sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

FloorStatement& FloorStatement::textInPlace(int index, std::string_view value) {
    sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_STATIC);
    return *this;
}

FloorStatement& FloorStatement::integer(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

FloorStatement& FloorStatement::null(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

bool FloorStatement::row() {
    if (sqlite3_step(statement_) == SQLITE_ROW) return true;
    sqlite3_reset(statement_);
    return false;
}

bool FloorStatement::run() {
    const bool done = sqlite3_step(statement_) == SQLITE_DONE;
    sqlite3_reset(statement_);
    return done;
}

void FloorStatement::rewind() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::string_view FloorStatement::column(int index) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
    if (bytes == nullptr) return {};
    return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, index))};
}

std::int64_t FloorStatement::columnInteger(int index) const {
    return sqlite3_column_int64(statement_, index);
}

std::size_t FloorStatement::readAll() const {
    std::size_t bytes = 0;
    for (int index = 0; index < sqlite3_column_count(statement_); ++index)
        bytes += column(index).size();
    return bytes;
}

FloorDatabase::FloorDatabase(const std::string& path, const std::string& password) {
    // One thread per connection: neither the engine's locks nor its memory count are needed.
    static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)configured;
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK ||
        sqlite3_key(db_, password.data(), static_cast<int>(password.size())) != SQLITE_OK) {
        error_ = db_ ? sqlite3_errmsg(db_) : "out of memory";
        return;
    }
    sqlite3_extended_result_codes(db_, 1);
    FloorStatement table(db_, "select 1 from sqlite_master where type = 'table' and name = ?1");
    for (const char* name : {"anagrafica", "relazioni", "matrimoni"}) {
        if (!table.prepared() || !table.text(1, name).row()) {
            error_ = std::string("no table ") + name + ": " + sqlite3_errmsg(db_);
            return;
        }
        table.rewind();
    }
}

FloorDatabase::~FloorDatabase() { sqlite3_close(db_); }

bool FloorDatabase::execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool FloorDatabase::writeAtOnce(int cacheMiB, const std::function<bool()>& work) {
    const std::string cache = "pragma cache_size = -" + std::to_string(cacheMiB * 1024);
    return execute(cache.c_str()) && execute("begin") && work() && execute("commit");
}

FloorSearch::FloorSearch(sqlite3* db, const std::string& text)
    : scan_(text.starts_with('*')),
      statement_(db, scan_ ? "select rowid from anagrafica where cognome glob ?1 "
                             "order by datanasc, cognome, nome, rowid"
                           : "select rowid from anagrafica where cognome >= ?1 and cognome < ?2 "
                             "order by datanasc, cognome, nome, rowid"),
      low_(scan_ ? text + "*" : text),
      high_(text) {
    // Above every text with that beginning: the last byte of UTF-8 text is below 0xC0.
    if (!high_.empty()) high_.back() = static_cast<char>(high_.back() + 1);
}

std::vector<std::int64_t> FloorSearch::run() {
    statement_.text(1, low_);
    if (!scan_) statement_.text(2, high_);
    std::vector<std::int64_t> rows;
    while (statement_.row()) rows.push_back(statement_.columnInteger(0));
    return rows;
}

FloorRowReader::FloorRowReader(sqlite3* db)
    : statement_(db, "select " FLOOR_PERSON_COLUMNS " from anagrafica where rowid = ?1") {}

std::size_t FloorRowReader::read(std::int64_t rowId) {
    statement_.integer(1, rowId);
    const std::size_t bytes = statement_.row() ? statement_.readAll() : 0;
    statement_.rewind();
    return bytes;
}

double PeakResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "VmHWM:") {
            double kibibytes = 0;
            status >> kibibytes;
            return kibibytes / 1024;
        }
    }
    return -1;
}

int ReportPeak(bool succeeded) {
    if (!succeeded) return 1;
    std::printf("peak %.1f\n", PeakResidentMiB());
    std::fflush(stdout);
    return 0;
}

}  // namespace radici::bench
