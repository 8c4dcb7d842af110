#pragma once

#include "Records.h"
#include "Status.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace radici {

class PersonTable;

// What a search that found nobody, or an empty result, tells the user.
inline const QString NoDataAvailable = QStringLiteral("Nessun dato disponibile");

// The rows found by one registry search, as a keyset: row ids and keys are captured when the search
// runs and each row is read when the cursor reaches it, so moving costs the same on any size.
class SearchResult {
public:
    // A row found: its row id and its key, which together tell that it still is the same person.
    struct Found {
        std::int64_t rowId;
        QString key;
    };

    SearchResult() = default;

    bool isEmpty() const { return rows_.empty(); }
    int count() const { return static_cast<int>(rows_.size()); }
    // 0-based position of the cursor; -1 when the result is empty.
    int position() const { return position_; }

    // Each move returns false, leaving the cursor where it was, when it cannot move.
    bool moveFirst();
    bool movePrevious();
    bool moveNext();
    bool moveLast();

    // The row under the cursor; NoCurrentRecord when the result is empty or the row is gone.
    Result<Person> current() const;

private:
    friend class PersonTable;
    using ReadRow = std::function<Result<Person>(const Found&)>;
    SearchResult(std::vector<Found> rows, ReadRow readRow);

    std::vector<Found> rows_;
    ReadRow readRow_;
    int position_ = -1;
};

}  // namespace radici
