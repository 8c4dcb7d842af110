#include "RegistryDriver.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

namespace radici {
namespace {

// Records a test failure when the window lacks the control, so a renamed control shows up at once.
template <typename Control>
Control* FindControl(QDialog& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) {
        QTest::qFail(
            qPrintable(
                QStringLiteral("registry window has no control %1").arg(QString::fromLatin1(name))),
            __FILE__, __LINE__);
    }
    return control;
}

// Near the left edge: a button wider than its text ignores a click in its centre.
void Click(QDialog& window, const char* name) {
    if (auto* button = FindControl<QAbstractButton>(window, name)) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
    }
}

}  // namespace

ScriptedToolkit::ModalStep ChooseInRegistry(const QString& searchText, int nextClicks,
                                            bool byGivenName) {
    return [searchText, nextClicks, byGivenName](QDialog& window) {
        if (auto* text = FindControl<QLineEdit>(window, "Text1")) {
            // setText, not typed keys: the search text may hold letters outside ASCII.
            text->setText(searchText);
        }
        Click(window, byGivenName ? "Option1_1" : "Option1_0");
        Click(window, "Command1");
        for (int click = 0; click < nextClicks; ++click) {
            Click(window, "trova_2");
        }
        Click(window, "Command4");
    };
}

ScriptedToolkit::ModalStep CancelRegistry() {
    return [](QDialog& window) { Click(window, "Command2"); };
}

}  // namespace radici
