#include "RegistryFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace radici {

RegistryFixture::RegistryFixture() {
    const Status opened = context.connection.open(database.path());
    if (!opened.ok()) {
        qFatal("cannot open the test database: %s", qPrintable(opened.description()));
    }
}

void RegistryFixture::use(ScriptedToolkit::ModalStep step) {
    toolkit.onNextModal(std::move(step));
    toolkit.showModal(window);
}

QWidget& Control(QWidget& window, const QString& name) {
    auto* control = window.findChild<QWidget*>(name);
    if (control == nullptr) {
        qFatal("the window has no control %s", qPrintable(name));
    }
    return *control;
}

QString Shown(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        return label->text();
    }
    if (auto* box = qobject_cast<QLineEdit*>(&control)) {
        return box->text();
    }
    qFatal("%s shows no text", qPrintable(name));
}

bool Enabled(QWidget& window, const QString& name) { return Control(window, name).isEnabled(); }

void Click(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, control.height() / 2));
}

void Type(QWidget& window, const QString& name, const QString& text) {
    QWidget& box = Control(window, name);
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
    }
}

void Replace(QWidget& window, const QString& name, const QString& text) {
    qobject_cast<QLineEdit*>(&Control(window, name))->clear();
    Type(window, name, text);
}

void Backspace(QWidget& window, const QString& name, int times) {
    for (int time = 0; time < times; ++time) {
        PressKey(window, name, Qt::Key_Backspace);
    }
}

void PressKey(QWidget& window, const QString& name, Qt::Key key) {
    QTest::keyClick(&Control(window, name), key);
}

void Search(QWidget& window, const QString& text, bool byGivenName) {
    Replace(window, QStringLiteral("Text1"), text);
    Click(window, byGivenName ? QStringLiteral("Option1_1") : QStringLiteral("Option1_0"));
    Click(window, QStringLiteral("Command1"));
}

void TypePerson(QWidget& window, const QStringList& texts) {
    const QStringList boxes = {"Text9", "Text2", "Text3", "Text4",
                               "Text5", "Text8", "Text7", "Text6"};
    for (qsizetype box = 0; box < texts.size(); ++box) {
        Type(window, boxes.at(box), texts.at(box));
    }
}

}  // namespace radici
