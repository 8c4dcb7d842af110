#include "SearchResult.h"

#include "DatabaseConnection.h"

namespace radici {

SearchResult::SearchResult(const PersonTable* table, std::vector<std::int64_t> rowIds)
    : table_(table), rowIds_(std::move(rowIds)), position_(rowIds_.empty() ? -1 : 0) {}

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
    return table_->readRow(rowIds_[static_cast<std::size_t>(position_)]);
}

}  // namespace radici
