#include "SearchResult.h"

namespace radici {

SearchResult::SearchResult(std::vector<Found> rows, ReadRow readRow)
    : rows_(std::move(rows)), readRow_(std::move(readRow)), position_(rows_.empty() ? -1 : 0) {}

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
    if (isEmpty() || !readRow_)
        return Status::failure(EngineError::NoCurrentRecord, NoDataAvailable);
    return readRow_(rows_[static_cast<std::size_t>(position_)]);
}

}  // namespace radici
