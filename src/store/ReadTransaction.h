#pragma once

#include "DatabaseConnection.h"

namespace radici {

// Holds one read transaction while it lives, so that many lookups share one lock on the file
// and the engine's page cache, and see one state of the file, rather than taking and releasing
// the file for each. Does nothing on a closed connection.
class ReadTransaction {
public:
    explicit ReadTransaction(const DatabaseConnection& connection);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    const Database* database_ = nullptr;  // set while this object holds the transaction
};

}  // namespace radici
