#include "Driver.h"
#include "RawRows.h"
#include "TestDatabase.h"
#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QTest>

namespace radici {
namespace {

const QString AllColumns = QStringLiteral(
    "idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, datamorte, luogomorte, "
    "nazionemorte");

// Values another program wrote: a surname and a place longer than their boxes, dates the program
// cannot read, a sex code beyond 0 and 1, a NUL inside a country.
const QString Foreign = QStringLiteral(
    "insert into anagrafica values ('ROSMAR15/07/1920', 'ROSSI DI SAN GIOVANNI IN PERSICETO "
    "BASSO', 'MARIA', 65536, '15/07/1920', 'SAN GIOVANNI IN PERSICETO', 'ITA' || char(0) || "
    "'LIA', 19201345, 'abc', null)");

struct Registry {
    Registry() {
        db.execute(Foreign);
        QVERIFY(context.connection.open(db.path()).ok());
        window.show();
    }
    void click(const char* name) { Click(window, name); }
    void type(const char* name, const QString& text) { Retype(window, name, text); }
    void search(const QString& text) {
        type("Text1", text);
        click("Command1");
    }
    QStringList rows(const QString& columns) { return RawRows(db, "anagrafica", columns); }

    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RegistryWindow window{context};
};

}  // namespace

class ForeignValuesTest : public QObject {
    Q_OBJECT
private slots:
    void correctionWritesOnlyWhatTheUserChanged();
    void keptResultNeverShowsSomeoneElse();
    void sexOptionChosenByAScreenReaderIsStored();
};

void ForeignValuesTest::correctionWritesOnlyWhatTheUserChanged() {
    Registry r;
    const QStringList before = r.rows(AllColumns);
    r.search("ross");
    r.click("Command3");
    QCOMPARE(r.toolkit.texts.size(), 1);
    for (const char* field : {"Cognome", "Data di nascita", "Comune di nascita",
                              "Nazione di nascita", "Data di morte", "Sesso"})
        QVERIFY2(r.toolkit.texts[0].contains(field), field);
    r.click("Command8");
    QCOMPARE(r.rows(AllColumns), before);

    // One box changed: that column alone is written.
    const QString others = QString(AllColumns).remove(QStringLiteral("luogomorte, "));
    const QStringList othersBefore = r.rows(others);
    r.click("trova_0");
    r.click("Command3");
    r.type("Text7", "Pisa");
    r.click("Command8");
    QCOMPARE(r.rows(others), othersBefore);
    QCOMPARE(r.db.column("select luogomorte from anagrafica"), QStringList{"PISA"});

    // Corrected by another program meanwhile: nothing is written, and the user is told.
    r.toolkit.texts.clear();
    r.click("trova_0");
    r.click("Command3");
    r.db.execute("update anagrafica set nazionemorte = 'SVIZZERA'");
    const QStringList elsewhere = r.rows(AllColumns);
    r.type("Text7", "Roma");
    r.click("Command8");
    QCOMPARE(r.rows(AllColumns), elsewhere);
    QVERIFY(r.toolkit.texts.last().contains("altro programma"));
    QVERIFY(Control(r.window, "Command8").isVisible());
}

// A freed row id goes to the next new person: the kept result must not show them.
void ForeignValuesTest::keptResultNeverShowsSomeoneElse() {
    Registry r;
    r.db.execute(
        "insert into anagrafica (idrecord, cognome, nome, datanasc) values "
        "('ROSANN01/01/1930', 'ROSSI', 'ANNA', '1930-01-01')");
    r.search("ross");
    r.db.execute("delete from anagrafica where nome = 'ANNA'");
    r.db.execute(
        "insert into anagrafica (idrecord, cognome, nome) values "
        "('VERLUC01/01/1950', 'VERDI', 'LUCA')");
    r.click("trova_3");
    QCOMPARE(r.toolkit.texts, QStringList{"Errore di lettura del record"});
    QVERIFY(Shown(r.window, {"Label22"}).isEmpty());
    r.click("Command4");
    QVERIFY(r.context.selectedPersonKey.trimmed().isEmpty());

    // Another program holding the file: the move says so instead of showing nothing.
    r.toolkit.texts.clear();
    r.db.execute("begin exclusive");
    r.click("trova_0");
    r.db.execute("rollback");
    QCOMPARE(r.toolkit.texts.size(), 1);
    QVERIFY(r.toolkit.texts[0].contains("in uso"));
}

void ForeignValuesTest::sexOptionChosenByAScreenReaderIsStored() {
    Registry r;
    r.click("Command5");
    r.type("Text9", "Bianchi");
    r.type("Text2", "Eva");
    r.type("Text3", "01/02/1990");
    QAccessible::queryAccessibleInterface(&Control(r.window, "sesso_1"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    r.click("Command6");
    QCOMPARE(r.db.column("select sesso from anagrafica where nome = 'EVA'"), QStringList{"1"});

    // A screen reader tells each box by its own name.
    QSet<QString> names;
    for (QLineEdit* box : r.window.findChildren<QLineEdit*>())
        names << QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name);
    names.remove(QString());
    QCOMPARE(names.size(), r.window.findChildren<QLineEdit*>().size());
}

}  // namespace radici

QTEST_MAIN(radici::ForeignValuesTest)
#include "ForeignValuesTest.moc"
