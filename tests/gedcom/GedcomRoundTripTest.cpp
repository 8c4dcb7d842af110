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

// Every row of Radici's own tables, byte for byte.
QStringList OwnRows(TestDatabase& db) {
    return RawRows(db, "radici_date_persone", "idrecord, evento, data, ordine") +
           RawRows(db, "radici_date_matrimoni", "idmarito, idmoglie, data, ordine");
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
    void everyKindOfRecordOfRealTreesComesBack();
    void everyDateFormComesBackAsWritten();
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
    const Result<ImportReport> report = ImportInto(target, file);
    QVERIFY2(report.ok(), qPrintable(report.status().description()));

    const Tables before = ReadTables(source);
    const Tables after = ReadTables(target);
    QVERIFY(before.persons.size() >= 5);
    QCOMPARE(after.persons, before.persons);
    QCOMPARE(after.links, before.links);
    QCOMPARE(after.marriages, before.marriages);
    QCOMPARE(report.value().persons.leftOut, 0);
}

// Dates known in part of every form, unknown sex, short and missing names, twins on one registry
// key, keys in REFN of both forms: every person kept, and all of it back after a round trip.
void GedcomRoundTripTest::everyKindOfRecordOfRealTreesComesBack() {
    QFile sample(QStringLiteral(GEDCOM_SAMPLE));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QString original = QString::fromUtf8(sample.readAll());
    sample.seek(0);
    TestDatabase first;
    const Result<ImportReport> read = ImportInto(first, sample);
    QVERIFY2(read.ok(), qPrintable(read.status().description()));
    QCOMPARE(read.value().persons.leftOut, 0);
    QCOMPARE(
        first.column("select idrecord from anagrafica order by rowid"),
        QStringList({"ROSGIO12/03/1850", "ROSGIO~1850~0001", "LI_WEI~1950~0001", "BIA___~1820~0001",
                     "VERMAR~1822~0001", "NERANN~1830~0001", "RUSCAR~1800~0001", "FERPAO~1851~0001",
                     "ESPLUC~1700~0001", "ROMSAR~1850~0001", "COLUGO~0000~0001", "CHIAVE FATTA 001",
                     "MARELI~1890~0007", "GALBRU~1850~0001", "BO_LIA~1860~0001", "CONROS~0000~0001",
                     "___KHA~0555~0001", "______~0000~0001"}));
    QCOMPARE(read.value().ownKeys, 16);

    DatabaseConnection from;
    QVERIFY(from.open(first.path()).ok());
    QBuffer exported;
    exported.open(QIODevice::ReadWrite);
    QVERIFY(GedcomExporter(from, ExportOptions{"1.0", false}).exportTo(exported).ok());
    QCOMPARE(EventDates(QString::fromUtf8(exported.data())), EventDates(original));
    exported.seek(0);
    TestDatabase second;
    QVERIFY(ImportInto(second, exported).ok());
    const Tables before = ReadTables(first);
    const Tables after = ReadTables(second);
    QCOMPARE(after.persons, before.persons);
    QCOMPARE(after.links, before.links);
    QCOMPARE(after.marriages, before.marriages);
    QCOMPARE(OwnRows(second), OwnRows(first));
    QCOMPARE(first.column("select count(*) from matrimoni"), QStringList{"8"});
}

// Each form a date known in part takes, on a birth, a death and a marriage: kept whole and
// written back character for character.
void GedcomRoundTripTest::everyDateFormComesBackAsWritten() {
    const QStringList forms{"1850",
                            "MAR 1850",
                            "ABT 1850",
                            "EST 1850",
                            "CAL 1850",
                            "BEF 1850",
                            "AFT 1850",
                            "BET 1850 AND 1855",
                            "FROM 1850 TO 1855",
                            "FROM 1850",
                            "TO 1855",
                            "ABT 12 MAR 1850",
                            "BEF 23 JUL 1850",
                            "@#DJULIAN@ 12 MAR 1700",
                            "@#DJULIAN@ 1750/51",
                            "@#DHEBREW@ 5610",
                            "@#DFRENCH R@ 3 VEND 11",
                            "INT 1850 (nel censimento)",
                            "(sconosciuta)",
                            "12 Mar 1850 circa"};
    QString file = "0 HEAD\n1 CHAR UTF-8\n";
    for (int at = 0; at < forms.size(); ++at)
        file += QString(
                    "0 @H%1@ INDI\n1 NAME Ugo /Neri/\n1 SEX M\n1 BIRT\n2 DATE %2\n"
                    "0 @W%1@ INDI\n1 NAME Eva /Neri/\n1 SEX F\n1 DEAT\n2 DATE %2\n"
                    "0 @F%1@ FAM\n1 HUSB @H%1@\n1 WIFE @W%1@\n1 MARR\n2 DATE %2\n")
                    .arg(at)
                    .arg(forms[at]);
    QBuffer original;
    original.setData((file + "0 TRLR\n").toUtf8());
    original.open(QIODevice::ReadOnly);
    TestDatabase db;
    const Result<ImportReport> read = ImportInto(db, original);
    QVERIFY2(read.ok(), qPrintable(read.status().description()));
    QCOMPARE(read.value().datesInPart, 3 * forms.size());
    QCOMPARE(db.column("select count(*) from anagrafica where datanasc is not null or "
                       "datamorte is not null union all select count(*) from matrimoni where "
                       "Data is not null"),
             QStringList({"0", "0"}));

    DatabaseConnection from;
    QVERIFY(from.open(db.path()).ok());
    QBuffer exported;
    exported.open(QIODevice::ReadWrite);
    QVERIFY(GedcomExporter(from, ExportOptions{"1.0", false}).exportTo(exported).ok());
    QCOMPARE(EventDates(QString::fromUtf8(exported.data())), EventDates(file));
}

QTEST_GUILESS_MAIN(GedcomRoundTripTest)
#include "GedcomRoundTripTest.moc"
