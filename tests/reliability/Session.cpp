#include "Session.h"

#include "RegistryDriver.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace radici {

Session::Session(const QString& databasePath) : context(toolkit, databasePath) {
    // What the main window does when it loads; a file that cannot be opened leaves it closed.
    (void)context.connection.open(databasePath);
}

Family::Family(TestDatabase& database)
    : mario(database.addPerson(QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                               QStringLiteral("01/02/1950"))),
      anna(database.addPerson(QStringLiteral("BIANCHI"), QStringLiteral("ANNA"),
                              QStringLiteral("03/04/1952"), Female)),
      luca(database.addPerson(QStringLiteral("ROSSETTI"), QStringLiteral("LUCA"),
                              QStringLiteral("05/06/1980"))),
      paolo(database.addPerson(QStringLiteral("VERDI"), QStringLiteral("PAOLO"),
                               QStringLiteral("07/08/1920"))),
      carla(database.addPerson(QStringLiteral("NERI"), QStringLiteral("CARLA"),
                               QStringLiteral("09/10/1922"), Female)) {
    database.marry(mario, anna, QStringLiteral("11/12/1975"));
    database.link(mario, luca, Male);
}

QWidget& Control(QWidget& window, const QString& name) {
    auto* control = window.findChild<QWidget*>(name);
    if (control == nullptr) qFatal("the window has no control %s", qPrintable(name));
    return *control;
}

QString Shown(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
    if (auto* box = qobject_cast<QLineEdit*>(&control)) return box->text();
    qFatal("%s shows no text", qPrintable(name));
}

QStringList Rows(QWidget& window, const QString& listName) {
    auto* list = qobject_cast<QListWidget*>(&Control(window, listName));
    QStringList rows;
    for (int row = 0; row < list->count(); ++row) rows.append(list->item(row)->text());
    return rows;
}

void Click(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    if (!control.isVisible()) return;  // out of the user's reach
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, control.height() / 2));
}

void Type(QWidget& window, const QString& name, const QString& text) {
    QWidget& box = Control(window, name);
    if (!box.isVisible()) return;
    for (const char32_t character : text.toUcs4())
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString::fromUcs4(&character, 1),
                            Qt::NoModifier);
}

void Paste(QWidget& window, const QString& name, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(&Control(window, name), Qt::Key_V, Qt::ControlModifier);
}

void ClickRow(QWidget& window, const QString& listName, int row) {
    auto* list = qobject_cast<QListWidget*>(&Control(window, listName));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

void Search(QWidget& registry, const QString& text) {
    qobject_cast<QLineEdit*>(&Control(registry, QStringLiteral("Text1")))->clear();
    Type(registry, QStringLiteral("Text1"), text);
    Click(registry, QStringLiteral("Command1"));
}

void ChooseWith(Session& session, const QString& button, const QString& surname) {
    session.toolkit.onNextModal([&session, surname](QDialog& registry) {
        ChooseInRegistry(surname)(registry);
        if (session.whenChosen) session.whenChosen();
    });
    Click(session.relations, button);
}

}  // namespace radici
