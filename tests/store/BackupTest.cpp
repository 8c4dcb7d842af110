#include "TestDatabase.h"
#include "store/Backup.h"
#include "store/DatabaseConnection.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace radici {

class BackupTest : public QObject {
    Q_OBJECT

private slots:

    // Taken while the program's connection is open: the copy is a database of its own. A large
    // file is copied in steps, each one told to the progress.
    void copyOpensWithThePasswordAndHoldsTheSameRows() {
        TestDatabase database;
        database.execute("create table extra (x); insert into extra values (randomblob(3000000))");
        const QString father = database.addPerson("SALA", "PIETRO", "01/01/1900");
        const QString mother = database.addPerson("SALA", "ROSA", "02/02/1902", Female);
        database.link(father, mother, Male);
        database.marry(father, mother, "1925-03-03");
        DatabaseConnection program;
        QVERIFY(program.open(database.path()).ok());

        const QString copyPath = database.folder() + "/copia.mdb";
        QList<int> pages;
        int total = 0;
        const Status copied =
            BackupDatabase(*program.database(), copyPath, DatabaseConnection::Password,
                           ExistingCopy::Refuse, [&](int done, int of) {
                               pages << done;
                               total = of;
                           });
        QVERIFY2(copied.ok(), qPrintable(copied.description()));
        QVERIFY(pages.size() > 2 && pages.last() == total);
        for (qsizetype step = 1; step < pages.size(); ++step)
            QVERIFY(pages[step] > pages[step - 1]);
        DatabaseConnection copy;
        QVERIFY(copy.open(copyPath).ok());
        QCOMPARE(copy.anagrafica().seek(mother).value(), program.anagrafica().seek(mother).value());
        QCOMPARE(copy.relazioni().childrenOf(father).value(),
                 program.relazioni().childrenOf(father).value());
        QCOMPARE(copy.matrimoni().ofHusband(father).value(),
                 program.matrimoni().ofHusband(father).value());
    }

    void existingFilesAndTheDatabaseItselfAreNeverLost() {
        TestDatabase database;
        database.addPerson("SALA", "PIETRO", "01/01/1900");
        DatabaseConnection program;
        QVERIFY(program.open(database.path()).ok());
        const Database& source = *program.database();
        const QString existing = WriteFile(database.folder() + "/vecchia.mdb", "vecchia");
        const QByteArray before = FileBytes(database.path());

        const Status refused = BackupDatabase(source, existing, DatabaseConnection::Password);
        QVERIFY(!refused.ok() && refused.description().contains("esiste già"));
        QCOMPARE(FileBytes(existing), QByteArray("vecchia"));
        for (ExistingCopy mode : {ExistingCopy::Refuse, ExistingCopy::Replace}) {
            const Status overItself =
                BackupDatabase(source, database.path(), DatabaseConnection::Password, mode);
            QVERIFY(!overItself.ok());
        }
        QCOMPARE(FileBytes(database.path()), before);
        QVERIFY(
            BackupDatabase(source, existing, DatabaseConnection::Password, ExistingCopy::Replace)
                .ok());
        QCOMPARE(PersonsIn(existing), 1);
        QCOMPARE(QDir(database.folder()).entryList(QDir::Files),
                 QStringList({"radicidb.mdb", "vecchia.mdb"}));
    }

    void aCopyThatFailsItsCheckIsNotKept_data() {
        QTest::addColumn<QStringList>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a table missing") << QStringList{"drop table matrimoni"} << "matrimoni";
        // The index holds x while its definition says y: the copy holds its pages as they are.
        QTest::newRow("a damaged index")
        << QStringList{"create table extra (x, y); insert into extra values (1, 2), (3, 4); "
                       "create index extray on extra (x); pragma writable_schema = on; "
                       "update sqlite_master set sql = 'CREATE INDEX extray ON extra (y)' "
                       "where name = 'extray'"}
        << "integrità";
    }

    void aCopyThatFailsItsCheckIsNotKept() {
        QFETCH(QStringList, damage);
        QFETCH(QString, reason);
        TestDatabase database;
        for (int day = 1; day <= 20; ++day)
            database.addPerson("SALA", "PIETRO", QString("%1/01/1900").arg(day, 2, 10, QChar('0')));
        for (const QString& sql : damage) database.execute(sql);
        const Result<Database> source = Database::open(
            database.path(), DatabaseConnection::Password, Database::Mode::OpenExisting);
        QVERIFY(source.ok());
        const QByteArray old("vecchia");
        for (ExistingCopy mode : {ExistingCopy::Refuse, ExistingCopy::Replace}) {
            const QString copy =
                database.folder() + (mode == ExistingCopy::Refuse ? "/nuova.mdb" : "/vecchia.mdb");
            if (mode == ExistingCopy::Replace) WriteFile(copy, old);
            const Status copied =
                BackupDatabase(source.value(), copy, DatabaseConnection::Password, mode);
            QVERIFY2(!copied.ok() && copied.description().contains(reason),
                     qPrintable(copied.description()));
            QCOMPARE(FileBytes(copy), mode == ExistingCopy::Refuse ? QByteArray() : old);
        }
        QCOMPARE(QDir(database.folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"radicidb.mdb", "vecchia.mdb"}));
    }

    void aFileThatAppearsMeanwhileIsNeverReplaced() {
        QTemporaryDir folder;
        const QString path = folder.filePath("copia.mdb");
        StagedFile staged(path);
        QVERIFY(staged.created());
        WriteFile(path, "altro");
        const Status named = staged.publish(ExistingCopy::Refuse);
        QVERIFY(!named.ok() && named.description().contains("esiste già"));
        QCOMPARE(FileBytes(path), QByteArray("altro"));
        QVERIFY(staged.publish(ExistingCopy::Replace).ok());
        QCOMPARE(FileBytes(path), QByteArray());
    }
};

}  // namespace radici

QTEST_MAIN(radici::BackupTest)
#include "BackupTest.moc"
