#include "Driver.h"
#include "RawRows.h"
#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QTest>

namespace radici {

// Another program wrote a surname and a place longer than their boxes, dates the program cannot
// read, a sex code beyond 0 and 1 and a NUL inside a country.
class ForeignValuesTest : public QObject {
    Q_OBJECT
    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RegistryWindow window{context};
    const QString all =
        "idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, "
        "datamorte, luogomorte, nazionemorte";

    void search() {
        Retype(window, "Text1", "ross");
        Click(window, "Command1");
    }

private slots:
    void initTestCase() {
        db.execute(
            "insert into anagrafica values ('ROSMAR15/07/1920', 'ROSSI DI SAN GIOVANNI "
            "IN PERSICETO', 'MARIA', 65536, '15/07/1920', 'SAN GIOVANNI IN PERSICETO', "
            "'ITA' || char(0) || 'LIA', 19201345, 'abc', null)");
        QVERIFY(context.connection.open(db.path()).ok());
        window.show();
    }

    void correctionWritesOnlyWhatTheUserChanged() {
        const QStringList before = RawRows(db, "anagrafica", all);
        const QString others = QString(all).remove("luogomorte, ");
        const QStringList othersBefore = RawRows(db, "anagrafica", others);
        search();
        Click(window, "Command3");
        for (const char* field : {"Cognome", "Data di nascita", "Comune di nascita",
                                  "Nazione di nascita", "Data di morte", "Sesso"})
            QVERIFY2(toolkit.texts.value(0).contains(field), field);
        Click(window, "Command8");
        QCOMPARE(RawRows(db, "anagrafica", all), before);

        search();
        Click(window, "Command3");
        Retype(window, "Text7", "Pisa");
        Click(window, "Command8");
        QCOMPARE(RawRows(db, "anagrafica", others), othersBefore);
        QCOMPARE(db.column("select luogomorte from anagrafica"), QStringList{"PISA"});

        // Corrected by another program meanwhile: nothing is written, and the user is told.
        search();
        Click(window, "Command3");
        db.execute("update anagrafica set nazionemorte = 'SVIZZERA'");
        Retype(window, "Text7", "Roma");
        Click(window, "Command8");
        QCOMPARE(db.column("select luogomorte from anagrafica"), QStringList{"PISA"});
        QVERIFY(toolkit.texts.last().contains("altro programma"));
        Click(window, "Command7");
    }

    // A freed row id goes to the next new person: the kept result must not show them.
    void keptResultNeverShowsSomeoneElse() {
        db.execute(
            "insert into anagrafica (idrecord, cognome, datanasc) values "
            "('ROSANN01/01/1930', 'ROSSI', '1930-01-01')");
        search();
        db.execute(
            "delete from anagrafica where idrecord = 'ROSANN01/01/1930'; insert into "
            "anagrafica (idrecord, cognome) values ('VERLUC01/01/1950', 'VERDI')");
        toolkit.texts.clear();
        Click(window, "trova_3");
        QCOMPARE(toolkit.texts, QStringList{"Errore di lettura del record"});
        QCOMPARE(Shown(window, {"Label22"}), "");

        // Another program holding the file: the move says so instead of showing nothing.
        db.execute("begin exclusive");
        Click(window, "trova_0");
        db.execute("rollback");
        QVERIFY(toolkit.texts.last().contains("in uso"));
    }

    void sexOptionChosenByAScreenReaderIsStored() {
        Click(window, "Command5");
        Type(window, "Text9", "Bianchi");
        Type(window, "Text2", "Eva");
        Type(window, "Text3", "01/02/1990");
        QAccessible::queryAccessibleInterface(&Control(window, "sesso_1"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
        Click(window, "Command6");
        QCOMPARE(db.column("select sesso from anagrafica where cognome = 'BIANCHI'"), {"1"});

        QSet<QString> names;  // a screen reader tells each box by its own name
        for (QLineEdit* box : window.findChildren<QLineEdit*>())
            names << QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name);
        names.remove(QString());
        QCOMPARE(names.size(), window.findChildren<QLineEdit*>().size());
    }
};

}  // namespace radici

QTEST_MAIN(radici::ForeignValuesTest)
#include "ForeignValuesTest.moc"
