#include "Driver.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace radici {
namespace {

QListWidget& List(QWidget& window, const QString& name) {
    auto* list = qobject_cast<QListWidget*>(&Control(window, name));
    if (list == nullptr) qFatal("%s is no list", qPrintable(name));
    return *list;
}

}  // namespace

QWidget& Control(QWidget& window, const QString& name) {
    // The registry window is a child of the relations window: only the window's own controls.
    for (QWidget* control : window.findChildren<QWidget*>(name)) {
        if (control->window() != &window) continue;
        if (!control->isVisible()) qFatal("%s is not on screen", qPrintable(name));
        return *control;
    }
    qFatal("the window has no control %s", qPrintable(name));
}

void Click(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, control.height() / 2));
}

void Type(QWidget& window, const QString& name, const QString& text) {
    QWidget& box = Control(window, name);
    for (const char32_t character : text.toUcs4())
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString::fromUcs4(&character, 1),
                            Qt::NoModifier);
}

void Retype(QWidget& window, const QString& name, const QString& text) {
    qobject_cast<QLineEdit*>(&Control(window, name))->clear();
    Type(window, name, text);
}

void Paste(QWidget& window, const QString& name, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(&Control(window, name), Qt::Key_V, Qt::ControlModifier);
}

void ClickRow(QWidget& window, const QString& list, int row) {
    QListWidget& rows = List(window, list);
    if (row >= rows.count()) qFatal("%s has no row %d", qPrintable(list), row);
    QTest::mouseClick(rows.viewport(), Qt::LeftButton, {},
                      rows.visualItemRect(rows.item(row)).center());
}

QString Shown(QWidget& window, const QStringList& names) {
    QStringList shown;
    for (const QString& name : names)
        shown.append(Control(window, name).property("text").toString());
    return shown.join(u'|');
}

QString Rows(QWidget& window, const QStringList& lists) {
    QStringList rows;
    for (int row = 0; row < List(window, lists.first()).count(); ++row) {
        QStringList cells;
        for (const QString& name : lists) {
            QListWidget& list = List(window, name);
            cells.append(row < list.count() ? list.item(row)->text() : QStringLiteral("?"));
        }
        rows.append(cells.join(u'|'));
    }
    return rows.join(QStringLiteral(", "));
}

ScriptedToolkit::ModalStep ChooseInRegistry(const QString& surname, int nextClicks) {
    return [surname, nextClicks](QDialog& registry) {
        Retype(registry, QStringLiteral("Text1"), surname);
        Click(registry, QStringLiteral("Command1"));
        for (int click = 0; click < nextClicks; ++click) Click(registry, QStringLiteral("trova_2"));
        Click(registry, QStringLiteral("Command4"));
    };
}

ScriptedToolkit::ModalStep CancelRegistry() {
    return [](QDialog& registry) { Click(registry, QStringLiteral("Command2")); };
}

}  // namespace radici
