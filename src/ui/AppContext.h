#pragma once

#include "store/DatabaseConnection.h"
#include "store/PersonKey.h"

#include <QString>
#include <utility>

namespace radici {

class Toolkit;

// State shared by every window: the connection, the hand-over slot and the toolkit. main() makes
// one; each test makes its own.
struct AppContext {
    explicit AppContext(Toolkit& toolkitToUse, QString pathOfDatabase)
        : toolkit(toolkitToUse), databasePath(std::move(pathOfDatabase)) {}

    Toolkit& toolkit;
    QString databasePath;  // where the main window opens radicidb.mdb
    DatabaseConnection connection;
    SelectedPersonKey selectedPersonKey;
};

}  // namespace radici
