#include "ScriptedToolkit.h"
#include "shell/Toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace radici {

namespace {

// What a message box showed, read while it is open.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::TextFormat format = Qt::AutoText;
};

// Reads the message box once it is open, then answers it with the given key.
void AnswerNextBox(SeenBox& seen, Qt::Key key) {
    QTimer::singleShot(0, [&seen, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->standardButton(box->defaultButton()),
                box->textFormat()};
        QTest::keyClick(box, key);
    });
}

// A window that records its load and unload steps the way the program's windows take them.
class RecordingDialog : public QDialog {
public:
    QStringList steps;

protected:
    void showEvent(QShowEvent* event) override {
        steps.append(QStringLiteral("load"));
        QDialog::showEvent(event);
    }
    void done(int result) override {
        steps.append(QStringLiteral("unload"));
        QDialog::done(result);
    }
};

}  // namespace

class ToolkitTest : public QObject {
    Q_OBJECT

private slots:
    void informShowsTitledOkOnlyBox();
    void confirmAsksYesNoWithStopIconAndNoDefault_data();
    void confirmAsksYesNoWithStopIconAndNoDefault();
    void showModalReturnsWhenTheWindowCloses();

    void scriptedToolkitRecordsMessagesAndAnswers();
    void scriptedModalLoadsRunsStepAndUnloads();
    void scriptedModalLeavesAWindowClosedByItsStep();
};

void ToolkitTest::informShowsTitledOkOnlyBox() {
    QtToolkit toolkit;
    SeenBox seen;
    AnswerNextBox(seen, Qt::Key_Return);
    toolkit.inform(nullptr, QStringLiteral("Prima riga\rseconda <b>riga</b>"));

    QCOMPARE(seen.title, ApplicationTitle);
    QCOMPARE(seen.text, QStringLiteral("Prima riga\nseconda <b>riga</b>"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.format, Qt::PlainText);  // names typed by the user are never markup
}

void ToolkitTest::confirmAsksYesNoWithStopIconAndNoDefault_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Enter takes the default") << int(Qt::Key_Return) << false;
    QTest::newRow("Esc refuses") << int(Qt::Key_Escape) << false;
    QTest::newRow("access key of Yes") << int(Qt::Key_Y) << true;
}

void ToolkitTest::confirmAsksYesNoWithStopIconAndNoDefault() {
    QFETCH(int, key);
    QFETCH(bool, expected);
    QtToolkit toolkit;
    SeenBox seen;
    AnswerNextBox(seen, static_cast<Qt::Key>(key));
    const bool answer = toolkit.confirm(nullptr, QStringLiteral("Attenzione....\rCancellare?"));

    QCOMPARE(answer, expected);
    QCOMPARE(seen.title, ApplicationTitle);
    QCOMPARE(seen.text, QStringLiteral("Attenzione....\nCancellare?"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seen.defaultButton, QMessageBox::No);
}

void ToolkitTest::showModalReturnsWhenTheWindowCloses() {
    QtToolkit toolkit;
    RecordingDialog window;
    QTimer::singleShot(0, &window, [&window] {
        QCOMPARE(QApplication::activeModalWidget(), &window);
        window.close();
    });
    toolkit.showModal(window);

    QCOMPARE(window.steps, QStringList({"load", "unload"}));
    QVERIFY(!window.isVisible());
}

void ToolkitTest::scriptedToolkitRecordsMessagesAndAnswers() {
    ScriptedToolkit toolkit;
    toolkit.answer(true);
    toolkit.inform(nullptr, QStringLiteral("uno"));
    QVERIFY(toolkit.confirm(nullptr, QStringLiteral("due")));
    QVERIFY(!toolkit.confirm(nullptr, QStringLiteral("tre")));
    toolkit.beep();

    QCOMPARE(toolkit.texts(), QStringList({"uno", "due", "tre"}));
    QCOMPARE(toolkit.messages()[0].kind, ScriptedToolkit::Kind::Information);
    QCOMPARE(toolkit.messages()[1].kind, ScriptedToolkit::Kind::Question);
    QCOMPARE(toolkit.unansweredQuestions(), 1);
    QCOMPARE(toolkit.beeps(), 1);
}

void ToolkitTest::scriptedModalLoadsRunsStepAndUnloads() {
    ScriptedToolkit toolkit;
    RecordingDialog window;
    window.setObjectName(QStringLiteral("cerca"));
    toolkit.onNextModal([](QDialog& shown) {
        static_cast<RecordingDialog&>(shown).steps.append(QStringLiteral("step"));
    });
    toolkit.showModal(window);
    toolkit.showModal(window);

    QCOMPARE(window.steps, QStringList({"load", "step", "unload", "load", "unload"}));
    QCOMPARE(toolkit.modalWindows(), QStringList({"cerca", "cerca"}));
    QCOMPARE(toolkit.pendingModalSteps(), 0);
    QVERIFY(!window.isVisible());
}

void ToolkitTest::scriptedModalLeavesAWindowClosedByItsStep() {
    ScriptedToolkit toolkit;
    RecordingDialog window;
    toolkit.onNextModal([](QDialog& shown) { shown.accept(); });
    toolkit.showModal(window);

    QCOMPARE(window.steps, QStringList({"load", "unload"}));
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

}  // namespace radici

QTEST_MAIN(radici::ToolkitTest)
#include "ToolkitTest.moc"
