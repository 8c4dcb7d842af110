// Any search text against any name: the matcher agrees with the reference, the index range holds
// exactly the names that begin with the literal prefix, and no input takes long.
#include "FuzzInput.h"
#include "store/SearchPattern.h"

#include <QElapsedTimer>

namespace {

using radici::fuzz::Require;

// Far above what the longest input needs; a matcher that backtracks without bound exceeds it.
constexpr qint64 MatchMilliseconds = 1000;

void Check(const QString& input, const QString& typed, const QString& name) {
    const radici::SearchPattern translated = radici::TranslateSearchText(typed);
    Require(translated.pattern.startsWith(translated.prefix) && !translated.prefix.contains(u'*') &&
                !translated.prefix.contains(u'?'),
            "the prefix is the literal beginning of the pattern", input);
    QElapsedTimer timer;
    timer.start();
    const bool matches = radici::MatchesSearchPattern(translated.pattern, name);
    Require(timer.elapsed() < MatchMilliseconds, "matching takes bounded time", input);
    Require(matches == radici::fuzz::ReferenceMatch(typed, name),
            "the matcher agrees with the reference", input);

    const QByteArray prefix = translated.prefix.toUtf8();
    const QByteArray stored = radici::UpperCase(name.trimmed()).toUtf8();
    if (!prefix.isEmpty())
        Require((stored >= prefix && stored < radici::PrefixUpperBound(prefix)) ==
                    stored.startsWith(prefix),
                "the index range holds the prefix's names", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const QString& input : radici::fuzz::Readings(data, size)) {
        const QStringList fields = radici::fuzz::Fields(input, 2);
        Check(input, fields[0], fields[1]);
    }
    return 0;
}
