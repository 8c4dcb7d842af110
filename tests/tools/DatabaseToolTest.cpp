#include "store/DatabaseConnection.h"
#include "tools/DatabaseTool.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace radici;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& arguments, const QString& folder) {
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder);
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = RunDatabaseTool(QStringList{"radici-db"} + arguments, out, err);
    out.flush();
    err.flush();
    QDir::setCurrent(previousFolder);
    return run;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("none");
}

}  // namespace

class DatabaseToolTest : public QObject {
    Q_OBJECT

private slots:
    void makesFilesTheProgramOpens_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("persons");
        QTest::newRow("init") << "init" << 0;
        QTest::newRow("demo") << "demo" << 19;
    }

    void makesFilesTheProgramOpens() {
        QFETCH(QString, command);
        QFETCH(int, persons);
        QTemporaryDir folder;
        const ToolRun run = RunTool({command}, folder.path());
        QCOMPARE(run.exitCode, ToolSucceeded);
        const QString path = folder.filePath(DatabaseConnection::FileName);
        QVERIFY2(run.out.contains(path) && run.out.count(u'\n') == 1, qPrintable(run.out));
        DatabaseConnection connection;
        QVERIFY(connection.open(path).ok());
        QCOMPARE(connection.anagrafica().search(SearchField::Surname, "*").value().count(),
                 persons);
    }

    void neverOverwritesNorLeavesAHalfFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("left");
        const QByteArray precious = "un albero raccolto in trent'anni";
        QTest::newRow("init over a file")
            << QStringList{"init", "radicidb.mdb"} << ToolFailed << precious;
        QTest::newRow("demo over a file") << QStringList{"demo"} << ToolFailed << precious;
        QTest::newRow("missing folder")
            << QStringList{"demo", "manca/x.mdb"} << ToolFailed << QByteArray("none");
        QTest::newRow("unknown command") << QStringList{"crea"} << ToolMisused << precious;
        QTest::newRow("two files")
            << QStringList{"init", "radicidb.mdb", "b.mdb"} << ToolMisused << precious;
    }

    void neverOverwritesNorLeavesAHalfFile() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, left);
        QTemporaryDir folder;
        const QString path = folder.filePath(arguments.value(1, DatabaseConnection::FileName));
        if (left != "none") {
            QFile file(folder.filePath(DatabaseConnection::FileName));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(left) == left.size());
        }
        const ToolRun run = RunTool(arguments, folder.path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(
            run.out.isEmpty() && run.err.count(u'\n') == 1 && run.err.startsWith("radici-db: "),
            qPrintable(run.err));
        QCOMPARE(FileBytes(path), left);
    }
};

QTEST_MAIN(DatabaseToolTest)
#include "DatabaseToolTest.moc"
