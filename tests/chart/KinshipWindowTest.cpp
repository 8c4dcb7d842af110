#include "Driver.h"
#include "FakeSystemInfo.h"
#include "TestDatabase.h"
#include "chart/ChartCanvas.h"
#include "chart/KinshipWindow.h"
#include "tools/DemoFamily.h"

#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace radici {

class KinshipWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuAsksForTwoPersonsAndDrawsTheirPath();
};

// "Annulla" for either person opens nothing; two persons chosen open the window, not modal, with
// the relationship and its path from the grandparents down to both cousins, which "Esporta..."
// saves.
void KinshipWindowTest::menuAsksForTwoPersonsAndDrawsTheirPath() {
    TestDatabase database;
    {
        DatabaseConnection connection;
        QVERIFY(connection.open(database.path()).ok() && WriteDemoFamily(connection).ok());
    }
    Program program(database.path());
    ScriptedToolkit& toolkit = program.toolkit;
    MainWindow& main = program.window;
    auto* menuItem = main.findChild<QAction*>("parentela");
    QCOMPARE(menuItem->text(), "Paren&tela...");
    toolkit.onNextModal(CancelRegistry());
    menuItem->trigger();
    toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));
    toolkit.onNextModal(CancelRegistry());
    menuItem->trigger();
    QVERIFY(!main.findChild<KinshipWindow*>());
    QCOMPARE(toolkit.modalWindows.size(), 3);

    toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));  // Nicolò
    toolkit.onNextModal(ChooseInRegistry("RICCI", 1));  // Francesco, his cousin
    menuItem->trigger();
    auto* window = main.findChild<KinshipWindow*>();
    QVERIFY(window && window->isVisible() && !window->isModal());
    QCOMPARE(window->windowTitle(), "Parentela tra NICOLÒ ROSSI e FRANCESCO RICCI");
    QCOMPARE(Rows(*window, {"relazioni"}),
             "cugino di primo grado, parente di 4° grado in linea collaterale; antenati comuni: "
             "GIUSEPPE ROSSI (ROSGIU12/03/1888) e MARIA BIANCHI (BIAMAR25/07/1891)");
    QStringList boxes;
    for (const ChartBox& box : window->findChild<ChartCanvas*>()->chart().boxes)
        boxes << box.person->nome;
    QCOMPARE(boxes, QStringList({"NICOLÒ", "GIUSEPPE", "MARIA", "GIOVANNI", "LUCIA", "FRANCESCO"}));

    const QString svg = database.folder() + "/parentela.svg";
    toolkit.onNextModal([&svg](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(svg);
        dialog.accept();
    });
    Click(*window, "esporta");
    QFile saved(svg);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray drawing = saved.readAll();
    QVERIFY(drawing.contains("<title>Parentela tra NICOLÒ ROSSI e FRANCESCO RICCI</title>") &&
            drawing.contains("FRANCESCO"));
    QVERIFY(toolkit.texts.isEmpty());
}

}  // namespace radici

QTEST_MAIN(radici::KinshipWindowTest)
#include "KinshipWindowTest.moc"
