#pragma once

#include "store/Status.h"

#include <QString>
#include <QStringList>

namespace radici::bench {

// What the benchmarks need to know about a generated tree, written beside it so a cached tree
// can be reused without reading it through.
struct TreeFacts {
    quint32 seed = 0;
    int persons = 0;
    int links = 0;
    int marriages = 0;
    int withDeathDate = 0;
    int birthsInPart = 0;  // births known only in part, with Radici's own keys

    // Both parents, six brothers and sisters (two of them through the father's first marriage),
    // two marriages and five children.
    QString showcaseKey;
    // Both parents, one marriage and five children.
    QString saveKey;
    // Relatives a throwaway person can be linked to before "Cancella" removes it again.
    QString fatherKey;
    QString motherKey;
    QString spouseKey;
    QStringList childKeys;

    // Registry searches: a surname beginning shared by about one person in a hundred, one that
    // very few persons have, and one that begins with "*" and so reads every person.
    QString commonPrefix;
    int commonCount = 0;
    QString rarePrefix;
    int rareCount = 0;
    QString scanText;
    int scanCount = 0;

    bool operator==(const TreeFacts&) const = default;
};

// Makes a new database file at path holding size persons drawn from the seed: the same seed and
// size always give the same tree. The file must not exist yet. With birthsInPart (a percentage)
// that share of the births is known only in part (a year, "about", "before", a month...), kept
// in Radici's own table, and those persons have Radici's own keys.
Result<TreeFacts> GenerateTree(const QString& path, quint32 seed, int size, int birthsInPart = 0);

// The file of that seed, size and share in the folder, made there on first use and reused
// afterwards.
QString CachedTreePath(const QString& folder, quint32 seed, int size, int birthsInPart = 0);
Result<TreeFacts> CachedTree(const QString& folder, quint32 seed, int size, int birthsInPart = 0);

}  // namespace radici::bench
