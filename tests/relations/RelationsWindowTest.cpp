#include "Driver.h"
#include "TestDatabase.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QListWidget>
#include <QRadioButton>
#include <QTest>

using namespace radici;

namespace {

// The window over a file where LEONI LUCA has a father, a mother, a half-brother, a wife and a
// son; each person is found alone in the registry window by the surname.
struct Relations {
    Relations() {
        const QString luca = db.addPerson("LEONI", "LUCA", "07/07/1978");
        const QString bruno = db.addPerson("BIANCHI", "BRUNO", "01/01/1950");
        const QString clara = db.addPerson("CONTI", "CLARA", "02/02/1952", Female);
        const QString ezio = db.addPerson("ESPOSITO", "EZIO", "03/03/1980");
        const QString olga = db.addPerson("ORSI", "OLGA", "04/04/1979", Female);
        const QString dino = db.addPerson("DORIA", "DINO", "05/05/2005");
        db.addPerson("GALLI", "GINA", "06/06/1960", 2);
        for (const QString& child : {luca, ezio}) db.link(bruno, child, Male);
        db.link(clara, luca, Female);
        db.link(luca, dino, Male);
        db.marry(luca, olga, "2004-09-18");
        if (!context.connection.open(db.path()).ok()) qFatal("cannot open the database");
        window.show();
    }

    // "-" leaves the registry window without a choice.
    void choose(const char* button, const QString& surname) {
        toolkit.onNextModal(surname == "-" ? CancelRegistry() : ChooseInRegistry(surname));
        Click(window, button);
    }
    bool checked(const char* option) {
        return static_cast<QRadioButton&>(Control(window, option)).isChecked();
    }
    QString frames() {
        QString enabled;
        for (const char* frame : {"Frame3", "Frame4", "Frame5", "Frame6"})
            enabled += Control(window, frame).isEnabled() ? '1' : '0';
        return enabled;
    }
    int selected(const char* list) { return window.findChild<QListWidget*>(list)->currentRow(); }

    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RelationsWindow window{context};
};

}  // namespace

class RelationsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheFamilyTheEditorHolds() {
        Relations relations;
        QCOMPARE(relations.frames(), "0000");
        QVERIFY(!relations.checked("sesso_0") && !relations.checked("sesso_1"));
        relations.choose("Command6", "LEONI");
        QWidget& window = relations.window;
        QCOMPARE(Shown(window, {"Label20", "Label24", "Label25", "Label28", "Label16", "Label12",
                                "Label10", "Label17", "Label19", "Label32"}),
                 "LEOLUC07/07/1978|LEONI|LUCA|07/07/1978|BIABRU01/01/1950|BIANCHI|BRUNO|"
                 "01/01/1950|CONCLA02/02/1952|CONTI");
        QCOMPARE(Rows(window, {"List12", "List11", "List10", "List9", "List13"}),
                 "ESPEZI03/03/1980|ESPOSITO|EZIO|03/03/1980|Acquisito");
        QCOMPARE(Rows(window, {"List1", "List2", "List3", "List7"}),
                 "ORSOLG04/04/1979|ORSI|OLGA|18/09/2004");
        QCOMPARE(Rows(window, {"List4", "List5", "List6", "List8"}),
                 "DORDIN05/05/2005|DORIA|DINO|05/05/2005");
        QCOMPARE(relations.frames(), "1111");
        QVERIFY(relations.checked("sesso_0"));
        // The slot keeps what the registry window handed over, not a relative read on the way.
        QCOMPARE(relations.context.selectedPersonKey.trimmed(), "LEOLUC07/07/1978");
        QCOMPARE(Control(window, "sesso_0").width(), 73);  // 1095 twips

        // Every choice goes through one registry window: the latest search is still there.
        relations.toolkit.onNextModal([](QDialog& registry) {
            Click(registry, "trova_0");
            QCOMPARE(Shown(registry, {"Label22"}), "LEONI");
        });
        Click(window, "Command3");
        QCOMPARE(Shown(window, {"Label13"}), "");

        // A row clicked is selected in every list of its group, and only there.
        relations.choose("Command9", "ESPOSITO");
        ClickRow(window, "List6", 1);
        QCOMPARE(QList<int>({relations.selected("List4"), relations.selected("List5"),
                             relations.selected("List8"), relations.selected("List1")}),
                 QList<int>({1, 1, 1, -1}));
        Click(window, "Command7");  // added, never stored: no question
        QCOMPARE(Rows(window, {"List5"}), "DORIA");
        QCOMPARE(relations.selected("List4"), -1);

        // The person shown is refused as a parent; a registry window left without a choice
        // changes nothing.
        relations.choose("Command1", "LEONI");
        relations.choose("Command2", "-");
        QCOMPARE(relations.toolkit.texts.join('/'), "Attenzione... dato non duplicabile");
        QCOMPARE(Shown(window, {"Label16", "Label19"}), "BIABRU01/01/1950|CONCLA02/02/1952");

        // A person gone before being loaded leaves the shown one, whose rows are not read twice.
        relations.toolkit.onNextModal([&](QDialog& registry) {
            ChooseInRegistry("GALLI")(registry);
            relations.db.execute("delete from anagrafica where nome = 'GINA'");
        });
        Click(window, "Command6");
        QCOMPARE(relations.toolkit.texts.last(), "Errore di lettura del record");
        QCOMPARE(Rows(window, {"List1"}), "ORSOLG04/04/1979");
    }

    // Every button reaches the editor, and what the editor holds is shown.
    void clicksReachTheEditor() {
        Relations relations;
        QWidget& window = relations.window;
        relations.choose("Command6", "LEONI");
        relations.choose("Command3", "GALLI");
        QCOMPARE(Shown(window, {"Label13", "Label22", "Label23"}), "GALGIN06/06/1960|GALLI|GINA");
        Retype(window, "Text9", "1/2/2010");
        Click(window, "Command10");
        QCOMPARE(Rows(window, {"List2", "List7"}), "ORSI|18/09/2004, GALLI|1/2/2010");
        QCOMPARE(Shown(window, {"Label13"}), "");
        relations.choose("Command12", "BIANCHI");
        QCOMPARE(Rows(window, {"List5"}), "DORIA, ESPOSITO");
        Click(window, "sesso_1");
        Click(window, "Command4");
        QCOMPARE(relations.db.marriages(),
                 "LEOLUC07/07/1978+ORSOLG04/04/1979@2004-09-18 "
                 "ORSOLG04/04/1979+LEOLUC07/07/1978@2004-09-18 "
                 "GALGIN06/06/1960+LEOLUC07/07/1978@2010-02-01");
        QCOMPARE(relations.frames(), "0000");

        // A sex other than 0 and 1 selects neither option; "Annulla" keeps the candidate and
        // the typed date.
        relations.choose("Command6", "GALLI");
        QVERIFY(!relations.checked("sesso_0") && !relations.checked("sesso_1"));
        relations.choose("Command3", "ORSI");
        Click(window, "Command8");
        QCOMPARE(Shown(window, {"Label20", "Label24", "Label13", "Text9"}),
                 "||ORSOLG04/04/1979|1/2/2010");
        QCOMPARE(relations.frames(), "0000");

        relations.choose("Command6", "DORIA");
        relations.toolkit.answer(true);
        relations.toolkit.answer(true);
        Click(window, "Command5");
        QCOMPARE(relations.db.person("DORDIN05/05/2005"), "");
        QCOMPARE(Shown(window, {"Label20"}), "");
        QCOMPARE(relations.toolkit.texts.size(), 2);
    }
};

QTEST_MAIN(RelationsWindowTest)
#include "RelationsWindowTest.moc"
