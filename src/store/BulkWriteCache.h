#pragma once

#include "DatabaseConnection.h"

namespace radici {

// While it lives, the connection keeps more pages in memory than the engine's 2 MB, then the
// engine's default again. Rows added while the engine keeps the indexes up to date need a large
// cache (192 MiB), or the same index pages are read back and decrypted over and over. Rows added
// with the indexes built at the end fill each table at its end and need little, and the engine
// sorts each index in as much memory as the cache may take, so a smaller one (64 MiB) keeps a
// large import's memory down at no cost in time.
class BulkWriteCache {
public:
    enum class Indexes { KeptUpToDate, BuiltAtTheEnd };

    BulkWriteCache(const DatabaseConnection& connection, Indexes indexes);
    ~BulkWriteCache();
    BulkWriteCache(const BulkWriteCache&) = delete;
    BulkWriteCache& operator=(const BulkWriteCache&) = delete;

private:
    const Database* database_;
};

}  // namespace radici
