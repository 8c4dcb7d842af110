#include "Driver.h"
#include "FakeSystemInfo.h"
#include "TestDatabase.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartExport.h"
#include "chart/ChartPainter.h"
#include "chart/ChartReader.h"
#include "chart/ChartWindow.h"
#include "chart/KinshipWindow.h"
#include "tools/DemoFamily.h"

#include <QFileDialog>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QXmlStreamReader>
#include <map>

namespace radici {

namespace {

const QString Giuseppe = QStringLiteral("ROSGIU12/03/1888");

// The demo family in a fresh file, and the program over it.
struct Demo {
    Demo() {
        if (!connection.open(database.path()).ok() || !WriteDemoFamily(connection).ok())
            qFatal("no demo");
    }
    ChartLayout chart(ChartKind kind, const QString& key, int generations) const {
        const Result<ChartFamily> family = ReadChartFamily(connection, kind, key, generations);
        if (!family.ok()) qFatal("%s", qPrintable(family.status().description()));
        return LayoutChart(kind, family.value(), key, generations);
    }

    TestDatabase database;
    DatabaseConnection connection;
};

// The file dialog of "Esporta..." answered with the path.
ScriptedToolkit::ModalStep SaveAs(const QString& path) {
    return [path](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(path);
        dialog.accept();
    };
}

QStringList Names(const ChartLayout& layout) {
    QStringList names;
    for (const ChartBox& box : layout.boxes)
        names << (box.person ? box.person->nome : "?") + (box.repeat ? "*" : "");
    names.sort();
    return names;
}

// The given names of a row, left to right.
QStringList Row(const ChartLayout& layout, int generation) {
    std::map<double, QString> row;
    for (const ChartBox& box : layout.boxes)
        if (box.generation == generation) row[box.rect.left()] = box.person->nome;
    QStringList names;
    for (const auto& [left, name] : row) names << name;
    return names;
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

class ChartTest : public QObject {
    Q_OBJECT

private slots:
    // "Annulla" in the registry window opens nothing; "Seleziona" opens the chart, not modal, on
    // that person's ancestors. Descendants keep their own generations; a click on a box, or Enter
    // on the current box, makes that person the chart's; Ctrl+wheel zooms, the wheel alone and a
    // drag pan; "Esporta..." saves in the format of the name's extension.
    void chartIsDrivenByMouseAndKeyboard() {
        Demo demo;
        Program program(demo.database.path());
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
        Program program(demo.database.path());
        ScriptedToolkit& toolkit = program.toolkit;
        QCOMPARE(program.window.findChild<QAction*>("parentela")->text(), "Paren&tela...");
        toolkit.onNextModal(CancelRegistry());
        program.choose("parentela");
        toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));
        toolkit.onNextModal(CancelRegistry());
        program.choose("parentela");
        QVERIFY(!program.window.findChild<KinshipWindow*>());
        QCOMPARE(toolkit.modalWindows.size(), 3);

        toolkit.onNextModal(ChooseInRegistry("ROSSI", 3));  // Nicolò
        toolkit.onNextModal(ChooseInRegistry("RICCI", 1));  // Francesco, his cousin
        program.choose("parentela");
        auto* window = program.window.findChild<KinshipWindow*>();
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

    // Giuseppe's descendants with their spouses, Rosa's parents excepted; Giovanni's two wives and
    // four children, as the relations window shows him, with the children's spouses.
    void demoChartsHoldExactlyTheirPersons() {
        const Demo demo;
        QCOMPARE(Names(demo.chart(ChartKind::Descendants, Giuseppe, 4)),
                 QStringList({"ANNA", "CHIARA", "ELENA", "FRANCESCO", "GIOVANNI", "GIULIA",
                              "GIUSEPPE", "LUCA", "LUCIA", "MARCO", "MARIA", "NICOLÒ", "NOÈ",
                              "PAOLO", "ROSA", "SOFIA", "TERESA"}));
        const ChartLayout giovanni = demo.chart(ChartKind::Descendants, "ROSGIO02/02/1915", 2);
        QCOMPARE(giovanni.boxes.size(), 9u);
        QCOMPARE(Row(giovanni, 1), QStringList({"ELENA", "GIOVANNI", "ROSA"}));
        QCOMPARE(Row(giovanni, 2),
                 QStringList({"MARCO", "GIULIA", "CHIARA", "NICOLÒ", "TERESA", "ANNA"}));
    }

    // SVG that an XML reader reads through, one outline per box and every name in it; a PDF with a
    // page; a PNG the chart's size; any other extension refused, and nothing left behind.
    void exportedFilesAreTheirFormats() {
        const Demo demo;
        const ChartLayout chart = demo.chart(ChartKind::Descendants, Giuseppe, 4);
        const QString folder = demo.database.folder();
        for (const char* name : {"/albero.svg", "/albero.PDF", "/albero.png"}) {
            const Status saved = ExportChart(chart, folder + name);
            QVERIFY2(saved.ok(), qPrintable(saved.description()));
        }
        QXmlStreamReader svg(FileBytes(folder + "/albero.svg"));
        int outlines = 0;
        QStringList texts;
        while (!svg.atEnd()) {
            if (svg.readNext() != QXmlStreamReader::StartElement) continue;
            if (svg.name() == QLatin1String("path")) ++outlines;
            if (svg.name() == QLatin1String("text")) texts << svg.readElementText();
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QCOMPARE(outlines, static_cast<int>(chart.boxes.size()));
        for (const ChartBox& box : chart.boxes) QVERIFY(texts.contains(box.person->nome));

        const QByteArray pdf = FileBytes(folder + "/albero.PDF");
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page\\b")), 1);
        QCOMPARE(QImage(folder + "/albero.png").size(), chart.bounds.size().toSize());
        QCOMPARE(PictureSize(chart), chart.bounds.size().toSize());

        QVERIFY(!ExportChart(chart, folder + "/albero.txt").ok());
        QVERIFY(!ExportChart(chart, folder + "/manca/albero.svg").ok());
        QVERIFY(!QFile::exists(folder + "/albero.txt") && !QDir(folder + "/manca").exists());
    }

    // As a flip of the sex option before "Salva" leaves it: the old row and the new one.
    void aPairStoredBothWaysIsOneMarriage() {
        TestDatabase db;
        const QString husband = db.addPerson("SALA", "PIETRO", "01/01/1900");
        const QString wife = db.addPerson("SALA", "ROSA", "02/02/1902", Female);
        db.marry(husband, wife);
        db.marry(wife, husband, "1925-03-03");
        DatabaseConnection connection;
        QVERIFY(connection.open(db.path()).ok());
        for (const QString& key : {husband, wife}) {
            const Result<ChartFamily> family =
                ReadChartFamily(connection, ChartKind::Descendants, key, 2);
            QVERIFY(family.ok());
            QCOMPARE(family.value().marriages.size(), std::size_t{1});
            const Marriage& marriage = family.value().marriages.front();
            QCOMPARE(marriage.idmarito.trimmed() + '+' + marriage.idmoglie.trimmed() + '@' +
                         marriage.data.toString(Qt::ISODate),
                     husband + '+' + wife + "@1925-03-03");
        }
    }

    // Read with the persons, as the chart command and the chart window read them.
    void aDateKnownInPartShownShort() {
        Demo demo;
        demo.database.execute("update anagrafica set datanasc = null where nome = 'GIUSEPPE'");
        QVERIFY(demo.connection.datesInPart().setPerson(Giuseppe, {"ABT 1850", {}}).ok());
        QCOMPARE(BoxLines(demo.chart(ChartKind::Ancestors, Giuseppe, 1).boxes.at(0)).at(2),
                 "n. ca. 1850 BERGAMO");
    }
};

}  // namespace radici

QTEST_MAIN(radici::ChartTest)
#include "ChartTest.moc"
