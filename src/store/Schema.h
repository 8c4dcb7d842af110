#pragma once

#include "Database.h"
#include "Status.h"

namespace radici {

// Makes the three tables and their indexes in an empty database.
Status CreateSchema(Database& db);

// Checks that anagrafica, relazioni and matrimoni exist with their columns, in that order;
// TableMissing names the first table or column that does not.
Status CheckSchema(const Database& db);

}  // namespace radici
