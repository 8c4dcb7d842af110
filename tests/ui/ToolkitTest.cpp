#include "ui/Toolkit.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace radici {

class ToolkitTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesAreTitledAndPlain_data();
    void messageBoxesAreTitledAndPlain();
    void modalShowingReturnsOnceTheWindowCloses();
};

void ToolkitTest::messageBoxesAreTitledAndPlain_data() {
    QTest::addColumn<bool>("question");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");
    QTest::newRow("information") << false << int(Qt::Key_Return) << false;
    QTest::newRow("Enter takes No") << true << int(Qt::Key_Return) << false;
    QTest::newRow("Esc refuses") << true << int(Qt::Key_Escape) << false;
    QTest::newRow("access key of Yes") << true << int(Qt::Key_Y) << true;
}

void ToolkitTest::messageBoxesAreTitledAndPlain() {
    QFETCH(bool, question);
    QFETCH(int, key);
    QFETCH(bool, yes);
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        [&] {
            QCOMPARE(box->windowTitle(), ApplicationTitle);
            QCOMPARE(box->text(), "Prima riga\n<b>seconda</b>");
            QCOMPARE(box->textFormat(), Qt::PlainText);  // names typed by users are never markup
            QCOMPARE(box->icon(), question ? QMessageBox::Critical : QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(), question
                                                 ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(box->standardButton(box->defaultButton()),
                     question ? QMessageBox::No : QMessageBox::Ok);
        }();
        QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
    QtToolkit toolkit;
    if (question)
        QCOMPARE(toolkit.confirm(nullptr, "Prima riga\r<b>seconda</b>"), yes);
    else
        toolkit.inform(nullptr, "Prima riga\r<b>seconda</b>");
}

void ToolkitTest::modalShowingReturnsOnceTheWindowCloses() {
    QDialog window;
    bool shownModal = false;
    QTimer::singleShot(0, &window, [&] {
        shownModal = QApplication::activeModalWidget() == &window;
        window.close();
    });
    QtToolkit().showModal(window);
    QVERIFY(shownModal && !window.isVisible());
}

}  // namespace radici

QTEST_MAIN(radici::ToolkitTest)
#include "ToolkitTest.moc"
