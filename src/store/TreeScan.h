#pragma once

#include "Database.h"
#include "Records.h"
#include "Status.h"

#include <QByteArrayView>
#include <cstdint>
#include <functional>
#include <optional>

namespace radici {

// About how many rows each table holds, for a progress bar: the largest row id, found without a
// scan; more than the rows when some were deleted.
struct TableSizes {
    std::int64_t persons = 0;
    std::int64_t parentLinks = 0;
    std::int64_t marriages = 0;
};

// A row of relazioni or matrimoni with its keys as the engine holds them (UTF-8), valid only
// during the visit. A file edited by hand may hold keys that no person has.
struct ScannedLink {
    QByteArrayView parent;
    QByteArrayView child;
    SexCode idsesso;
};
struct ScannedMarriage {
    QByteArrayView husband;
    QByteArrayView wife;
    QDate data;
    QByteArrayView storedData;  // the date as the file holds it, read or not
    QByteArrayView inPart;      // Radici's own row: the date known in part, as GEDCOM text
};

// A row of anagrafica the same way, with its dates read and also as the file holds them, so a
// text that is no date can be told from none.
struct ScannedPerson {
    std::int64_t rowId = 0;
    QByteArrayView idrecord;
    QByteArrayView cognome;
    QByteArrayView nome;
    std::optional<SexCode> sesso;
    QDate datanasc;
    QByteArrayView storedDatanasc;
    QByteArrayView luogonasc;
    QByteArrayView nazionenasc;
    QDate datamorte;
    QByteArrayView storedDatamorte;
    QByteArrayView luogomorte;
    QByteArrayView nazionemorte;
};

// Whole-table reads for exporting a tree, each one sequential scan (no lookup per row, so a
// million persons read in seconds); run them inside DatabaseConnection::runReading so that every
// table is seen as it was at the same moment. A visitor returns false to stop early.
class TreeScan {
public:
    explicit TreeScan(const Database& db) : db_(db) {}
    TreeScan(const TreeScan&) = delete;
    TreeScan& operator=(const TreeScan&) = delete;

    Result<TableSizes> sizes() const;
    // Every key with its person's row id.
    Status personKeys(
        const std::function<bool(QByteArrayView key, std::int64_t rowId)>& visit) const;
    // Persons in row order.
    Status persons(const std::function<bool(const ScannedPerson&)>& visit) const;
    // Radici's own rows of the dates known in part, as GEDCOM text: evento 0 birth, 1 death.
    Status personDatesInPart(const std::function<bool(QByteArrayView key, std::int64_t evento,
                                                      QByteArrayView date)>& visit) const;
    // Links and marriages in row order.
    Status parentLinks(const std::function<bool(const ScannedLink&)>& visit) const;
    Status marriages(const std::function<bool(const ScannedMarriage&)>& visit) const;

private:
    const Database& db_;
};

}  // namespace radici
