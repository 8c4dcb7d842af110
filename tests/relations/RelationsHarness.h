#pragma once

#include "RegistryDriver.h"
#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "relations/RelationsWindow.h"
#include "shell/AppContext.h"

#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;

namespace radici {

// A shown relations window over a fresh test database, driven through its controls the way a
// user would, with the registry window operated by the scripted toolkit.
class RelationsHarness {
public:
    RelationsHarness();

    // Queues a choice of the only person whose surname begins with the text.
    void chooseNext(const QString& surname);
    // Queues a choice as above, after which the chosen person's record disappears.
    void chooseVanishing(const QString& surname, const QString& key);
    void cancelNext();
    // Chooses the person to show with the choose-person button.
    void show(const QString& surname);

    void click(const QString& buttonName);
    void clickRow(const QString& listName, int row);
    void typeDate(const QString& text);

    QStringList column(const QString& listName) const;
    QStringList selectedRows(const QStringList& listNames) const;  // one row number per list
    QString caption(const QString& labelName) const;
    bool framesEnabled() const;  // all four relation frames; fails the test when they differ

    template <typename Control>
    Control* control(const QString& name) const {
        return window.findChild<Control*>(name);
    }

    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context;
    RelationsWindow window;
};

}  // namespace radici
