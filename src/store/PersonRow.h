#pragma once

#include "Database.h"
#include "Records.h"

namespace radici {

// A person travels to and from anagrafica in the column order idrecord, cognome, nome, sesso,
// datanasc, luogonasc, nazionenasc, datamorte, luogomorte, nazionemorte: bound as parameters 1 to
// 10, read as columns 0 to 9. Dates as ISO text, NULL when absent.
void BindPerson(Statement& statement, const Person& person);
Person ReadPerson(const Statement& row);
StoredPerson ReadStoredPerson(const Statement& row);

}  // namespace radici
