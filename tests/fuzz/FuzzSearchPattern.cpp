// Any search text against any name: the matcher agrees with a plain reference, a name is found
// by its own text, the index range holds exactly the names that begin with the literal prefix,
// and no input takes long.
#include "FuzzInput.h"
#include "store/PersonKey.h"
#include "store/SearchPattern.h"

#include <QElapsedTimer>
#include <vector>

namespace {

using radici::fuzz::Require;

constexpr char32_t AnyRun = U'*';
constexpr char32_t AnyOne = U'?';
// Far above what the longest input needs; a matcher that backtracks without bound exceeds it.
constexpr qint64 MatchMilliseconds = 1000;

// Whether the pattern matches some beginning of the value, worked out the slow, obvious way:
// reachable[j] tells whether the pattern read so far can consume the first j characters.
bool ReferenceMatch(const QList<uint>& pattern, const QList<uint>& value) {
    std::vector<bool> reachable(static_cast<std::size_t>(value.size()) + 1, false);
    reachable[0] = true;
    for (const uint wanted : pattern) {
        std::vector<bool> next(reachable.size(), false);
        for (std::size_t j = 0; j < reachable.size(); ++j) {
            if (!reachable[j]) continue;
            if (wanted == AnyRun) {
                for (std::size_t k = j; k < reachable.size(); ++k) next[k] = true;
                break;
            }
            if (j < static_cast<std::size_t>(value.size()) &&
                (wanted == AnyOne || wanted == value[static_cast<qsizetype>(j)]))
                next[j + 1] = true;
        }
        reachable = std::move(next);
    }
    for (const bool end : reachable)
        if (end) return true;
    return false;
}

void CheckTranslation(const QString& typed, const radici::SearchPattern& translated) {
    Require(translated.pattern.startsWith(translated.prefix), "the prefix begins the pattern",
            typed);
    Require(!translated.prefix.contains(u'*') && !translated.prefix.contains(u'?'),
            "the prefix holds no wildcard", typed);
    Require(translated.pattern == radici::UpperCase(translated.pattern),
            "the pattern is upper case like the names", typed);
}

void CheckMatch(const QString& input, const radici::SearchPattern& translated,
                const QString& name) {
    QElapsedTimer timer;
    timer.start();
    const bool matches = radici::MatchesSearchPattern(translated.pattern, name);
    Require(timer.elapsed() < MatchMilliseconds, "matching takes bounded time", input);
    Require(
        matches == ReferenceMatch(translated.pattern.toUcs4(), radici::UpperCase(name).toUcs4()),
        "the matcher agrees with the reference", input);
}

// The index range [prefix, bound) holds exactly the stored names that begin with the prefix.
void CheckRange(const QString& input, const radici::SearchPattern& translated,
                const QString& name) {
    const QByteArray prefix = translated.prefix.toUtf8();
    if (prefix.isEmpty()) return;
    const QByteArray stored = radici::UpperCase(name.trimmed()).toUtf8();
    const bool inRange = stored >= prefix && stored < radici::PrefixUpperBound(prefix);
    Require(inRange == stored.startsWith(prefix), "the index range holds the prefix's names",
            input);
}

// A name without wildcards, searched as it was typed, finds itself as stored.
void CheckFoundAsTyped(const QString& input, const QString& name) {
    if (name.trimmed().isEmpty() || name.contains(u'*') || name.contains(u'?')) return;
    const radici::SearchPattern itself = radici::TranslateSearchText(name);
    Require(radici::MatchesSearchPattern(itself.pattern, radici::UpperCase(name.trimmed())),
            "a name is found by its own text", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const QString& input : radici::fuzz::Readings(data, size)) {
        const QStringList fields = radici::fuzz::Fields(input, 2);
        const radici::SearchPattern translated = radici::TranslateSearchText(fields[0]);
        CheckTranslation(input, translated);
        CheckMatch(input, translated, fields[1]);
        CheckRange(input, translated, fields[1]);
        CheckFoundAsTyped(input, fields[1]);
    }
    return 0;
}
