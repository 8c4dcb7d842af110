#pragma once

#include "store/Records.h"

#include <QHash>
#include <QString>
#include <vector>

namespace radici {

// What a chart is drawn from: the persons read, by key, and the links among them. A key that
// links name but persons lacks is a person missing from anagrafica.
struct ChartFamily {
    QHash<QString, Person> persons;
    std::vector<ParentLink> links;                  // in the order written
    std::vector<Marriage> marriages;                // in the order written
    QHash<QString, PersonDatesInPart> datesInPart;  // of the persons that have any
};

enum class ChartKind { Ancestors, Descendants };

}  // namespace radici
