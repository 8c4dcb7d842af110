#include "TestDatabase.h"
#include "gedcom/GedcomExporter.h"
#include "store/DatabaseConnection.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <tuple>

namespace radici {

namespace {

const QDate Today(2026, 12, 6);

struct Exported {
    QString text;
    ExportReport report;
    QByteArray bytes;
};

Exported Export(const TestDatabase& database, bool privateMode = false) {
    DatabaseConnection connection;
    if (!connection.open(database.path()).ok()) qFatal("cannot open the test database");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const Result<ExportReport> report =
        GedcomExporter(connection, {QStringLiteral("9.8.7"), privateMode, Today}).exportTo(buffer);
    if (!report.ok()) qFatal("export failed: %s", qPrintable(report.status().description()));
    return {QString::fromUtf8(buffer.data()), report.value(), buffer.data()};
}

// What any reader needs: every line "level [@xref@] TAG [value]" within 255 characters, levels
// that go down by one step at most, and every pointer naming a record of the file.
QString Unsound(const QString& text) {
    static const QRegularExpression line(
        QStringLiteral("^(\\d+) (@[^@ ]+@ )?([A-Z_]+)(?: (@[^@ ]+@)| .*)?$"));
    QSet<QString> records, pointers;
    int level = -1;
    for (const QString& row : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = line.match(row);
        if (!match.hasMatch() || row.size() + 1 > 255) return QStringLiteral("bad line: ") + row;
        if (match.captured(1).toInt() > level + 1) return QStringLiteral("level jump: ") + row;
        level = match.captured(1).toInt();
        if (!match.captured(2).isEmpty()) records.insert(match.captured(2).trimmed());
        if (!match.captured(4).isEmpty()) pointers.insert(match.captured(4));
    }
    pointers.subtract(records);
    if (!pointers.isEmpty()) return QStringLiteral("dangling: ") + pointers.values().join(u' ');
    return text.endsWith(QStringLiteral("\n0 TRLR\n")) ? QString() : QStringLiteral("no TRLR");
}

const QRegularExpression NameParts(QStringLiteral("2 (GIVN|SURN) [^\n]*\n"));

// The lines of one record, from its "0 @xref@" line to the next record.
QString Record(const QString& text, const QString& xref) {
    const qsizetype start = text.indexOf(QStringLiteral("\n0 ") + xref + u' ') + 1;
    return start ? text.mid(start, text.indexOf(QStringLiteral("\n0 "), start) + 1 - start)
                 : QString();
}

const char* const Head =
    "0 HEAD\n1 SOUR RADICI\n2 VERS 9.8.7\n2 NAME Radici\n1 SUBM @U1@\n1 GEDC\n2 VERS 5.5.1\n"
    "2 FORM LINEAGE-LINKED\n1 CHAR UTF-8\n0 @U1@ SUBM\n1 NAME Radici\n";

}  // namespace

class GedcomExportTest : public QObject {
    Q_OBJECT

private slots:

    void familiesEventsAndLongValuesAsExpected() {
        TestDatabase database;
        const QString longPlace = QStringLiteral("SAN GIOVANNI ").repeated(20) + "D'@STA";
        database.addPerson({"ROSMAR12/03/1888", "ROSSI", "MARIO", Male, QDate(1888, 3, 12),
                            "BERGAMO", "ITALIA", QDate(1950, 11, 2), "MILANO", QString()});
        database.addPerson({"BIAANN05/07/1890", "BIANCHI", "ANNA", Female, QDate(1890, 7, 5),
                            QString(), "SVIZZERA", QDate(), QString(), QString()});
        const QString luigi = database.addPerson("ROSSI", "LUIGI", "01/01/1915");
        database.addPerson({"ROSELE03/04/1917", "ROSSI", "ELENA", Female, QDate(1917, 4, 3),
                            longPlace, "ITALIA", QDate(), QString(), QString()});
        const QString carlo =
            database.addPerson("VERDI", "CARLO", "09/09/1920", Male, "01/01/1990");
        const QString gino = database.addPerson("VERDI", "GINO", "07/07/1950");
        database.addPerson({"NERPAO10/10/1918", "NERI", "PAOLA", Female, QDate(1918, 10, 10),
                            "CASA\nDI CAMPAGNA", QString(), QDate(), QString(), QString()});
        const QString dino = database.addPerson("ROSSI", "DINO", "08/08/1940");
        database.marry("ROSMAR12/03/1888", "BIAANN05/07/1890", "1912-06-01");
        database.marry(carlo, "ROSELE03/04/1917");
        for (const QString& child : {QString("ROSELE03/04/1917"), luigi}) {
            database.link("BIAANN05/07/1890", child, Female);
            database.link("ROSMAR12/03/1888", child, Male);
        }
        database.link(carlo, gino, Male);
        database.link(luigi, dino, Male);
        database.link("NERPAO10/10/1918", dino, Female);

        Exported exported = Export(database);
        exported.text.remove(NameParts);  // names are written twice, checked by the round trip
        const QString expected =
            QString(Head) +
            "0 @I1@ INDI\n1 NAME MARIO /ROSSI/\n1 SEX M\n1 BIRT\n2 DATE 12 MAR 1888\n"
            "2 PLAC BERGAMO, ITALIA\n1 DEAT\n2 DATE 2 NOV 1950\n2 PLAC MILANO\n"
            "1 REFN ROSMAR12/03/1888\n1 FAMS @F1@\n"
            "0 @I2@ INDI\n1 NAME ANNA /BIANCHI/\n1 SEX F\n1 BIRT\n2 DATE 5 JUL 1890\n"
            "2 PLAC , SVIZZERA\n1 REFN BIAANN05/07/1890\n1 FAMS @F1@\n"
            "0 @I3@ INDI\n1 NAME LUIGI /ROSSI/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1915\n"
            "1 REFN ROSLUI01/01/1915\n1 FAMC @F1@\n1 FAMS @F4@\n"
            "0 @I4@ INDI\n1 NAME ELENA /ROSSI/\n1 SEX F\n1 BIRT\n2 DATE 3 APR 1917\n"
            "2 PLAC " +
            longPlace.left(245) + "\n3 CONC " +
            QString(longPlace.mid(245) + ", ITALIA").replace("@", "@@") +
            "\n1 REFN ROSELE03/04/1917\n1 FAMC @F1@\n1 FAMS @F2@\n"
            "0 @I5@ INDI\n1 NAME CARLO /VERDI/\n1 SEX M\n1 BIRT\n2 DATE 9 SEP 1920\n1 DEAT\n"
            "2 DATE 1 JAN 1990\n1 REFN VERCAR09/09/1920\n1 FAMS @F2@\n1 FAMS @F3@\n"
            "0 @I6@ INDI\n1 NAME GINO /VERDI/\n1 SEX M\n1 BIRT\n2 DATE 7 JUL 1950\n"
            "1 REFN VERGIN07/07/1950\n1 FAMC @F3@\n"
            "0 @I7@ INDI\n1 NAME PAOLA /NERI/\n1 SEX F\n1 BIRT\n2 DATE 10 OCT 1918\n2 PLAC CASA\n"
            "3 CONT DI CAMPAGNA\n1 REFN NERPAO10/10/1918\n1 FAMS @F4@\n"
            "0 @I8@ INDI\n1 NAME DINO /ROSSI/\n1 SEX M\n1 BIRT\n2 DATE 8 AUG 1940\n"
            "1 REFN ROSDIN08/08/1940\n1 FAMC @F4@\n"
            "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n2 DATE 1 JUN 1912\n1 CHIL @I3@\n"
            "1 CHIL @I4@\n"
            "0 @F2@ FAM\n1 HUSB @I5@\n1 WIFE @I4@\n1 MARR Y\n"
            "0 @F3@ FAM\n1 HUSB @I5@\n1 CHIL @I6@\n"
            "0 @F4@ FAM\n1 HUSB @I3@\n1 WIFE @I7@\n1 CHIL @I8@\n"
            "0 TRLR\n";
        QCOMPARE(exported.text, expected);
        QVERIFY(exported.report.problems.isEmpty());
        QCOMPARE(
            DescribeExport(exported.report),
            "Persone esportate: 8; famiglie: 4; collegamenti genitore-figlio: 7; matrimoni: 2.");
    }

    void privateModeHidesWhatIdentifiesTheLiving() {
        TestDatabase database;
        const QString aldo = database.addPerson("BRUNO", "ALDO", "03/02/1990");
        const QString alba = database.addPerson("BRUNO", "ALBA", "04/04/1992", Female);
        const QString elio = database.addPerson("BRUNO", "ELIO", "01/01/1900", Male, "05/05/1970");
        const QString eva = database.addPerson("BRUNO", "EVA", "06/12/1926", Female);
        database.addPerson({"BRUENZ", "BRUNO", "ENZO", Male, QDate(), "ROMA", QString(), QDate(),
                            QString(), QString()});
        database.marry(aldo, alba, "2015-05-05");
        database.marry(elio, eva, "1945-01-01");
        database.link(elio, aldo, Male);
        // Known in part: born about 1990, so living; born before 1850 (corrected); dead, when not
        // known.
        DatabaseConnection connection;
        QVERIFY(connection.open(database.path()).ok());
        for (const auto& [key, birth, death] :
             {std::tuple{"BRUGIA~1990~0001", "ABT 1990", ""},
              std::tuple{"BRUPIO~1850~0001", "ABT 1840", ""},
              std::tuple{"BRULEA~0000~0001", "", "(sconosciuta)"}}) {
            database.addPerson({key, "BRUNO", QString(key).mid(3, 3), std::nullopt, QDate(), "ROMA",
                                QString(), QDate(), QString(), QString()});
            QVERIFY(connection.datesInPart().setPerson(key, {birth, death}).ok());
        }
        QVERIFY(connection.datesInPart().setPerson("BRUPIO~1850~0001", {"BEF 1850", ""}).ok());

        const QString whole = Export(database).text.remove(NameParts);
        const QString hidden = Export(database, true).text.remove(NameParts);
        QCOMPARE(Unsound(hidden), QString());
        QCOMPARE(Record(hidden, "@I1@"),
                 "0 @I1@ INDI\n1 NAME ALDO /BRUNO/\n1 SEX M\n1 FAMC @F3@\n1 FAMS @F1@\n");
        QCOMPARE(Record(hidden, "@I5@"), "0 @I5@ INDI\n1 NAME ENZO /BRUNO/\n1 SEX M\n");
        // Dead, or born a hundred years ago today: nothing is hidden.
        QCOMPARE(Record(hidden, "@I3@"), Record(whole, "@I3@"));
        QCOMPARE(Record(hidden, "@I4@"), Record(whole, "@I4@"));
        QCOMPARE(Record(hidden, "@F1@"), "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 MARR Y\n");
        QCOMPARE(Record(hidden, "@F2@"), Record(whole, "@F2@"));
        QCOMPARE(Record(hidden, "@I6@"), "0 @I6@ INDI\n1 NAME GIA /BRUNO/\n1 SEX U\n");
        QVERIFY(Record(hidden, "@I7@").contains("1 BIRT\n2 DATE BEF 1850\n2 PLAC ROMA\n"));
        QVERIFY(Record(hidden, "@I8@").contains("1 DEAT\n2 DATE (sconosciuta)\n"));
        QCOMPARE(Export(database).report.problems, QStringList());
    }

    void handEditedRowsAreLeftOutAndReported() {
        TestDatabase database;
        const QString father = database.addPerson("SALA", "PIETRO", "01/01/1900");
        const QString mother = database.addPerson("SALA", "ROSA", "02/02/1902", Female);
        const QString child = database.addPerson("SALA", "UGO", "03/03/1930");
        const QString other = database.addPerson("MORO", "GIANNI", "04/04/1899");
        database.execute(
            "update anagrafica set sesso = 65536, datanasc = '15/07/1920' where "
            "idrecord = '" +
            other + "'");
        database.execute("update anagrafica set datamorte = 'morto nel 1990' where idrecord = '" +
                         child + "'");
        database.link(father, child, Male);
        database.link(father, child, Male);
        database.link("MANCANTE", child, Female);
        database.link(child, "ASSENTE", Male);
        database.link(mother, mother, Female);
        database.link(other, child, Male);
        database.link(mother, child, 7);
        database.marry(mother, father, "1929-01-01");  // the woman as husband, the pair both ways
        database.marry(father, mother, "primavera 1950");
        database.marry(father, "NESSUNO");

        const Exported exported = Export(database);
        QCOMPARE(Unsound(exported.text), QString());
        QCOMPARE(
            exported.report.problems,
            QStringList({"Il matrimonio tra \"SALPIE01/01/1900\" e \"SALROS02/02/1902\" ha la "
                         "data \"primavera 1950\", che non è una data: è stato esportato senza.",
                         "Il matrimonio tra \"SALPIE01/01/1900\" e \"SALROS02/02/1902\" è "
                         "registrato anche a ruoli invertiti: è stato esportato una volta.",
                         "Il matrimonio tra \"SALPIE01/01/1900\" e \"NESSUNO\" è stato lasciato "
                         "fuori: \"NESSUNO\" non è in anagrafica.",
                         "Il collegamento tra il genitore \"MANCANTE\" e il figlio "
                         "\"SALUGO03/03/1930\" è stato lasciato fuori: \"MANCANTE\" non è in "
                         "anagrafica.",
                         "Il collegamento tra il genitore \"SALUGO03/03/1930\" e il figlio "
                         "\"ASSENTE\" è stato lasciato fuori: \"ASSENTE\" non è in anagrafica.",
                         "Il collegamento tra il genitore \"SALROS02/02/1902\" e il figlio "
                         "\"SALROS02/02/1902\" è stato lasciato fuori: una persona non può "
                         "essere genitore di sé stessa.",
                         "Il collegamento tra il genitore \"SALPIE01/01/1900\" e il figlio "
                         "\"SALUGO03/03/1930\" è ripetuto: è stato esportato una volta.",
                         "Il collegamento tra il genitore \"MORGIA04/04/1899\" e il figlio "
                         "\"SALUGO03/03/1930\" è stato lasciato fuori: il figlio ha già il "
                         "padre \"SALPIE01/01/1900\".",
                         "Il collegamento tra il genitore \"SALROS02/02/1902\" e il figlio "
                         "\"SALUGO03/03/1930\" ha idsesso 7: è stato esportato come legame con "
                         "la madre.",
                         "La persona \"SALUGO03/03/1930\" ha la data di morte \"morto nel "
                         "1990\", che non è una data: è stata esportata senza.",
                         "La persona \"MORGIA04/04/1899\" ha la data di nascita \"15/07/1920\", "
                         "che non è una data: è stata esportata senza.",
                         "La persona \"MORGIA04/04/1899\" ha il sesso 65536, né maschio né "
                         "femmina: è stata esportata con sesso sconosciuto.",
                         "La famiglia di \"SALROS02/02/1902\" e \"SALPIE01/01/1900\" ha il "
                         "padre e la madre (o il marito e la moglie) registrati nei ruoli "
                         "contrari al sesso: sono stati esportati secondo il sesso."}));
        QCOMPARE(Record(exported.text, "@F1@"),
                 "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n"
                 "2 DATE 1 JAN 1929\n1 CHIL @I3@\n");
        QVERIFY(Record(exported.text, "@I4@").contains("\n1 SEX U\n"));
        QCOMPARE(exported.text.count("FAM\n"), 1);
        QCOMPARE(exported.report.parentLinks, 2);
        QCOMPARE(exported.report.marriages, 1);
    }

    // Values are copied from the file's bytes only where decoding them would change nothing.
    void storedBytesComeOutAsTheirDecodedText() {
        TestDatabase database;
        const QString key = database.addPerson("ROSSI", "ADA", "01/01/1900");
        database.execute("update anagrafica set cognome = '" + QString("ROSSI ").repeated(50) +
                         "', nome = cast(x'EFBBBF414441' as text), luogonasc = "
                         "cast(x'524F4DC1' as text), nazionenasc = 'ITALIA' where idrecord = '" +
                         key + "'");
        const Exported exported = Export(database);
        QCOMPARE(Unsound(exported.text), QString());
        QVERIFY(exported.bytes.contains("\n1 NAME ADA /ROSSI ROSSI "));
        QVERIFY(exported.bytes.contains("\n2 GIVN ADA\n"));
        QVERIFY(exported.bytes.contains("\n2 PLAC ROM\xEF\xBF\xBD, ITALIA\n"));
    }

    void longKeysAlikeAtTheStartAreToldApart() {
        TestDatabase database;
        const QString father = "CHIAVE SCRITTA A MANO 1";
        database.addPerson({father, "SALA", "PIETRO", Male, QDate(1900, 1, 1), {}, {}, {}, {}, {}});
        database.addPerson({"CHIAVE SCRITTA A MANO 2",
                            "SALA",
                            "UGO",
                            Male,
                            QDate(1930, 1, 1),
                            {},
                            {},
                            {},
                            {},
                            {}});
        database.link(father, "CHIAVE SCRITTA A MANO 2", Male);
        database.link(father, "CHIAVE SCRITTA A MANO 3", Male);
        const Exported exported = Export(database);
        QCOMPARE(Record(exported.text, "@F1@"), "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n");
        QCOMPARE(exported.report.problems.size(), 1);
        QVERIFY(exported.report.problems[0].contains("\"CHIAVE SCRITTA A MANO 3\" non è in"));
    }

    void cancelledExportLeavesNoFileAndKeepsAnOldOne() {
        TestDatabase database;
        database.addPerson("SALA", "PIETRO", "01/01/1900");
        DatabaseConnection connection;
        QVERIFY(connection.open(database.path()).ok());
        const GedcomExporter exporter(connection, {"1.0.0", false, Today});
        const QString path = WriteFile(database.folder() + "/albero.ged", "vecchio");
        for (const QString& target : {path, database.folder() + "/nuovo.ged"}) {
            const Result<ExportReport> cancelled =
                exporter.exportToFile(target, [](std::int64_t, std::int64_t) { return false; });
            QCOMPARE(cancelled.status().number(), ExportCancelled);
        }
        QCOMPARE(FileBytes(path), QByteArray("vecchio"));
        QCOMPARE(QDir(database.folder()).entryList(QDir::Files),
                 QStringList({"albero.ged", "radicidb.mdb"}));
    }
};

}  // namespace radici

QTEST_MAIN(radici::GedcomExportTest)
#include "GedcomExportTest.moc"
