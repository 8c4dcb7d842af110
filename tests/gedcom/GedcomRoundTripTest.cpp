#include "RawRows.h"
#include "TestDatabase.h"
#include "gedcom/GedcomExporter.h"
#include "gedcom/GedcomImporter.h"
#include "store/DatabaseConnection.h"
#include "tools/DemoFamily.h"

#include <QBuffer>
#include <QRegularExpression>
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
    QStringList own;  // Radici's own tables, when the file has them
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
    if (!db.column("select 1 from sqlite_master where name = 'radici_date_persone'").isEmpty())
        tables.own = RawRows(db, "radici_date_persone", "idrecord, evento, data, ordine",
                             "idrecord, evento") +
                     RawRows(db, "radici_date_matrimoni", "idmarito, idmoglie, data, ordine",
                             "idmarito, idmoglie");
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

// The date of each birth, death and marriage as the GEDCOM text writes it ("BIRT 1850"), sorted.
QStringList EventDates(const QString& gedcom) {
    QStringList dates;
    QString event;
    for (const QString& line : gedcom.split(u'\n')) {
        if (line.startsWith("1 ")) event = line.mid(2);
        if (line.startsWith("2 DATE ") && QStringList({"BIRT", "DEAT", "MARR"}).contains(event))
            dates << event + u' ' + line.mid(7);
    }
    dates.sort();
    return dates;
}

Result<ImportReport> ImportInto(TestDatabase& db, QIODevice& file) {
    DatabaseConnection into;
    if (Status opened = into.open(db.path()); !opened.ok()) return opened;
    const Result<ImportPlan> plan = PlanImport(file, into);
    if (!plan.ok()) return plan.status();
    return WriteImport(plan.value(), into);
}

}  // namespace

class GedcomRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void exportedTreesComeBackRowForRow_data();
    void exportedTreesComeBackRowForRow();
};

// A tree made in the database, or another program's file imported first: a file holding the
// kinds of records real trees hold (dates known in part, unknown sex, short and missing names,
// twins on one registry key, keys of both forms in REFN), and one holding every form of a date
// known in part on a birth, a death and a marriage. Every person of a file comes in, its dates go
// out as they came, and the export comes back row for row.
void GedcomRoundTripTest::exportedTreesComeBackRowForRow_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("demo family") << "demo";
    QTest::newRow("generated tree") << "generated";
    QTest::newRow("typed values") << "typed";
    QTest::newRow("kinds of records of real trees") << "real-tree-kinds.ged";
    QTest::newRow("every date form") << "every-date-form.ged";
}

void GedcomRoundTripTest::exportedTreesComeBackRowForRow() {
    QFETCH(QString, source);
    TestDatabase from;
    DatabaseConnection connection;
    QVERIFY(connection.open(from.path()).ok());
    QByteArray original;  // the file the tree comes from, if any
    if (source == "typed") {
        WriteTypedValues(from);
    } else if (source == "generated") {
        WriteGeneratedTree(from, 10000);
    } else if (source == "demo") {
        QVERIFY(WriteDemoFamily(connection).ok());
    } else {
        QFile read(QStringLiteral(GEDCOM_FOLDER "/") + source);
        QVERIFY(read.open(QIODevice::ReadOnly));
        original = read.readAll();
        QBuffer buffer(&original);
        buffer.open(QIODevice::ReadOnly);
        const Result<ImportReport> imported = ImportInto(from, buffer);
        QVERIFY2(imported.ok(), qPrintable(imported.status().description()));
        QCOMPARE(imported.value().persons.added, qint64(original.count(" INDI\n")));
    }

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    QVERIFY(GedcomExporter(connection, ExportOptions{"1.0", false}).exportTo(file).ok());
    if (!original.isEmpty())
        QCOMPARE(EventDates(QString::fromUtf8(file.data())),
                 EventDates(QString::fromUtf8(original)));
    file.seek(0);
    TestDatabase target;
    const Result<ImportReport> report = ImportInto(target, file);
    QVERIFY2(report.ok(), qPrintable(report.status().description()));

    const Tables before = ReadTables(from);
    const Tables after = ReadTables(target);
    QVERIFY(before.persons.size() >= 5);
    QCOMPARE(after.persons, before.persons);
    QCOMPARE(after.links, before.links);
    QCOMPARE(after.marriages, before.marriages);
    QCOMPARE(after.own, before.own);
    QCOMPARE(report.value().persons.leftOut, 0);
}

QTEST_GUILESS_MAIN(GedcomRoundTripTest)
#include "GedcomRoundTripTest.moc"
