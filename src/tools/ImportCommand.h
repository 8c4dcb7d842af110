#pragma once

#include <QString>

class QTextStream;

namespace radici {

// radici-db import: reads the GEDCOM file into the database, made first (as init makes it) when
// it is missing. With dryRun it prints the same report and writes nothing.
int RunImport(const QString& gedcomPath, const QString& databasePath, bool dryRun, QTextStream& out,
              QTextStream& err);

}  // namespace radici
