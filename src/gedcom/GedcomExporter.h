#pragma once

#include "store/DatabaseConnection.h"
#include "store/Status.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <utility>

class QIODevice;

namespace radici {

struct ExportOptions {
    QString programVersion;  // written after "1 SOUR RADICI"
    // Living persons keep their names and links but no dates, places or keys; a marriage of two
    // living persons keeps no date.
    bool privateMode = false;
    QDate today = QDate::currentDate();  // what "living" is measured from
};

// What an export wrote, and each row of the database it had to leave out or change, one line
// a row, in Italian.
struct ExportReport {
    std::int64_t persons = 0;
    std::int64_t families = 0;
    std::int64_t parentLinks = 0;
    std::int64_t marriages = 0;
    QStringList problems;
};

// "Persone esportate: 12; famiglie: 5; collegamenti genitore-figlio: 9; matrimoni: 4."
QString DescribeExport(const ExportReport& report);

// Told how far the export has come (done out of about total steps) at least every few thousand
// rows; returning false cancels it.
using ExportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Failure numbers of an export: stopped by its progress callback; the file could not be written.
inline constexpr int ExportCancelled = -1;
inline constexpr int ExportFileFailed = -2;

// Writes the whole database as GEDCOM 5.5.1, reading each table in one ordered pass inside one
// read transaction, so the file shows the tree as it was at one moment.
class GedcomExporter {
public:
    GedcomExporter(const DatabaseConnection& connection, ExportOptions options)
        : connection_(connection), options_(std::move(options)) {}

    Result<ExportReport> exportTo(QIODevice& device, const ExportProgress& progress = {}) const;
    // Into a file, which appears only when the export succeeds: a file that was there already
    // is replaced then, and left as it was on a failure or when cancelled.
    Result<ExportReport> exportToFile(const QString& path,
                                      const ExportProgress& progress = {}) const;

private:
    const DatabaseConnection& connection_;
    ExportOptions options_;
};

}  // namespace radici
