#include "SearchResult.h"

#include "DatabaseConnection.h"

namespace radici {

SearchResult::SearchResult(const PersonTable* table, std::vector<Found> rows)
    : table_(table), rows_(std::move(rows)), position_(rows_.empty() ? -1 : 0) {}

bool SearchResult::moveFirst() {
    if (isEmpty()) return false;
    position_ = 0;
    return true;
}

bool SearchResult::movePrevious() {
    if (position_ <= 0) return false;
    --position_;
    return true;
}

bool SearchResult::moveNext() {
    if (isEmpty() || position_ >= count() - 1) return false;
    ++position_;
    return true;
}

bool SearchResult::moveLast() {
    if (isEmpty()) return false;
    position_ = count() - 1;
    return true;
}

Result<Person> SearchResult::current() const {
    if (isEmpty() || !table_) return Status::failure(EngineError::NoCurrentRecord, NoDataAvailable);
    const Found& found = rows_[static_cast<std::size_t>(position_)];
    return table_->readRow(found.rowId, found.key);
}

}  // namespace radici
