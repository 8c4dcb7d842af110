#pragma once

#include "DatabaseConnection.h"
#include "Records.h"
#include "Status.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace radici {

// Reads the persons and links of many keys at once, for the charts: one query per batch of keys
// rather than one per person, so a chart of thousands of persons costs a few dozen queries.
// Rows come back in the order they were written; keys are compared exactly after trimming.
class FamilyReader {
public:
    explicit FamilyReader(const DatabaseConnection& connection) : connection_(connection) {}

    // The persons among the keys that exist in anagrafica.
    Result<std::vector<Person>> persons(const QStringList& keys) const;
    // The dates known in part of those among the keys that have any, by trimmed key; none in a
    // file without Radici's own tables.
    Result<QHash<QString, PersonDatesInPart>> datesInPart(const QStringList& keys) const;
    // Links naming one of the keys as child.
    Result<std::vector<ParentLink>> parentLinks(const QStringList& childKeys) const;
    // The children the links give one of the keys, each once, in the order written.
    Result<QStringList> children(const QStringList& parentKeys) const;
    // Marriages naming one of the husband keys as husband or one of the wife keys as wife, each
    // row once.
    Result<std::vector<Marriage>> marriages(const QStringList& husbandKeys,
                                            const QStringList& wifeKeys) const;

private:
    const DatabaseConnection& connection_;
};

}  // namespace radici
