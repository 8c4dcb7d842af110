#pragma once

class QWidget;

namespace radici {

struct AppContext;

// Asks for a GEDCOM file, shows what importing it would do and, when the user confirms, writes
// it in one transaction with a progress dialog that can cancel. The caller has checked that the
// database is open.
void ImportGedcomInteractively(AppContext& context, QWidget* parent);

}  // namespace radici
