#include "TestDatabase.h"
#include "chart/ChartExport.h"
#include "chart/ChartPainter.h"
#include "chart/ChartReader.h"
#include "tools/DemoFamily.h"

#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>
#include <map>

namespace radici {

namespace {

const QString Giuseppe = QStringLiteral("ROSGIU12/03/1888");

// The demo family in a fresh file.
struct DemoDatabase {
    DemoDatabase() {
        DatabaseConnection writer;
        if (!writer.open(file.path()).ok() || !WriteDemoFamily(writer).ok() ||
            !connection.open(file.path()).ok())
            qFatal("no demo");
    }
    ChartLayout chart(ChartKind kind, const QString& key, int generations) const {
        const Result<ChartFamily> family = ReadChartFamily(connection, kind, key, generations);
        if (!family.ok()) qFatal("%s", qPrintable(family.status().description()));
        return LayoutChart(kind, family.value(), key, generations);
    }

    TestDatabase file;
    DatabaseConnection connection;
};

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

}  // namespace

class ChartExportTest : public QObject {
    Q_OBJECT

private slots:

    // Giuseppe's descendants with their spouses, Rosa's parents excepted; Giovanni's two wives and
    // four children, as the relations window shows him, with the children's
    // spouses; Noè's four generations of ancestors.
    void demoChartsHoldExactlyTheirPersons() {
        const DemoDatabase demo;
        QCOMPARE(Names(demo.chart(ChartKind::Descendants, Giuseppe, 4)),
                 QStringList({"ANNA", "CHIARA", "ELENA", "FRANCESCO", "GIOVANNI", "GIULIA",
                              "GIUSEPPE", "LUCA", "LUCIA", "MARCO", "MARIA", "NICOLÒ", "NOÈ",
                              "PAOLO", "ROSA", "SOFIA", "TERESA"}));
        const ChartLayout giovanni = demo.chart(ChartKind::Descendants, "ROSGIO02/02/1915", 2);
        QCOMPARE(giovanni.boxes.size(), 9u);
        QCOMPARE(Row(giovanni, 1), QStringList({"ELENA", "GIOVANNI", "ROSA"}));
        QCOMPARE(Row(giovanni, 2),
                 QStringList({"MARCO", "GIULIA", "CHIARA", "NICOLÒ", "TERESA", "ANNA"}));
        QCOMPARE(Names(demo.chart(ChartKind::Ancestors, "ROSNOÈ25/12/1984", 12)),
                 QStringList({"ELENA", "GIOVANNI", "GIULIA", "GIUSEPPE", "MARCO", "MARIA", "NOÈ"}));
    }

    // SVG that an XML reader reads through, one outline per box and every name in it; a PDF with a
    // page; a PNG the chart's size; any other extension refused, and nothing left behind.
    void exportedFilesAreTheirFormats() {
        const DemoDatabase demo;
        const ChartLayout chart = demo.chart(ChartKind::Descendants, Giuseppe, 4);
        const QString folder = demo.file.folder();
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
        DemoDatabase demo;
        demo.file.execute("update anagrafica set datanasc = null where nome = 'GIUSEPPE'");
        QVERIFY(demo.connection.datesInPart().setPerson(Giuseppe, {"ABT 1850", {}}).ok());
        QCOMPARE(BoxLines(demo.chart(ChartKind::Ancestors, Giuseppe, 1).boxes.at(0)).at(2),
                 "n. ca. 1850 BERGAMO");
    }
};

}  // namespace radici

QTEST_MAIN(radici::ChartExportTest)
#include "ChartExportTest.moc"
