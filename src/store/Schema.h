#pragma once

#include "Database.h"
#include "Status.h"

namespace radici {

// Makes the three tables and their indexes in an empty database.
Status CreateSchema(Database& db);

// Radici's own tables beside the three, for what they cannot hold: dates known in part.
inline constexpr const char* PersonDatesTable = "radici_date_persone";
inline constexpr const char* MarriageDatesTable = "radici_date_matrimoni";

// Makes Radici's own tables when missing; inside a transaction already open, as part of it. Only
// Radici's own writers call it, never the windows that work on the three tables alone.
Status CreateOwnTables(Database& db);

// Whether the file holds the table.
Result<bool> HasTable(const Database& db, const char* table);

// Whether the table's column is declared "not null".
Result<bool> ColumnRequired(const Database& db, const char* table, const char* column);

// Checks that anagrafica, relazioni and matrimoni exist with their columns, in that order;
// TableMissing names the first table or column that does not.
Status CheckSchema(const Database& db);

}  // namespace radici
