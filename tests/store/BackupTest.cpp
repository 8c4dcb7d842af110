#include "TestDatabase.h"
#include "store/Backup.h"
#include "store/DatabaseConnection.h"

#include <QDir>
#include <QTest>

namespace radici {

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void copyOpensWithThePasswordAndHoldsTheSameRows();
    void existingFilesAndTheDatabaseItselfAreNeverLost();
};

// Taken while the program's connection is open: the copy is a database of its own.
void BackupTest::copyOpensWithThePasswordAndHoldsTheSameRows() {
    TestDatabase database;
    const QString father = database.addPerson("SALA", "PIETRO", "01/01/1900");
    const QString mother = database.addPerson("SALA", "ROSA", "02/02/1902", Female);
    database.link(father, mother, Male);
    database.marry(father, mother, "1925-03-03");
    DatabaseConnection program;
    QVERIFY(program.open(database.path()).ok());

    const QString copyPath = database.folder() + "/copia.mdb";
    const Status copied =
        BackupDatabase(*program.database(), copyPath, DatabaseConnection::Password);
    QVERIFY2(copied.ok(), qPrintable(copied.description()));
    QVERIFY(!FileBytes(copyPath).contains("SQLite format 3"));
    DatabaseConnection copy;
    QVERIFY(copy.open(copyPath).ok());
    QCOMPARE(copy.anagrafica().seek(mother).value(), program.anagrafica().seek(mother).value());
    QCOMPARE(copy.relazioni().childrenOf(father).value(),
             program.relazioni().childrenOf(father).value());
    QCOMPARE(copy.matrimoni().ofHusband(father).value(),
             program.matrimoni().ofHusband(father).value());
}

void BackupTest::existingFilesAndTheDatabaseItselfAreNeverLost() {
    TestDatabase database;
    database.addPerson("SALA", "PIETRO", "01/01/1900");
    DatabaseConnection program;
    QVERIFY(program.open(database.path()).ok());
    const Database& source = *program.database();
    const QString existing = database.folder() + "/vecchia.mdb";
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("vecchia") == 7);
    file.close();
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
        BackupDatabase(source, existing, DatabaseConnection::Password, ExistingCopy::Replace).ok());
    DatabaseConnection replaced;
    QVERIFY(replaced.open(existing).ok());
    QCOMPARE(QDir(database.folder()).entryList(QDir::Files),
             QStringList({"radicidb.mdb", "vecchia.mdb"}));
}

}  // namespace radici

QTEST_MAIN(radici::BackupTest)
#include "BackupTest.moc"
