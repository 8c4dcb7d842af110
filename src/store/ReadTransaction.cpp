#include "ReadTransaction.h"

namespace radici {

// Without the transaction every lookup still runs on its own, only slower; inside one that is
// open already, the lookups share that one.
ReadTransaction::ReadTransaction(const DatabaseConnection& connection) {
    const Database* database = connection.database();
    if (database && !database->inTransaction() && database->execute("begin").ok())
        database_ = database;
}

// Ending a read loses nothing; a read left open would only keep writers waiting.
ReadTransaction::~ReadTransaction() {
    if (database_ && !database_->execute("commit").ok()) static_cast<void>(database_->rollback());
}

}  // namespace radici
