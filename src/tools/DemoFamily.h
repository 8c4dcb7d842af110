#pragma once

#include "store/DatabaseConnection.h"
#include "store/Status.h"

namespace radici {

// Writes a sample family into an empty database: four generations of nineteen persons, among
// them a widower whose children from two wives are half brothers and sisters, persons still
// living, names with accents and apostrophes, and marriages with and without a date.
Status WriteDemoFamily(DatabaseConnection& connection);

}  // namespace radici
