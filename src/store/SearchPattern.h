#pragma once

#include <QByteArray>
#include <QString>

namespace radici {

// A registry search text made ready for the store: upper-cased as names are stored, with "*"
// standing for any run of characters and "?" for one; every other character is literal.
struct SearchPattern {
    QString pattern;  // the trimmed, upper-cased text
    QString prefix;   // its literal beginning, up to the first wildcard

    bool hasWildcards() const { return prefix.size() != pattern.size(); }
};

SearchPattern TranslateSearchText(const QString& text);

// True when the value begins with a text that the pattern matches (a prefix match, so the
// pattern behaves as if it ended in "*"). The value is upper-cased before the comparison.
bool MatchesSearchPattern(const QString& pattern, const QString& value);

// The smallest UTF-8 text above every text that begins with the prefix, for an index range.
QByteArray PrefixUpperBound(const QByteArray& utf8Prefix);

}  // namespace radici
