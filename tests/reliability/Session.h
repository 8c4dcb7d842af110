#pragma once

#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace radici {

// The program over one database file with the scripted toolkit answering: the connection opened
// as the main window opens it, and the registry and relations windows to drive as a user does.
struct Session {
    explicit Session(const QString& databasePath);

    ScriptedToolkit toolkit;
    AppContext context;
    RegistryWindow registry{context};
    RelationsWindow relations{context};
    // Runs once a person has been chosen in the registry window opened by ChooseWith, before the
    // relations window reads the choice: the moment a test can change the world in between.
    std::function<void()> whenChosen;
};

// The persons most tests work on, with their keys: Mario Rossi, married to Anna Bianchi, with
// his son Luca Rossetti; Paolo Verdi and Carla Neri are linked to nobody.
struct Family {
    explicit Family(TestDatabase& database);

    QString mario;
    QString anna;
    QString luca;
    QString paolo;
    QString carla;
};

// The control of that name; a missing one ends the run, since nothing else can work.
QWidget& Control(QWidget& window, const QString& name);
QString Shown(QWidget& window, const QString& name);  // what a label shows or a box holds
QStringList Rows(QWidget& window, const QString& listName);
// Near the left edge, where buttons and radio buttons of any width take a click. Like a user,
// Click and Type leave alone a control that is not on screen.
void Click(QWidget& window, const QString& name);
// One key event per character, letters outside ASCII and emoji included.
void Type(QWidget& window, const QString& name, const QString& text);
// Through the clipboard and Ctrl+V, as a user pastes.
void Paste(QWidget& window, const QString& name, const QString& text);
void ClickRow(QWidget& window, const QString& listName, int row);

// In the registry window, browsing: searches by surname.
void Search(QWidget& registry, const QString& text);
// In the relations window: clicks the button and chooses, in the registry window it opens, the
// first person whose surname begins with the text.
void ChooseWith(Session& session, const QString& button, const QString& surname);

}  // namespace radici
