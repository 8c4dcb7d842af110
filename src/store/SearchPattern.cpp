#include "SearchPattern.h"

#include "PersonKey.h"

#include <QList>

namespace radici {

namespace {
constexpr char16_t AnyRun = u'*';
constexpr char16_t AnyOne = u'?';
}  // namespace

SearchPattern TranslateSearchText(const QString& text) {
    SearchPattern translated;
    translated.pattern = UpperCase(text.trimmed());
    qsizetype literalEnd = 0;
    while (literalEnd < translated.pattern.size() && translated.pattern[literalEnd] != AnyRun &&
           translated.pattern[literalEnd] != AnyOne)
        ++literalEnd;
    translated.prefix = translated.pattern.left(literalEnd);
    return translated;
}

bool MatchesSearchPattern(const QString& pattern, const QString& value) {
    const QList<uint> wanted = pattern.toUcs4();
    const QList<uint> given = UpperCase(value).toUcs4();
    // Greedy matching with one backtrack point: linear in practice, never exponential.
    qsizetype w = 0, g = 0, lastRun = -1, resumeAt = 0;
    while (g < given.size()) {
        if (w < wanted.size() && wanted[w] == AnyRun) {
            lastRun = w++;
            resumeAt = g;
        } else if (w < wanted.size() && (wanted[w] == AnyOne || wanted[w] == given[g])) {
            ++w;
            ++g;
        } else if (w == wanted.size()) {
            return true;  // the whole pattern matched a beginning of the value
        } else if (lastRun >= 0) {
            w = lastRun + 1;
            g = ++resumeAt;
        } else {
            return false;
        }
    }
    while (w < wanted.size() && wanted[w] == AnyRun) ++w;
    return w == wanted.size();
}

QByteArray PrefixUpperBound(const QByteArray& utf8Prefix) {
    // The last byte of valid UTF-8 is below 0xC0, so raising it never overflows.
    QByteArray bound = utf8Prefix;
    if (!bound.isEmpty()) bound[bound.size() - 1] = static_cast<char>(bound.back() + 1);
    return bound;
}

}  // namespace radici
