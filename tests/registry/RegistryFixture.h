#pragma once

#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "registry/RegistryWindow.h"
#include "shell/AppContext.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace radici {

// A registry window over a fresh database file, with the program's connection open and the
// scripted toolkit answering, shown the way the program shows it.
struct RegistryFixture {
    RegistryFixture();

    // Shows the window (its load step runs), runs the step while it is open, then closes it as
    // the close box would if the step left it open (its unload step runs).
    void use(ScriptedToolkit::ModalStep step);

    TestDatabase database;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, database.folder()};
    RegistryWindow window{context};
};

// The control of that name; a missing control ends the test run, since nothing else can work.
QWidget& Control(QWidget& window, const QString& name);
// What a label shows or a text box holds.
QString Shown(QWidget& window, const QString& name);
bool Enabled(QWidget& window, const QString& name);

// A click near the left edge, where buttons of any width take it.
void Click(QWidget& window, const QString& name);
// Types into the box one key at a time, letters outside ASCII included.
void Type(QWidget& window, const QString& name, const QString& text);
// Empties the box, then types the text.
void Replace(QWidget& window, const QString& name, const QString& text);
void Backspace(QWidget& window, const QString& name, int times = 1);
void PressKey(QWidget& window, const QString& name, Qt::Key key);

// Searches as a user does: the text, the field, the search button.
void Search(QWidget& window, const QString& text, bool byGivenName = false);

// Types into the person-data boxes in their order on screen: surname, given name, birth date,
// birth place, birth country, death date, death place, death country; the rest stay untouched.
void TypePerson(QWidget& window, const QStringList& texts);

}  // namespace radici
