#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <functional>
#include <string_view>

namespace radici {

// A text as the key of a QHash or a QSet, hashed by the standard library's string hash. Qt's own
// took several times as long on the short names, places and keys the import looks up for each
// person; the table's seed still mixes in, so the buckets differ from one run to the next.
struct HashedText {
    QString text;

    // A key to look up with, borrowing the characters of a text that outlives it. A copy would
    // write the text's reference count, and the thread that frees the text, the import's reading
    // thread, would then wait for that memory to come back from this thread's core.
    static HashedText borrowing(const QString& text) {
        return {QString::fromRawData(text.constData(), text.size())};
    }

    friend bool operator==(const HashedText&, const HashedText&) = default;
};

inline size_t qHash(const HashedText& key, size_t seed) noexcept {
    const QStringView text(key.text);
    const std::u16string_view units(text.utf16(), static_cast<std::size_t>(text.size()));
    return qHashMulti(seed, std::hash<std::u16string_view>{}(units));
}

}  // namespace radici
