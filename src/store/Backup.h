#pragma once

#include "Database.h"
#include "StagedFile.h"
#include "Status.h"

#include <QString>

#include <functional>

namespace radici {

// Writes a consistent copy of the open database to a new file encrypted with the same password,
// through the engine's online backup (safe while the database is in use), then opens the copy
// with that password and checks it. A copy that fails is removed. An existing file at the path
// is refused, or, with Replace, replaced only once the new copy has passed its check. The
// progress, when given, hears the pages copied so far and the total after each step.
using BackupProgress = std::function<void(int copied, int total)>;
Status BackupDatabase(const Database& source, const QString& copyPath, const QString& password,
                      ExistingCopy existing = ExistingCopy::Refuse,
                      const BackupProgress& progress = {});

// Opens the file with the password and checks its three tables and its integrity.
Status CheckDatabaseFile(const QString& path, const QString& password);

}  // namespace radici
