// bench-exchange: the GEDCOM export of a generated tree, through the program's exporter beside
// its floor: the same rows read with the same three ordered scans straight through the SQLCipher
// C API and written as GEDCOM lines with the C library, no Qt. Each also as a process of its own,
// for its peak memory:
//   bench-exchange probe program|floor FILE PASSWORD OUT   exports once, writes "peak <MiB>"
#include "BenchSupport.h"
#include "Floor.h"
#include "gedcom/GedcomExporter.h"
#include "store/DatabaseConnection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace radici::bench {
namespace {

// Buffered lines to a file through the C library.
class FloorLines {
public:
    explicit FloorLines(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
        if (file_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    }
    ~FloorLines() {
        if (file_) std::fclose(file_);
    }
    bool ok() const { return file_ != nullptr; }
    FloorLines& operator<<(std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), file_);
        return *this;
    }
    FloorLines& operator<<(std::int64_t number) {
        std::fprintf(file_, "%lld", static_cast<long long>(number));
        return *this;
    }

private:
    std::FILE* file_;
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

// Persons, then one family a marriage and one CHIL line a link: the same rows as the program
// reads, with the same scans and the keys turned into row ids in memory, written without grouping.
bool FloorExport(sqlite3* db, const std::string& path) {
    FloorLines out(path);
    if (!out.ok() || sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    out << "0 HEAD\n1 CHAR UTF-8\n";
    std::vector<std::pair<std::string, std::int64_t>> keys;
    FloorStatement keyScan(db, "select idrecord, rowid from anagrafica");
    while (keyScan.row()) keys.emplace_back(keyScan.column(0), keyScan.columnInteger(1));
    std::unordered_map<std::string_view, std::int64_t> rowIds;
    rowIds.reserve(keys.size());
    for (const auto& [key, rowId] : keys) rowIds.emplace(key, rowId);
    const auto rowIdOf = [&](std::string_view key) -> std::int64_t {
        const auto found = rowIds.find(key);
        return found == rowIds.end() ? 0 : found->second;
    };
    FloorStatement marriages(db, "select idmarito, idmoglie, Data from matrimoni order by rowid");
    for (std::int64_t family = 1; marriages.row(); ++family) {
        out << "0 @F" << family << "@ FAM\n1 HUSB @I" << rowIdOf(marriages.column(0))
            << "@\n1 WIFE @I" << rowIdOf(marriages.column(1)) << "@\n1 MARR\n";
        WriteDate(out, 2, marriages.column(2));
    }
    FloorStatement links(db, "select idgenitori, idfigli, idsesso from relazioni order by rowid");
    while (links.row())
        out << "1 CHIL @I" << rowIdOf(links.column(1)) << "@ " << rowIdOf(links.column(0)) << "\n";
    FloorStatement persons(db,
                           "select " FLOOR_PERSON_COLUMNS ", rowid from anagrafica order by rowid");
    while (persons.row()) {
        out << "0 @I" << persons.columnInteger(10) << "@ INDI\n1 NAME " << persons.column(2) << " /"
            << persons.column(1) << "/\n1 SEX " << (persons.columnInteger(3) == 0 ? "M" : "F")
            << "\n";
        WriteEvent(out, "BIRT", persons, 4);
        WriteEvent(out, "DEAT", persons, 7);
        out << "1 REFN " << persons.column(0) << "\n";
    }
    out << "0 TRLR\n";
    return sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
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
    RegisterPeakMemory("export peak memory", {tree.path, DatabaseConnection::Password, out},
                       folder.path());
    return RunBenchmarks(argc, argv,
                         "Export, tree of " + std::to_string(tree.facts.persons) + " persons",
                         {"export", "export peak memory"});
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    return radici::bench::ProbeOrRun(argc, argv, radici::bench::Probe, radici::bench::Run);
}
