#include "TestDatabase.h"
#include "ToolRun.h"
#include "store/DatabaseConnection.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

namespace radici {

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ExchangeCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void exportWritesTheTreeReportsOdditiesAndNeverOverwrites();
    void backupWritesACopyOnceAndNeverOverwrites();
    void badCommandLinesAndMissingDatabasesWriteNothing_data();
    void badCommandLinesAndMissingDatabasesWriteNothing();
    void filesAppearWholeAndOnlyLeftoversOfEndedRunsGo();
};

void ExchangeCommandsTest::exportWritesTheTreeReportsOdditiesAndNeverOverwrites() {
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
    const QByteArray written = Bytes(database.folder() + "/albero.ged");
    QVERIFY(written.startsWith("0 HEAD\n1 SOUR RADICI\n") && written.contains(living.toUtf8()));

    const ToolRun again =
        RunTool({"export", "--private", database.path(), "albero.ged"}, database.folder());
    QCOMPARE(again.exitCode, ToolFailed);
    QVERIFY(again.err.contains("esiste già"));
    QCOMPARE(Bytes(database.folder() + "/albero.ged"), written);
    const ToolRun hidden =
        RunTool({"export", database.path(), "riservato.ged", "--private"}, database.folder());
    QCOMPARE(hidden.exitCode, ToolSucceeded);
    QVERIFY(!Bytes(database.folder() + "/riservato.ged").contains(living.toUtf8()));
}

void ExchangeCommandsTest::backupWritesACopyOnceAndNeverOverwrites() {
    TestDatabase database;
    const QString key = database.addPerson("BRUNO", "ALDO", "03/02/1990");
    for (int exitCode : {ToolSucceeded, ToolFailed})
        QCOMPARE(RunTool({"backup", database.path(), "copia.mdb"}, database.folder()).exitCode,
                 exitCode);
    DatabaseConnection copy;
    QVERIFY(copy.open(database.folder() + "/copia.mdb").ok());
    QVERIFY(copy.anagrafica().seek(key).value().has_value());
}

void ExchangeCommandsTest::badCommandLinesAndMissingDatabasesWriteNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("export without file") << QStringList{"export"} << ToolMisused;
    QTest::newRow("export, unknown option")
        << QStringList{"export", "--tutto", "c.ged"} << ToolMisused;
    QTest::newRow("export, no database") << QStringList{"export", "c.ged"} << ToolFailed;
    QTest::newRow("backup, no database") << QStringList{"backup", "c.mdb"} << ToolFailed;
}

void ExchangeCommandsTest::badCommandLinesAndMissingDatabasesWriteNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir folder;
    const ToolRun run = RunTool(arguments, folder.path());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty() && run.err.count('\n') == 1);
    QVERIFY(QDir(folder.path()).isEmpty());
}

namespace {

// A staging file as a run of radici-db with that process id on that computer leaves it.
QString Leftover(const QString& folder, qint64 pid, const QByteArray& host, const QString& name) {
    const QString path =
        folder + QStringLiteral("/.radici-tmp-%1-%2-%3").arg(pid).arg(host.toHex(), name);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("mezzo") == 5 ? path : QString();
}

qint64 EndedProcess() {
    QProcess ended;
    ended.start("true");
    const qint64 pid = ended.processId();
    ended.waitForFinished();
    return pid;
}

}  // namespace

void ExchangeCommandsTest::filesAppearWholeAndOnlyLeftoversOfEndedRunsGo() {
    TestDatabase database;
    const QString key = database.addPerson("BRUNO", "ALDO", "03/02/1990");
    const QString folder = database.folder();
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QString dead = Leftover(folder, EndedProcess(), host, "copia.mdb");
    const QStringList kept{Leftover(folder, QCoreApplication::applicationPid(), host, "a.mdb"),
                           Leftover(folder, EndedProcess(), "altro-computer", "b.mdb")};
    QFile picture(folder + "/albero.svg");
    QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write("mio") == 3);
    picture.close();

    const ToolRun chart = RunTool({"chart", key, "albero.svg"}, folder);
    QCOMPARE(chart.exitCode, ToolFailed);
    QVERIFY(chart.err.contains("esiste già"));
    QCOMPARE(Bytes(folder + "/albero.svg"), QByteArray("mio"));
    QCOMPARE(RunTool({"backup", "copia.mdb"}, folder).exitCode, ToolSucceeded);
    QVERIFY(!QFile::exists(dead));
    for (const QString& other : kept) QCOMPARE(Bytes(other), QByteArray("mezzo"));
    QCOMPARE(RunTool({"import", "nessuno.ged", "nuovo.mdb"}, folder).exitCode, ToolFailed);
    QDir listing(folder, {}, QDir::Name, QDir::Files | QDir::Hidden);
    QCOMPARE(listing.entryList().size(), 5);  // radicidb.mdb, copia.mdb, albero.svg, kept
}

}  // namespace radici

QTEST_MAIN(radici::ExchangeCommandsTest)
#include "ExchangeCommandsTest.moc"
