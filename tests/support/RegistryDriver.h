#pragma once

#include "ScriptedToolkit.h"

#include <QString>

namespace radici {

// Steps for ScriptedToolkit::onNextModal that operate a shown registry window through its
// controls, the way a user would.

// Types the search text, picks surname or given name, searches, moves to the next result
// nextClicks times and presses "Seleziona".
ScriptedToolkit::ModalStep ChooseInRegistry(const QString& searchText, int nextClicks = 0,
                                            bool byGivenName = false);

// Leaves the registry window with its "Annulla".
ScriptedToolkit::ModalStep CancelRegistry();

}  // namespace radici
