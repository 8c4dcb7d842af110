#include "BulkWriteCache.h"

namespace radici {

// A failure to change the cache only changes the speed, never the rows written.
BulkWriteCache::BulkWriteCache(const DatabaseConnection& connection, Indexes indexes)
    : database_(connection.database()) {
    if (database_)
        static_cast<void>(database_->execute(indexes == Indexes::KeptUpToDate
                                                 ? "pragma cache_size = -196608"
                                                 : "pragma cache_size = -65536"));
}

BulkWriteCache::~BulkWriteCache() {
    if (database_) static_cast<void>(database_->execute("pragma cache_size = -2000"));
}

}  // namespace radici
