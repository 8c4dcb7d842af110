#include "Driver.h"
#include "FakeSystemInfo.h"
#include "TestDatabase.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartWindow.h"
#include "chart/KinshipWindow.h"
#include "tools/DemoFamily.h"

#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace radici {

namespace {

// The program over a fresh file that holds the demo family.
struct Demo {
    TestDatabase database;
    bool written = [this] {
        DatabaseConnection connection;
        return connection.open(database.path()).ok() && WriteDemoFamily(connection).ok();
    }();
    Program program{database.path()};
};

// The file dialog of "Esporta..." answered with the path.
ScriptedToolkit::ModalStep SaveAs(const QString& path) {
    return [path](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(path);
        dialog.accept();
    };
}

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
        Demo demo;
        Program& program = demo.program;
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

        const QString svg = demo.database.folder() + "/albero.svg";
        program.toolkit.onNextModal(SaveAs(svg));
        chart->findChild<QPushButton*>("esporta")->click();
        QVERIFY(FileBytes(svg).contains("<svg"));
        program.toolkit.onNextModal(SaveAs(demo.database.folder() + "/albero.doc"));
        chart->findChild<QPushButton*>("esporta")->click();
        QCOMPARE(program.toolkit.texts.size(), 1);
        QVERIFY(program.toolkit.texts[0].contains(".png, .svg o .pdf"));
    }

    // "Annulla" for either person opens nothing; two persons chosen open the window, not modal,
    // with the relationship and its path from the grandparents down to both cousins, which
    // "Esporta..." saves.
    void kinshipMenuAsksForTwoPersonsAndDrawsTheirPath() {
        Demo demo;
        ScriptedToolkit& toolkit = demo.program.toolkit;
        QCOMPARE(demo.program.window.findChild<QAction*>("parentela")->text(), "Paren&tela...");
        toolkit.onNextModal(CancelRegistry());
        demo.program.choose("parentela");
        toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));
        toolkit.onNextModal(CancelRegistry());
        demo.program.choose("parentela");
        QVERIFY(!demo.program.window.findChild<KinshipWindow*>());
        QCOMPARE(toolkit.modalWindows.size(), 3);

        toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));  // Nicolò
        toolkit.onNextModal(ChooseInRegistry("RICCI", 1));  // Francesco, his cousin
        demo.program.choose("parentela");
        auto* window = demo.program.window.findChild<KinshipWindow*>();
        QVERIFY(window && window->isVisible() && !window->isModal());
        QCOMPARE(window->windowTitle(), "Parentela tra NICOLÒ ROSSI e FRANCESCO RICCI");
        QCOMPARE(Rows(*window, {"relazioni"}),
                 "cugino di primo grado, parente di 4° grado in linea collaterale; antenati "
                 "comuni: GIUSEPPE ROSSI (ROSGIU12/03/1888) e MARIA BIANCHI (BIAMAR25/07/1891)");
        QCOMPARE(Surnames(*window->findChild<ChartCanvas*>()),
                 QStringList({"NICOLÒ", "GIUSEPPE", "MARIA", "GIOVANNI", "LUCIA", "FRANCESCO"}));

        const QString svg = demo.database.folder() + "/parentela.svg";
        toolkit.onNextModal(SaveAs(svg));
        Click(*window, "esporta");
        QVERIFY(FileBytes(svg).contains(
                    "<title>Parentela tra NICOLÒ ROSSI e FRANCESCO RICCI</title>") &&
                FileBytes(svg).contains("FRANCESCO"));
        QVERIFY(toolkit.texts.isEmpty());
    }
};

}  // namespace radici

QTEST_MAIN(radici::ChartWindowTest)
#include "ChartWindowTest.moc"
