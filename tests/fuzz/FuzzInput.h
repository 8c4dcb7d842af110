#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "store/PersonKey.h"

// What the fuzz targets share: turning bytes into the texts a user could type or paste, and
// stopping with a readable report when a property does not hold.
namespace radici::fuzz {

// The bytes read as UTF-8, and read as raw UTF-16 units: the second may hold half of a
// character, as a box does when it cuts a pasted text at its length limit.
inline QList<QString> Readings(const std::uint8_t* data, std::size_t size) {
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, (size / 2) * 2);
    return {QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
            units};
}

// Ends the run when the property fails; libFuzzer keeps the input that made it fail.
inline void Require(bool holds, const char* property, const QString& input) {
    if (holds) return;
    // Every unit outside printable ASCII escaped, so the report is readable.
    std::fprintf(stderr, "property does not hold: %s\ninput: \"%s\"\n", property,
                 input.toUtf8().toPercentEncoding(" !\"#$&'()*+,/:;<=>?@[\\]^`{|}").constData());
    std::abort();
}

// Whether a name is found by a typed search text, worked out the slow, obvious way and apart from
// the program's own matcher: both trimmed and upper-cased, "*" any run and "?" one character, every
// other character itself, and the text matching any beginning of the name. reachable[j] tells
// whether the text read so far can consume the first j characters of the name.
inline bool ReferenceMatch(const QString& typed, const QString& name) {
    const QList<uint> pattern = UpperCase(typed.trimmed()).toUcs4();
    const QList<uint> value = UpperCase(name).toUcs4();
    std::vector<bool> reachable(static_cast<std::size_t>(value.size()) + 1, false);
    reachable[0] = true;
    for (const uint wanted : pattern) {
        std::vector<bool> next(reachable.size(), false);
        for (std::size_t j = 0; j < reachable.size(); ++j) {
            if (!reachable[j]) continue;
            if (wanted == U'*') {
                std::fill(next.begin() + static_cast<std::ptrdiff_t>(j), next.end(), true);
                break;
            }
            if (j < reachable.size() - 1 &&
                (wanted == U'?' || wanted == value[static_cast<qsizetype>(j)]))
                next[j + 1] = true;
        }
        reachable = std::move(next);
    }
    return std::find(reachable.begin(), reachable.end(), true) != reachable.end();
}

}  // namespace radici::fuzz
