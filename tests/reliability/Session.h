#pragma once

#include "Driver.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

namespace radici {

// The program over one database file with the scripted toolkit answering: the connection opened
// as the main window opens it, and the registry and relations windows to drive as a user does.
struct Session {
    explicit Session(const QString& databasePath) : context(toolkit, databasePath) {
        if (!context.connection.open(databasePath).ok()) qFatal("cannot open the database");
    }

    // Clicks the button of the relations window and chooses, in the registry window it opens,
    // the first person whose surname begins with the text.
    void chooseWith(const QString& button, const QString& surname) {
        toolkit.onNextModal(ChooseInRegistry(surname));
        Click(relations, button);
    }

    ScriptedToolkit toolkit;
    AppContext context;
    RegistryWindow registry{context};
    RelationsWindow relations{context};
};

}  // namespace radici
