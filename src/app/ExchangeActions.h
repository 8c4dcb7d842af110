#pragma once

class QWidget;

namespace radici {

struct AppContext;

// What the "&Strumenti" menu does with the open database; the caller has checked that it is open.

// Asks for the options and the file, exports with a progress dialog that can cancel, and shows
// what was written and what had to be left out.
void ExportGedcomInteractively(AppContext& context, QWidget* parent);

// Suggests radicidb-AAAA-MM-GG.mdb beside the database, asks before replacing a file, writes the
// copy, checks it and says so.
void MakeBackupInteractively(AppContext& context, QWidget* parent);

}  // namespace radici
