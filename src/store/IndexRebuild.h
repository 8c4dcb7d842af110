#pragma once

#include "Database.h"
#include "Status.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace radici {

// An index as the file defines it: made again from its own text, so whatever another tool gave
// it (name, columns and their order, uniqueness, a collation) comes back as it was.
struct StoredIndex {
    QString table;
    QString name;
    QString sql;
    QStringList columns;  // in key order
    bool unique = false;
    bool partial = false;  // has a where clause of its own
};

// For a bulk write into tables that are large against what they hold: their indexes are dropped
// before the rows go in and built again once, after them, which is several times faster than
// keeping them up to date row by row. Everything runs inside the caller's write transaction, so
// a failure or a cancel rolls back to the file as it was, indexes included.
class IndexRebuild {
public:
    // Called before each index is built; a failure stops the rebuild and is returned as it is.
    using Between = std::function<Status(int built, int total)>;

    // Whether adding that many rows to the tables is worth dropping and building their indexes
    // again: when the tables hold fewer rows than that. Counts no further than it needs to.
    static Result<bool> worthwhile(const Database& db, const QStringList& tables,
                                   std::int64_t rowsToAdd);

    // Reads the indexes the file holds on the tables and drops them. The indexes the engine
    // makes for a table's own constraints cannot be dropped and are left alone.
    static Result<IndexRebuild> dropIndexes(const Database& db, const QStringList& tables);

    const std::vector<StoredIndex>& indexes() const { return indexes_; }

    // Builds every dropped index again from its stored text. A unique index that the new rows
    // would break fails with DuplicateKey, naming the repeated value.
    Status rebuild(const Between& between = {}) const;

private:
    IndexRebuild(const Database& db, std::vector<StoredIndex> indexes)
        : db_(&db), indexes_(std::move(indexes)) {}

    Status duplicateIn(const StoredIndex& index) const;

    const Database* db_;
    std::vector<StoredIndex> indexes_;
};

}  // namespace radici
