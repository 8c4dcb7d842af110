#include "TestDatabase.h"
#include "ToolRun.h"
#include "store/DatabaseConnection.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

namespace radici {

namespace {

const QString EveryCommand =
    QStringLiteral("init, demo, export, backup, import, chart e parentela");

// A staging file as a run of radici-db with that process id on that computer leaves it.
QString Leftover(const QString& folder, qint64 pid, const QByteArray& host, const QString& name) {
    return WriteFile(
        folder + QStringLiteral("/.radici-tmp-%1-%2-%3").arg(pid).arg(host.toHex(), name), "mezzo");
}

}  // namespace

class ToolCommandsTest : public QObject {
    Q_OBJECT

private slots:

    // A command makes only a new file, which the program opens; a bad command line or a missing
    // database writes nothing. Either way one line says what happened.
    void makesOnlyNewFilesTheProgramOpens_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("persons");   // in radicidb.mdb after, -1 when it is not a database
        QTest::addColumn<QString>("said");  // in the one line written
        const QString cannotOpen = "impossibile aprire il database";
        QTest::newRow("init") << QStringList{"init"} << ToolSucceeded << 0
                              << "radicidb.mdb, con le tabelle di Radici per le date note solo "
                                 "in parte: radici_date_persone e radici_date_matrimoni.";
        QTest::newRow("demo") << QStringList{"demo", "radicidb.mdb"} << ToolSucceeded << 19
                              << "famiglia di esempio";
        QTest::newRow("init over a file")
            << QStringList{"init", "albero.txt"} << ToolFailed << -1 << "esiste già";
        // The system's own words are English: each refusal is said in Italian.
        QTest::newRow("missing folder")
            << QStringList{"init", "manca/radicidb.mdb"} << ToolFailed << -1 << "non esiste";
        QTest::newRow("a folder") << QStringList{"init", "nuova/"} << ToolFailed << -1
                                  << "è una cartella";
        QTest::newRow("long name")
            << QStringList{"init", QString(300, 'x')} << ToolFailed << -1 << "troppo lungo";
        QTest::newRow("two files")
            << QStringList{"init", "a.mdb", "b.mdb"} << ToolMisused << -1 << "al più un nome";
        QTest::newRow("no command") << QStringList{} << ToolMisused << -1 << EveryCommand;
        QTest::newRow("unknown command")
            << QStringList{"crea"} << ToolMisused << -1 << EveryCommand;
        QTest::newRow("unknown option")
            << QStringList{"export", "--tutto", "c.ged"} << ToolMisused << -1 << "--tutto";
        QTest::newRow("import, private")
            << QStringList{"import", "--private", "a.ged"} << ToolMisused << -1 << "--private";
        QTest::newRow("export without file")
            << QStringList{"export"} << ToolMisused << -1 << "export";
        QTest::newRow("chart, both directions")
            << QStringList{"chart", "--ancestors", "2", "--descendants", "2", "K", "a.svg"}
            << ToolMisused << -1 << "entrambi";
        QTest::newRow("chart, 13 generations")
            << QStringList{"chart", "--ancestors", "13", "K", "a.svg"} << ToolMisused << -1
            << "1 a 12";
        QTest::newRow("parentela, one key")
            << QStringList{"parentela", "K"} << ToolMisused << -1 << "parentela";
        QTest::newRow("chart, unknown format")
            << QStringList{"chart", "K", "a.txt"} << ToolMisused << -1 << ".svg";
        QTest::newRow("export, no database")
            << QStringList{"export", "c.ged"} << ToolFailed << -1 << cannotOpen;
        QTest::newRow("backup, no database")
            << QStringList{"backup", "c.mdb"} << ToolFailed << -1 << cannotOpen;
        QTest::newRow("chart, no database")
            << QStringList{"chart", "K", "a.svg"} << ToolFailed << -1 << cannotOpen;
    }

    void makesOnlyNewFilesTheProgramOpens() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(int, persons);
        QFETCH(QString, said);
        QTemporaryDir folder;
        const QByteArray precious = "un albero raccolto in trent'anni";
        WriteFile(folder.filePath("albero.txt"), precious);
        const ToolRun run = RunTool(arguments, folder.path());
        QCOMPARE(run.exitCode, exitCode);
        // One line, on the output when the file was made, else on the error output.
        const QString& line = exitCode == ToolSucceeded ? run.out : run.err;
        QCOMPARE(line.count(u'\n'), 1);
        QVERIFY((exitCode == ToolSucceeded ? run.err : run.out).isEmpty());
        QVERIFY2(line.contains(said) && !line.contains(u'('), qPrintable(line));
        QCOMPARE(PersonsIn(folder.filePath(DatabaseConnection::FileName)), persons);
        if (persons >= 0) {
            DatabaseConnection made;
            QVERIFY(made.open(folder.filePath(DatabaseConnection::FileName)).ok());
            QCOMPARE(made.datesInPart().exists().value(), arguments[0] == "init");
        }
        QCOMPARE(FileBytes(folder.filePath("albero.txt")), precious);
        QCOMPARE(QDir(folder.path(), {}, QDir::Name,
                      QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                     .count(),
                 persons < 0 ? 1u : 2u);
    }

    void exportWritesTheTreeReportsOdditiesAndNeverOverwrites() {
        TestDatabase database;
        const QString living = database.addPerson("BRUNO", "ALDO", "03/02/1990");
        database.link("MANCANTE", living, Male);
        const ToolRun whole = RunTool({"export", "albero.ged"}, database.folder());
        QCOMPARE(whole.exitCode, ToolSucceeded);
        QVERIFY2(whole.out.startsWith("Persone esportate: 1; famiglie: 0; collegamenti "
                                      "genitore-figlio: 0; matrimoni: 0."),
                 qPrintable(whole.out));
        QCOMPARE(whole.err.count('\n'), 1);
        QVERIFY(whole.err.startsWith("radici-db: Il collegamento tra il genitore \"MANCANTE\""));
        const QByteArray written = FileBytes(database.folder() + "/albero.ged");
        QVERIFY(written.startsWith("0 HEAD\n1 SOUR RADICI\n") && written.endsWith("\n0 TRLR\n") &&
                written.contains(living.toUtf8()));

        const ToolRun again =
            RunTool({"export", "--private", database.path(), "albero.ged"}, database.folder());
        QCOMPARE(again.exitCode, ToolFailed);
        QVERIFY(again.err.contains("esiste già"));
        QCOMPARE(FileBytes(database.folder() + "/albero.ged"), written);
        const ToolRun hidden =
            RunTool({"export", database.path(), "riservato.ged", "--private"}, database.folder());
        QCOMPARE(hidden.exitCode, ToolSucceeded);
        QVERIFY(!FileBytes(database.folder() + "/riservato.ged").contains(living.toUtf8()));
    }

    // Four generations of ancestors unless asked otherwise; a kinship is one line for each
    // relationship with the common ancestors, none found is an answer too; an unknown key is a
    // failure naming it.
    void drawsAChartAndNamesAKinship() {
        QTemporaryDir folder;
        QCOMPARE(RunTool({"demo"}, folder.path()).exitCode, ToolSucceeded);
        const QString out = folder.filePath("noe.svg");
        QCOMPARE(RunTool({"chart", "ROSNOÈ25/12/1984", out}, folder.path()).exitCode,
                 ToolSucceeded);
        QCOMPARE(QString::fromUtf8(FileBytes(out)).count("<path"), 7);
        const QString couple = folder.filePath("coppia.svg");
        QCOMPARE(RunTool({"chart", "--descendants", "1", "ROSGIU12/03/1888", couple}, folder.path())
                     .exitCode,
                 ToolSucceeded);
        QCOMPARE(QString::fromUtf8(FileBytes(couple)).count("<path"), 2);
        const ToolRun nobody = RunTool({"chart", "ROSNES01/01/1900", out}, folder.path());
        QCOMPARE(nobody.exitCode, ToolFailed);
        QVERIFY(nobody.err.contains("ROSNES01/01/1900"));
        const ToolRun kin =
            RunTool({"parentela", "ROSNOÈ25/12/1984", "BIAMAR25/07/1891"}, folder.path());
        QCOMPARE(kin.out,
                 "bisnonna, parente di 3° grado in linea retta; antenato comune: MARIA "
                 "BIANCHI (BIAMAR25/07/1891)\n");
        QCOMPARE(RunTool({"parentela", "GALTER12/02/1944", "FERELE17/04/1924"}, folder.path()).out,
                 "nessuna parentela trovata\n");
        const ToolRun stranger =
            RunTool({"parentela", "ROSNOÈ25/12/1984", "ROSNES01/01/1900"}, folder.path());
        QVERIFY(stranger.exitCode == ToolFailed && stranger.err.contains("\"ROSNES01/01/1900\"") &&
                stranger.out.isEmpty());
    }

    void helpListsEveryCommand() {
        const ToolRun help = RunTool({"--help"});
        QCOMPARE(help.exitCode, ToolSucceeded);
        for (const char* usage :
             {"init [file]", "demo [file]", "export [--private] [file] albero.ged",
              "backup [file] copia.mdb", "import [--dry-run] file.ged [file]",
              "chart [--ancestors N | --descendants N] chiave"})
            QVERIFY2(help.out.contains(usage), usage);
    }

    void filesAppearWholeAndOnlyLeftoversOfEndedRunsGo() {
        TestDatabase database;
        const QString key = database.addPerson("BRUNO", "ALDO", "03/02/1990");
        const QString folder = database.folder();
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QString dead = Leftover(folder, EndedProcess(), host, "copia.mdb");
        const QStringList kept{Leftover(folder, QCoreApplication::applicationPid(), host, "a.mdb"),
                               Leftover(folder, EndedProcess(), "altro-computer", "b.mdb")};
        WriteFile(folder + "/albero.svg", "mio");

        const ToolRun chart = RunTool({"chart", key, "albero.svg"}, folder);
        QCOMPARE(chart.exitCode, ToolFailed);
        QVERIFY(chart.err.contains("esiste già"));
        QCOMPARE(FileBytes(folder + "/albero.svg"), QByteArray("mio"));
        for (int exitCode : {ToolSucceeded, ToolFailed})
            QCOMPARE(RunTool({"backup", "copia.mdb"}, folder).exitCode, exitCode);
        QVERIFY(!QFile::exists(dead));
        for (const QString& other : kept) QCOMPARE(FileBytes(other), QByteArray("mezzo"));
        QCOMPARE(RunTool({"import", "nessuno.ged", "nuovo.mdb"}, folder).exitCode, ToolFailed);
        QDir listing(folder, {}, QDir::Name, QDir::Files | QDir::Hidden);
        QCOMPARE(listing.entryList().size(), 5);  // radicidb.mdb, copia.mdb, albero.svg, kept
        QCOMPARE(PersonsIn(folder + "/copia.mdb"), 1);
    }
};

}  // namespace radici

QTEST_MAIN(radici::ToolCommandsTest)
#include "ToolCommandsTest.moc"
