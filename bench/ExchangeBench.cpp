// bench-exchange: the GEDCOM export of a generated tree, through the program's exporter beside
// its floor: the same rows read with one scan of each table in row order straight through the
// SQLCipher C API and written as GEDCOM lines in large blocks, no Qt. Each also as a process of
// its own, for its peak memory:
//   bench-exchange probe program|floor FILE PASSWORD OUT   exports once, writes "peak <MiB>"
#include "BenchSupport.h"
#include "Floor.h"
#include "gedcom/GedcomExporter.h"
#include "store/DatabaseConnection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace radici::bench {
namespace {

// Lines gathered in a buffer and handed to the C library whenever it holds that many bytes.
class FloorLines {
public:
    FloorLines(const std::string& path, std::size_t bufferBytes)
        : file_(std::fopen(path.c_str(), "wb")), bufferBytes_(bufferBytes) {
        if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
        buffer_.reserve(bufferBytes + 4096);
    }
    ~FloorLines() {
        if (file_) std::fclose(file_);
    }
    bool ok() const { return file_ != nullptr; }
    FloorLines& operator<<(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= bufferBytes_) flush();
        return *this;
    }
    FloorLines& operator<<(std::int64_t number) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        return *this << std::string_view(digits, std::size_t(end - digits));
    }
    bool flush() {
        const bool written =
            std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
        buffer_.clear();
        return written;
    }

private:
    std::FILE* file_;
    std::size_t bufferBytes_;
    std::string buffer_;
};

// "yyyy-mm-dd" as "d MON yyyy".
void WriteDate(FloorLines& out, int level, std::string_view iso) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (iso.size() != 10) return;
    const int month = (iso[5] - '0') * 10 + (iso[6] - '0');
    const std::string_view day = iso[8] == '0' ? iso.substr(9, 1) : iso.substr(8, 2);
    out << std::to_string(level) << " DATE " << day << " " << months[(month + 11) % 12] << " "
        << iso.substr(0, 4) << "\n";
}

void WriteEvent(FloorLines& out, const char* tag, const FloorStatement& row, int column) {
    const std::string_view date = row.column(column);
    const std::string_view place = row.column(column + 1);
    const std::string_view country = row.column(column + 2);
    if (date.empty() && place.empty() && country.empty()) return;
    out << "1 " << tag << "\n";
    WriteDate(out, 2, date);
    if (!place.empty() || !country.empty()) out << "2 PLAC " << place << ", " << country << "\n";
}

// The keys turned into row ids in memory: every key in one block of text and the table sized
// for all of them at once, so no key costs an allocation of its own.
class RowIds {
public:
    void add(std::string_view key, std::int64_t rowId) {
        keys_.emplace_back(text_.size(), rowId);
        text_.append(key);
    }
    // Once every key is in: the text no longer moves.
    void index() {
        rowIds_.reserve(keys_.size());
        keys_.emplace_back(text_.size(), 0);
        for (std::size_t i = 0; i + 1 < keys_.size(); ++i)
            rowIds_.emplace(
                std::string_view(text_).substr(keys_[i].first, keys_[i + 1].first - keys_[i].first),
                keys_[i].second);
    }
    std::int64_t of(std::string_view key) const {
        const auto found = rowIds_.find(key);
        return found == rowIds_.end() ? 0 : found->second;
    }

private:
    std::string text_;
    std::vector<std::pair<std::size_t, std::int64_t>> keys_;
    std::unordered_map<std::string_view, std::int64_t> rowIds_;
};

void WritePerson(FloorLines& out, const FloorStatement& persons) {
    out << "0 @I" << persons.columnInteger(10) << "@ INDI\n1 NAME " << persons.column(2) << " /"
        << persons.column(1) << "/\n1 SEX " << (persons.columnInteger(3) == 0 ? "M" : "F") << "\n";
    WriteEvent(out, "BIRT", persons, 4);
    WriteEvent(out, "DEAT", persons, 7);
    out << "1 REFN " << persons.column(0) << "\n";
}

void WriteFamilies(sqlite3* db, FloorLines& out, const RowIds& rowIds) {
    FloorStatement marriages(db, "select idmarito, idmoglie, Data from matrimoni order by rowid");
    for (std::int64_t family = 1; marriages.row(); ++family) {
        out << "0 @F" << family << "@ FAM\n1 HUSB @I" << rowIds.of(marriages.column(0))
            << "@\n1 WIFE @I" << rowIds.of(marriages.column(1)) << "@\n1 MARR\n";
        WriteDate(out, 2, marriages.column(2));
    }
    FloorStatement links(db, "select idgenitori, idfigli, idsesso from relazioni order by rowid");
    while (links.row())
        out << "1 CHIL @I" << rowIds.of(links.column(1)) << "@ " << rowIds.of(links.column(0))
            << "\n";
}

bool Begin(sqlite3* db) {
    return sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
}
bool Commit(sqlite3* db, FloorLines& out) {
    out << "0 TRLR\n";
    return out.flush() && sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Each table read once, in the order its B-tree holds it: the persons first, their keys kept as
// they come, then one family a marriage and one CHIL line a link, without grouping; written in
// blocks of 4 MiB.
bool FloorExport(sqlite3* db, const std::string& path) {
    FloorLines out(path, 4 << 20);
    if (!out.ok() || !Begin(db)) return false;
    out << "0 HEAD\n1 CHAR UTF-8\n";
    RowIds rowIds;
    FloorStatement persons(db,
                           "select " FLOOR_PERSON_COLUMNS ", rowid from anagrafica order by rowid");
    while (persons.row()) {
        rowIds.add(persons.column(0), persons.columnInteger(10));
        WritePerson(out, persons);
    }
    rowIds.index();
    WriteFamilies(db, out, rowIds);
    return Commit(db, out);
}

// The floor as first measured: the keys read from their index first (as the program does), the
// families before the persons, written in blocks of 64 KiB.
bool FloorExportKeysFirst(sqlite3* db, const std::string& path) {
    FloorLines out(path, 1 << 16);
    if (!out.ok() || !Begin(db)) return false;
    out << "0 HEAD\n1 CHAR UTF-8\n";
    RowIds rowIds;
    FloorStatement keyScan(db, "select idrecord, rowid from anagrafica");
    while (keyScan.row()) rowIds.add(keyScan.column(0), keyScan.columnInteger(1));
    rowIds.index();
    WriteFamilies(db, out, rowIds);
    FloorStatement persons(db,
                           "select " FLOOR_PERSON_COLUMNS ", rowid from anagrafica order by rowid");
    while (persons.row()) WritePerson(out, persons);
    return Commit(db, out);
}

bool ProgramExport(const DatabaseConnection& connection, const QString& path) {
    QFile::remove(path);
    return GedcomExporter(connection, {QStringLiteral("bench")}).exportToFile(path).ok();
}

// One export in a process of its own, then its peak memory.
int Probe(const std::vector<std::string>& arguments) {
    const std::string& side = arguments.at(2);
    const std::string& file = arguments.at(3);
    const std::string& out = arguments.at(5);
    if (side == "floor") {
        FloorDatabase database(file, arguments.at(4));
        return ReportPeak(database.ok() && FloorExport(database.handle(), out));
    }
    DatabaseConnection connection;
    return ReportPeak(connection.open(QString::fromStdString(file)).ok() &&
                      ProgramExport(connection, QString::fromStdString(out)));
}

int Run(int argc, char** argv) {
    const BenchTree tree = RequireTree(argc, argv);
    const QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("albero.ged"));
    DatabaseConnection connection;
    FloorDatabase floor(tree.path.toStdString(), DatabaseConnection::Password.toStdString());
    if (const Status opened = connection.open(tree.path); !opened.ok() || !floor.ok()) {
        QTextStream(stderr) << "bench-exchange: cannot open " << tree.path << '\n';
        return 1;
    }
    RegisterTimedPair(
        "export", [&] { return ProgramExport(connection, out); },
        [&] { return FloorExport(floor.handle(), out.toStdString()); });
    RegisterTimedPair("export, floor as first measured", {},
                      [&] { return FloorExportKeysFirst(floor.handle(), out.toStdString()); });
    RegisterPeakMemory("export peak memory", {tree.path, DatabaseConnection::Password, out},
                       folder.path());
    return RunBenchmarks(argc, argv,
                         "Export, tree of " + std::to_string(tree.facts.persons) + " persons",
                         {"export", "export, floor as first measured", "export peak memory"});
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    return radici::bench::ProbeOrRun(argc, argv, radici::bench::Probe, radici::bench::Run);
}
