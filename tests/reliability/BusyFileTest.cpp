// Another connection holds the database file, as another program would: an operation waits a
// bounded time, then says the file is in use; nothing on screen or in the file is lost, and the
// same operation succeeds once the other lets go.
#include "Session.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <QTest>

namespace radici {

class BusyFileTest : public QObject {
    Q_OBJECT

private slots:
    void otherProgramHoldsBackWhatItLocks_data() {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QString>("operation");
        // While it commits, it keeps readers out too; while a write is under way, only writers.
        for (const QString row :
             {"exclusive search", "reserved search", "reserved save", "reserved delete"})
            QTest::newRow(qPrintable(row)) << row.section(' ', 0, 0) << row.section(' ', 1);
    }

    void otherProgramHoldsBackWhatItLocks() {
        QFETCH(QString, lock);
        QFETCH(QString, operation);
        TestDatabase database;
        const QString mario = database.addPerson("ROSSI", "MARIO", "01/02/1950");
        database.marry(mario, database.addPerson("BIANCHI", "ANNA", "03/04/1952", Female));
        database.addPerson("VERDI", "PAOLO", "07/08/1920");
        Session session(database.path());
        const bool search = operation == "search";
        QWidget& window = search ? static_cast<QWidget&>(session.registry) : session.relations;
        window.show();
        if (search) Type(window, "Text1", "ROSSI");
        if (!search) session.chooseWith("Command6", "ROSSI");
        if (operation == "save") session.chooseWith("Command1", "VERDI");
        const auto act = [&] {
            session.toolkit.answer(true);
            session.toolkit.answer(true);
            Click(window, search ? "Command1" : operation == "save" ? "Command4" : "Command5");
        };
        const auto file = [&] {
            return database.links() + u'/' + database.marriages() + u'/' +
                   QString::number(database.personCount());
        };
        const QString before = file();
        const QStringList shown = search ? QStringList{"Text1", "Label22", "Label15"}
                                         : QStringList{"Label20", "Label16", "Label24"};
        const QString screen = Shown(window, shown);

        // The test database's own connection is the other program.
        database.execute(lock == "exclusive" ? "begin exclusive" : "begin immediate");
        QElapsedTimer waited;
        waited.start();
        act();
        const qint64 waitedFor = waited.elapsed();
        if (search && lock == "reserved") {
            QVERIFY2(waitedFor < 1000, qPrintable(QString::number(waitedFor)));
            QCOMPARE(Shown(window, {"Label22"}), "ROSSI");
            return;
        }
        QVERIFY2(session.toolkit.texts.contains("Il database è in uso da un altro programma. "
                                                "Attendi che abbia finito e riprova."),
                 qPrintable(session.toolkit.texts.join(" / ")));
        QVERIFY2(waitedFor >= 1000 && waitedFor < 10000, qPrintable(QString::number(waitedFor)));
        QCOMPARE(Shown(window, shown), screen);
        database.execute("rollback");
        QCOMPARE(file(), before);

        session.toolkit.texts.clear();
        session.toolkit.questions = 0;
        act();
        QCOMPARE(session.toolkit.texts.size(), session.toolkit.questions);
        QVERIFY(search ? Shown(window, {"Label22"}) == "ROSSI" : file() != before);
    }
};

}  // namespace radici

QTEST_MAIN(radici::BusyFileTest)
#include "BusyFileTest.moc"
