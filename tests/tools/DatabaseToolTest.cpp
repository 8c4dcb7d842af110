#include "store/DatabaseConnection.h"
#include "tools/DatabaseTool.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace radici;

class DatabaseToolTest : public QObject {
    Q_OBJECT

private slots:
    void makesOnlyNewFilesTheProgramOpens_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("file");  // radicidb.mdb before; "" for none
        QTest::addColumn<int>("persons");   // found after, -1 when it is not a database
        const QString precious = "un albero raccolto in trent'anni";
        QTest::newRow("init") << QStringList{"init"} << ToolSucceeded << "" << 0;
        QTest::newRow("demo") << QStringList{"demo", "radicidb.mdb"} << ToolSucceeded << "" << 19;
        QTest::newRow("init over a file") << QStringList{"init"} << ToolFailed << precious << -1;
        QTest::newRow("demo over a file") << QStringList{"demo"} << ToolFailed << precious << -1;
        QTest::newRow("missing folder")
            << QStringList{"init", "manca/radicidb.mdb"} << ToolFailed << "" << -1;
        QTest::newRow("two files")
            << QStringList{"init", "a.mdb", "b.mdb"} << ToolMisused << "" << -1;
    }

    void makesOnlyNewFilesTheProgramOpens() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, file);
        QFETCH(int, persons);
        QTemporaryDir folder;
        const QString path = folder.filePath(DatabaseConnection::FileName);
        QFile before(path);
        if (!file.isEmpty())
            QVERIFY(before.open(QIODevice::WriteOnly) && before.write(file.toUtf8()) > 0);
        before.close();
        const QString previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(RunDatabaseTool(QStringList{"radici-db"} + arguments, outStream, errStream),
                 exitCode);
        QDir::setCurrent(previousFolder);
        outStream.flush();
        errStream.flush();
        // One line, on the output when the file was made, else on the error output.
        QCOMPARE((exitCode == ToolSucceeded ? out : err).count(u'\n'), 1);
        QVERIFY((exitCode == ToolSucceeded ? err : out).isEmpty());

        DatabaseConnection connection;
        if (persons >= 0) {
            QVERIFY(connection.open(path).ok());
            QCOMPARE(connection.anagrafica().search(SearchField::Surname, "*").value().count(),
                     persons);
        }
        QVERIFY(!QFile::exists(folder.filePath("manca")));
        QVERIFY(before.open(QIODevice::ReadOnly) || file.isEmpty());
        if (!file.isEmpty()) QCOMPARE(QString::fromUtf8(before.readAll()), file);
    }
};

QTEST_MAIN(DatabaseToolTest)
#include "DatabaseToolTest.moc"
