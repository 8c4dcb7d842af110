#pragma once

#include "DatabaseConnection.h"

namespace radici {

// While it lives, the connection keeps up to 192 MiB of pages in memory rather than the engine's
// 2 MB, so that writing a very large number of rows in one transaction does not read back and
// decrypt the same index pages over and over; then the engine's default again.
class BulkWriteCache {
public:
    explicit BulkWriteCache(const DatabaseConnection& connection);
    ~BulkWriteCache();
    BulkWriteCache(const BulkWriteCache&) = delete;
    BulkWriteCache& operator=(const BulkWriteCache&) = delete;

private:
    const Database* database_;
};

}  // namespace radici
