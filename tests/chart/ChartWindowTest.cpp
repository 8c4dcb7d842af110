#include "Driver.h"
#include "FakeSystemInfo.h"
#include "TestDatabase.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartWindow.h"
#include "tools/DemoFamily.h"

#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace radici {

namespace {

QStringList Surnames(const ChartCanvas& canvas) {
    QStringList names;
    for (const ChartBox& box : canvas.chart().boxes) names << box.person->nome;
    return names;
}

QPoint CentreOf(const ChartCanvas& canvas, const QString& givenName) {
    for (const ChartBox& box : canvas.chart().boxes)
        if (box.person->nome == givenName) return canvas.toCanvas(box.rect.center()).toPoint();
    return {};
}

void SendWheel(ChartCanvas& canvas, Qt::KeyboardModifiers modifiers) {
    const QPointF at(canvas.width() / 2.0, canvas.height() / 2.0);
    QWheelEvent wheel(at, canvas.mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&canvas, &wheel);
}

}  // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT

private slots:
    // "Annulla" in the registry window opens nothing; "Seleziona" opens the chart, not modal, on
    // that person's ancestors. Descendants keep their own generations; a click on a box, or Enter
    // on the current box, makes that person the chart's; Ctrl+wheel zooms, the wheel alone and a
    // drag pan; "Esporta..." saves in the format of the name's extension.
    void chartIsDrivenByMouseAndKeyboard() {
        TestDatabase database;
        {
            DatabaseConnection connection;
            QVERIFY(connection.open(database.path()).ok() && WriteDemoFamily(connection).ok());
        }
        Program program(database.path());
        program.toolkit.onNextModal(CancelRegistry());
        program.choose("albero");
        QVERIFY(!program.window.findChild<ChartWindow*>());
        // Giuseppe, Giovanni, Lucia, Nicolò
        program.toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));
        program.choose("albero");
        auto* chart = program.window.findChild<ChartWindow*>();
        QVERIFY(QTest::qWaitForWindowExposed(chart));
        QVERIFY(!chart->isModal());
        QCOMPARE(program.toolkit.modalWindows, QStringList({"cerca", "cerca"}));
        QCOMPARE(chart->windowTitle(), "Albero di NICOLÒ ROSSI");
        auto* canvas = chart->findChild<ChartCanvas*>();
        QCOMPARE(Surnames(*canvas), QStringList({"NICOLÒ", "GIOVANNI", "ROSA", "GIUSEPPE", "MARIA",
                                                 "ANTONIO", "CONCETTA"}));
        auto* generations = chart->findChild<QSpinBox*>("generazioni");
        QCOMPARE(generations->value(), 4);
        QTest::mouseClick(chart->findChild<QRadioButton*>("discendenti"), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(generations->value(), 3);
        QCOMPARE(Surnames(*canvas), QStringList({"NICOLÒ", "TERESA", "LUCA", "SOFIA"}));

        const double zoom = canvas->zoom();
        SendWheel(*canvas, Qt::ControlModifier);
        QVERIFY(canvas->zoom() > zoom);
        const QPointF corner = canvas->toChart({0, 0});
        SendWheel(*canvas, Qt::NoModifier);
        QVERIFY(canvas->toChart({0, 0}).y() < corner.y());
        const QPoint from = CentreOf(*canvas, "TERESA");
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas, from + QPoint(40, 30));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, from + QPoint(40, 30));
        QCOMPARE(CentreOf(*canvas, "TERESA"), from + QPoint(40, 30));
        QCOMPARE(chart->windowTitle(), "Albero di NICOLÒ ROSSI");

        QTest::mouseClick(canvas, Qt::LeftButton, {}, CentreOf(*canvas, "LUCA"));
        QCOMPARE(chart->windowTitle(), "Albero di LUCA ROSSI");
        QCOMPARE(canvas->chart().boxes.size(), 1u);
        chart->findChild<QRadioButton*>("antenati")->click();
        QCOMPARE(generations->value(), 4);
        canvas->setFocus();
        QTest::keyClick(canvas, Qt::Key_Right);  // Luca's parents stand right of him
        QTest::keyClick(canvas, Qt::Key_Down);   // from his father to his mother
        QVERIFY(canvas->accessibleDescription().startsWith("GALLO, TERESA"));
        QTest::keyClick(canvas, Qt::Key_Return);
        QCOMPARE(chart->windowTitle(), "Albero di TERESA GALLO");

        const QString svg = database.folder() + "/albero.svg";
        program.toolkit.onNextModal([&svg](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(svg);
            dialog.accept();
        });
        chart->findChild<QPushButton*>("esporta")->click();
        QFile saved(svg);
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll().contains("<svg"));
        program.toolkit.onNextModal([&database](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(database.folder() + "/albero.doc");
            dialog.accept();
        });
        chart->findChild<QPushButton*>("esporta")->click();
        QCOMPARE(program.toolkit.texts.size(), 1);
        QVERIFY(program.toolkit.texts[0].contains(".png, .svg o .pdf"));
    }
};

}  // namespace radici

QTEST_MAIN(radici::ChartWindowTest)
#include "ChartWindowTest.moc"
