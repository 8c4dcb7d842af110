// Every failure the store reports reaches the user as the description of a message box: each
// one must be Italian and say what the user can do about it.
#include "Advice.h"
#include "TestDatabase.h"
#include "store/Database.h"
#include "store/DatabaseConnection.h"

#include <QTemporaryDir>
#include <QTest>

namespace radici {

class MessagesTest : public QObject {
    Q_OBJECT

private slots:
    void engineFailuresSayWhatToDo_data();
    void engineFailuresSayWhatToDo();
    void theStoresOwnFailuresSayWhatToDo();
};

void MessagesTest::engineFailuresSayWhatToDo_data() {
    QTest::addColumn<int>("code");
    // Every primary result code of the engine, and the extended ones a user may meet.
    for (int code = 1; code <= 28; ++code) QTest::addRow("code %d", code) << code;
    for (const int extended :
         {266 /* read */, 522 /* short read */, 778 /* write */, 1802 /* fsync */,
          776 /* read-only rollback */, 1032 /* read-only moved */, 526 /* is a folder */,
          517 /* busy snapshot */, 261 /* busy recovery */, 1811 /* trigger */, 2067 /* unique */,
          787 /* foreign key */})
        QTest::addRow("extended %d", extended) << extended;
}

void MessagesTest::engineFailuresSayWhatToDo() {
    QFETCH(int, code);
    const Status failure = EngineFailure(nullptr, code);
    QVERIFY(!failure.ok());
    QVERIFY2(GivesAdvice(failure.description()), qPrintable(failure.description()));
}

void MessagesTest::theStoresOwnFailuresSayWhatToDo() {
    QTemporaryDir emptyFolder;
    QList<Status> failures;
    failures.append(Database::open(emptyFolder.filePath(DatabaseConnection::FileName),
                                   DatabaseConnection::Password, Database::Mode::OpenExisting)
                        .status());
    TestDatabase withoutMarriages;
    withoutMarriages.execute(QStringLiteral("drop table matrimoni"));
    DatabaseConnection connection;
    failures.append(connection.open(withoutMarriages.path()));
    failures.append(connection.relazioni().upsert({"A", "B", Male}));  // never opened

    TestDatabase database;
    QVERIFY(connection.open(database.path()).ok());
    Person nobody;
    nobody.idrecord = QStringLiteral("NOBODY01/01/2000");
    failures.append(connection.anagrafica().rewrite(nobody));

    for (const Status& failure : failures) {
        QVERIFY(!failure.ok());
        QVERIFY2(GivesAdvice(failure.description()), qPrintable(failure.description()));
    }
}

}  // namespace radici

QTEST_MAIN(radici::MessagesTest)
#include "MessagesTest.moc"
