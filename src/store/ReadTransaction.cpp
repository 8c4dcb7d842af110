#include "ReadTransaction.h"

namespace radici {

// A lookup that finds the transaction missing still runs on its own, only slower.
ReadTransaction::ReadTransaction(const DatabaseConnection& connection)
    : database_(connection.database()) {
    if (database_ && !database_->execute("begin").ok()) database_ = nullptr;
}

ReadTransaction::~ReadTransaction() {
    if (database_) database_->execute("commit");
}

}  // namespace radici
