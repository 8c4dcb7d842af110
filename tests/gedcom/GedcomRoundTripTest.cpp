#include "RawRows.h"
#include "TestDatabase.h"
#include "gedcom/GedcomExporter.h"
#include "gedcom/GedcomImporter.h"
#include "store/DatabaseConnection.h"
#include "tools/DemoFamily.h"

#include <QBuffer>
#include <QSet>
#include <QTest>

using namespace radici;

namespace {

// Every person byte for byte in row order (the export keeps it, and so does the import); links
// and marriages as the test database reads them, sorted.
struct Tables {
    QStringList persons;
    QStringList links;
    QStringList marriages;
};

Tables ReadTables(TestDatabase& db) {
    Tables tables;
    tables.persons = RawRows(db, "anagrafica",
                             "idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, "
                             "datamorte, luogomorte, nazionemorte");
    tables.links = db.links().split(u' ', Qt::SkipEmptyParts);
    tables.links.sort();
    tables.marriages = db.marriages().split(u' ', Qt::SkipEmptyParts);
    tables.marriages.sort();
    return tables;
}

// A made-up tree written in one transaction: every person after the first forty has both
// parents, married once (some marriages without a date); some persons have died.
void WriteGeneratedTree(TestDatabase& db, int size) {
    const QStringList surnames{"ROSSI", "D'ANGELO", "CANTÙ", "DE LUCA", "FAÀ DI BRUNO"};
    const QStringList givenNames{"NICOLÒ", "MARIA LUISA", "NOÈ", "GIOVANNI", "ANNA"};
    const QStringList marriageDates{QString(), "1850-05-01", "1848-02-29"};
    std::vector<QString> men, women;
    QSet<QString> married;
    db.execute("begin");
    for (int index = 0; index < size; ++index) {
        const SexCode sex = index % 2 == 0 ? Male : Female;
        const QDate birth = QDate(1700, 1, 1).addDays(index * 7);
        const QString key = db.addPerson(
            surnames[index % surnames.size()], givenNames[(index / 5) % givenNames.size()],
            birth.toString("dd/MM/yyyy"), sex,
            index % 3 == 0 ? birth.addYears(70).toString("dd/MM/yyyy") : QString());
        if (index >= 40) {
            const QString& father = men[static_cast<std::size_t>(index * 7) % men.size()];
            const QString& mother = women[static_cast<std::size_t>(index * 7) % women.size()];
            db.link(father, key, Male);
            db.link(mother, key, Female);
            if (!married.contains(father + mother))
                db.marry(father, mother, marriageDates[index % 3]);
            married.insert(father + mother);
        }
        (sex == Male ? men : women).push_back(key);
    }
    db.execute(
        "update anagrafica set luogonasc = 'SANT''OMOBONO TERME', nazionenasc = 'ITALIA', "
        "luogomorte = case when datamorte is null then '' else 'LOVERE' end, "
        "nazionemorte = case when datamorte is null then '' else 'FRANCIA' end; commit");
}

// Values a user can type into the registry window, as it stores them: every character it lets
// through, in every field, at the longest its boxes take; a key not made from the names; a
// couple with children and no marriage.
void WriteTypedValues(TestDatabase& db) {
    const QString longSurname = QString::fromUtf8("SANT'ÀNGELO DEI LOMB");
    const QString longGiven = QString::fromUtf8("ÈLENA  MARIA, D'@RCO/PIA VÒLTA");
    const QString mother = "ROSMAR01/01/1900";
    const QString father = "D@NDE 02/02/1902";
    const QString handMade = "CHIAVE FATTA/@,1";
    db.addPerson({mother, "ROSSI/BIANCHI", "MARIA/GRAZIA", Female, QDate(1900, 1, 1),
                  "CASTEL SAN PIETRO, BOLOGNA", "", QDate(1980, 5, 5), "VIA ROMA, 3", "ITALIA"});
    db.addPerson({father, "D@NTE", "DE  LUCA", Male, QDate(1902, 2, 2), "", ",", QDate(), "@", ""});
    db.addPerson({"SANÈLE03/03/1930", longSurname, longGiven, Female, QDate(1930, 3, 3), "L'AQUILA",
                  "SAN MARINO, RSM", QDate(), "", ""});
    db.addPerson({handMade, "NERI", "ELIO", Male, QDate(), "", "", QDate(1990, 1, 1), "", ""});
    db.addPerson(
        {"NERUGO04/04/1934", "NERI", "UGO", Male, QDate(1934, 4, 4), "", "", QDate(), "", ""});
    db.marry(father, mother, "1929-06-01");
    db.link(father, "SANÈLE03/03/1930", Male);
    db.link(mother, "SANÈLE03/03/1930", Female);
    db.link(handMade, "NERUGO04/04/1934", Male);
    db.link(mother, "NERUGO04/04/1934", Female);
}

}  // namespace

class GedcomRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void exportedTreesComeBackRowForRow_data();
    void exportedTreesComeBackRowForRow();
};

void GedcomRoundTripTest::exportedTreesComeBackRowForRow_data() {
    QTest::addColumn<int>("generated");  // persons of a generated tree; 0 the demo, -1 typed
    QTest::newRow("demo family") << 0;
    QTest::newRow("generated tree") << 10000;
    QTest::newRow("typed values") << -1;
}

void GedcomRoundTripTest::exportedTreesComeBackRowForRow() {
    QFETCH(int, generated);
    TestDatabase source;
    DatabaseConnection from;
    QVERIFY(from.open(source.path()).ok());
    if (generated < 0)
        WriteTypedValues(source);
    else if (generated > 0)
        WriteGeneratedTree(source, generated);
    else
        QVERIFY(WriteDemoFamily(from).ok());

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    QVERIFY(GedcomExporter(from, ExportOptions{"1.0", false}).exportTo(file).ok());
    file.seek(0);
    TestDatabase target;
    DatabaseConnection into;
    QVERIFY(into.open(target.path()).ok());
    const Result<ImportPlan> plan = PlanImport(file, into);
    QVERIFY2(plan.ok(), qPrintable(plan.status().description()));
    QVERIFY(WriteImport(plan.value(), into).ok());

    const Tables before = ReadTables(source);
    const Tables after = ReadTables(target);
    QVERIFY(before.persons.size() >= 5);
    QCOMPARE(after.persons, before.persons);
    QCOMPARE(after.links, before.links);
    QCOMPARE(after.marriages, before.marriages);
    QCOMPARE(plan.value().report().persons.leftOut, 0);
}

QTEST_GUILESS_MAIN(GedcomRoundTripTest)
#include "GedcomRoundTripTest.moc"
