#pragma once

#include "Database.h"
#include "Records.h"
#include "Status.h"

#include <cstdint>
#include <functional>

namespace radici {

// How many rows each table holds.
struct TableSizes {
    std::int64_t persons = 0;
    std::int64_t parentLinks = 0;
    std::int64_t marriages = 0;
};

// A row of relazioni or matrimoni with the row ids of the two persons it joins in anagrafica;
// a row id is 0 when no person has that key (a file edited by hand may hold such rows).
struct ScannedLink {
    ParentLink link;
    std::int64_t parentRowId = 0;
    std::int64_t childRowId = 0;
};
struct ScannedMarriage {
    Marriage marriage;
    std::int64_t husbandRowId = 0;
    std::int64_t wifeRowId = 0;
};

// Whole-table reads for exporting a tree, each one ordered scan, inside one read transaction so
// that every table is seen as it was at the same moment. A visitor returns false to stop early.
class TreeScan {
public:
    explicit TreeScan(const Database& db) : db_(db) {}
    TreeScan(const TreeScan&) = delete;
    TreeScan& operator=(const TreeScan&) = delete;
    ~TreeScan();

    // Starts the read transaction; the scans below work without it too, each on its own.
    Status begin();

    Result<TableSizes> sizes() const;
    // Persons in row order, with their row ids.
    Status persons(const std::function<bool(std::int64_t rowId, const Person&)>& visit) const;
    // Links and marriages in row order.
    Status parentLinks(const std::function<bool(const ScannedLink&)>& visit) const;
    Status marriages(const std::function<bool(const ScannedMarriage&)>& visit) const;
    // The key of the person with that row id; an empty text when there is none.
    Result<QString> keyOfPerson(std::int64_t rowId) const;

private:
    const Database& db_;
    bool reading_ = false;
};

}  // namespace radici
