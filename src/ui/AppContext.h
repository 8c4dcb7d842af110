#pragma once

#include "store/DatabaseConnection.h"
#include "store/PersonKey.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <utility>

namespace radici {

class Toolkit;

// The shared 16-character slot through which the registry window hands a chosen person over.
class SelectedPersonKey {
public:
    // Pads a shorter text with blanks on the right and cuts a longer one to 16 characters.
    void write(const QString& key) {
        slot_ = key.left(PersonKeyLength).leftJustified(PersonKeyLength, QLatin1Char(' '));
    }
    void clear() { write(QString()); }

    // The slot as it stands: always 16 characters.
    const QString& text() const { return slot_; }
    // The key without leading and trailing blanks; empty when nothing was chosen.
    QString trimmed() const { return slot_.trimmed(); }

private:
    QString slot_ = QString(PersonKeyLength, QLatin1Char(' '));
};

// State shared by every window: the connection, the hand-over slot, the registry window that
// every choice of a person goes through, and the toolkit. main() makes one; each test makes its
// own.
struct AppContext {
    explicit AppContext(Toolkit& toolkitToUse, QString pathOfDatabase)
        : toolkit(toolkitToUse), databasePath(std::move(pathOfDatabase)) {}

    Toolkit& toolkit;
    QString databasePath;  // where the main window opens radicidb.mdb
    DatabaseConnection connection;
    SelectedPersonKey selectedPersonKey;
    // Made by the first choice, owned by the window it was last shown over.
    QPointer<QDialog> registryWindow;
};

}  // namespace radici
