#include "Driver.h"
#include "TestDatabase.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QMap>
#include <QRegularExpression>
#include <QTest>

using namespace radici;

namespace {

const QString NotEnoughData = QStringLiteral("Non ci sono dati sufficienti");
const QString NotDuplicable = QStringLiteral("Attenzione... dato non duplicabile");
const QString ReadError = QStringLiteral("Errore di lettura del record");
const QString ConfirmRemoval =
    QStringLiteral("Attenzione....\rSe confermi id dato verrà cancellato dal database");
const QString Sure = QStringLiteral(
    "Attenzione....\rSe confermi verranno cancellati tutti i dati relativi a: ALFA - ANNA / "
    "Attenzione....\rSei proprio sicuro?");

void AddRow(const char* name, const QStringList& columns) {
    QTestData& row = QTest::newRow(name);
    for (const QString& column : columns) row << column;
}

// A shown relations window over a file with nine persons, each found alone in the registry by
// the initial of the surname: A ALFA ANNA (F), B BIANCHI BRUNO, C CONTI CLARA (F), D DORIA DINO,
// E ESPOSITO EZIO, F FERRI FABIO, G GALLI GINO, L LEONI LUCA, O ORSI OLGA (F), born on the first
// of January of 1940, 1941 and so on; x has no record. Rows are written and read back as "B>A:M"
// (parent, child, idsesso) and "L+A@1960-10-10" (husband, wife, optional date).
struct Relations {
    explicit Relations(const QString& rows = QString()) {
        int year = 1940;
        for (const char* name :
             {"ALFA ANNA", "BIANCHI BRUNO", "CONTI CLARA", "DORIA DINO", "ESPOSITO EZIO",
              "FERRI FABIO", "GALLI GINO", "LEONI LUCA", "ORSI OLGA"})
            keys[name[0]] =
                db.addPerson(QString(name).section(' ', 0, 0), QString(name).section(' ', 1),
                             QStringLiteral("01/01/%1").arg(year++),
                             QByteArray("ACO").contains(name[0]) ? Female : Male);
        keys['x'] = "XXXXXX01/01/1900";
        for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
            const QString first = keys[row[0].toLatin1()], second = keys[row[2].toLatin1()];
            if (row[1] == '>') db.link(first, second, row.endsWith('F') ? Female : Male);
            if (row[1] == '+') db.marry(first, second, row.section('@', 1));
        }
        if (!context.connection.open(db.path()).ok()) qFatal("cannot open the database");
        // A table lost after opening, so reading it fails.
        for (const QString& row : rows.split(' ').filter("unreadable:"))
            db.execute("alter table " + row.section(':', 1) + " rename to gone");
        window.show();
    }

    // Steps separated by blanks: "yes" answers the next question; "Command1:B" clicks the button
    // and chooses B in the registry window it opens ("-" chooses nobody, "!B" chooses B and then
    // deletes B's record); "List3:2" clicks a row; "Text9:5/7/1960" types; "Command4" clicks;
    // "refuse:delete:matrimoni" makes those writes fail with the message REFUSED.
    void run(const QString& steps) {
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section(':', 0, 0), argument = step.section(':', 1);
            if (name == "yes") {
                toolkit.answer(true);
            } else if (name == "refuse") {
                db.execute("create trigger refuse before " + argument.section(':', 0, 0) + " on " +
                           argument.section(':', 1) + " begin select raise(abort, 'REFUSED'); end");
            } else if (name.startsWith("List")) {
                ClickRow(window, name, argument.toInt());
            } else if (name.startsWith("Text")) {
                Retype(window, name, argument);
            } else {
                if (argument == "-") toolkit.onNextModal(CancelRegistry());
                if (argument.size() == 1 && argument != "-")
                    toolkit.onNextModal(ChooseInRegistry(argument));
                if (argument.startsWith('!'))
                    toolkit.onNextModal([this, argument](QDialog& registry) {
                        ChooseInRegistry(argument.mid(1))(registry);
                        db.execute("delete from anagrafica where idrecord = '" +
                                   keys[argument[1].toLatin1()] + "'");
                    });
                Click(window, name);
                if (toolkit.stepsLeft()) QFAIL("no registry window opened");
            }
        }
    }

    // Relazioni then matrimoni, in row order, keys as their letters.
    QString stored() {
        QString rows = db.links() + u' ' + db.marriages();
        for (auto key = keys.cbegin(); key != keys.cend(); ++key)
            rows.replace(key.value(), QString(QChar::fromLatin1(key.key())));
        static const QRegularExpression noDate("@(?= |$)");
        return rows.replace(":0", ":M").replace(":1", ":F").remove(noDate).trimmed();
    }

    // A refusal's message as REFUSED.
    QString messages() const {
        QStringList texts = toolkit.texts;
        for (QString& text : texts)
            if (text.contains("REFUSED")) text = "REFUSED";
        return texts.join(" / ");
    }

    // The person, the parents, and the rows of marriages, children and siblings.
    QString shown() {
        return Shown(window, {"Label20", "Label24", "Label16", "Label19"}) + '/' +
               Rows(window, {"List1", "List7"}) + '/' + Rows(window, {"List4"}) + '/' +
               Rows(window, {"List12", "List13"});
    }

    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RelationsWindow window{context};
    QMap<char, QString> keys;
};

}  // namespace

class RelationsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void relativesListed_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("listed");  // parents; siblings; marriages; children; messages
        // The parents are read in the order their links were written. A father's children are
        // "Acquisito" only once the mother's are known.
        const QString father = "B>A:M B>D:M B>E:M ", mother = "C>A:F C>D:F C>F:F ";
        AddRow("father's link first",
               {father + mother, "A",
                "BIANCHI|CONTI; DORIA|Naturale, ESPOSITO|Acquisito, FERRI|Naturale; ; ; "});
        AddRow("father only", {father, "A", "BIANCHI|; DORIA|, ESPOSITO|; ; ; "});
        AddRow("mother's link first, duplicates",
               {mother + father + "B>D:M A>G:F A>G:F", "A",
                "BIANCHI|CONTI; DORIA|Naturale, FERRI|Naturale, ESPOSITO|Acquisito; ; "
                "GALLI|01/01/1946; "});
        AddRow("missing records",
               {"x>A:M C>A:F C>x:F x+A L+A@2002-02-02 A>x:F", "A",
                "|CONTI; ; LEONI|02/02/2002; ; " + ReadError + " padre / " + ReadError + " figli"});
        // A table that cannot be read is reported; the passes after it still run.
        const QString unreadable =
            "Errore del database (codice 1): no such table: %1. Riprova; "
            "se l'errore si ripete, chiudi e riapri il programma.";
        AddRow("unreadable links",
               {"L+A unreadable:relazioni", "A", "|; ; LEONI|; ; " + unreadable.arg("relazioni")});
        AddRow("unreadable marriages",
               {"B>A:M A>G:F unreadable:matrimoni", "A",
                "BIANCHI|; ; ; GALLI|01/01/1946; " + unreadable.arg("matrimoni")});
        AddRow("a man's marriages as husband",
               {"L+A@1965-10-10 L+O A+L@1970-11-11", "L", "|; ; ALFA|10/10/1965, ORSI|; ; "});
    }

    void relativesListed() {
        QFETCH(QString, rows);
        QFETCH(QString, shown);
        Relations relations(rows);
        relations.run("Command6:" + shown);
        QTEST(QStringList({Shown(relations.window, {"Label12", "Label32"}),
                           Rows(relations.window, {"List11", "List13"}),
                           Rows(relations.window, {"List2", "List7"}),
                           Rows(relations.window, {"List5", "List8"}), relations.messages()})
                  .join("; "),
              "listed");
        // The slot keeps what the registry window handed over, not a relative read on the way.
        QCOMPARE(relations.context.selectedPersonKey.trimmed(),
                 relations.keys[shown[0].toLatin1()]);
    }

    void actionsThatChangeNothing_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("messages");
        AddRow("own father", {"Command1:A", NotDuplicable});
        AddRow("own spouse", {"Command3:A Command10", NotDuplicable});
        AddRow("marriage date no date", {"Command3:O Text9:31/02/1950 Command10", NotEnoughData});
        // Without the person loaded, the relatives shown would be read a second time.
        AddRow("vanished person", {"Command6:!E", ReadError});
        AddRow("vanished father", {"Command1:!E", ReadError + " padre"});
        AddRow("marriage removal refused",
               {"refuse:delete:matrimoni List1:0 yes Command11", ConfirmRemoval + " / REFUSED"});
        AddRow("child removal refused",
               {"refuse:delete:relazioni List4:0 yes Command7", ConfirmRemoval + " / REFUSED"});
        AddRow("the fourth deletion fails",
               {"refuse:delete:matrimoni yes yes Command5",
                Sure + " / REFUSED / Si è verificato un errore. La procedura è stata annullata"});
    }

    void actionsThatChangeNothing() {
        QFETCH(QString, steps);
        const QString rows = "B>A:M B>D:M C>A:F A>G:F L+A@1960-10-10";
        Relations relations(rows);
        relations.run("Command6:A");
        const QString shown = relations.shown();
        relations.run(steps);
        QTEST(relations.messages(), "messages");
        QCOMPARE(relations.shown(), shown);
        QCOMPARE(relations.stored(), rows);
    }

    void save_data() {
        for (const char* column : {"rows", "steps", "stored"}) QTest::addColumn<QString>(column);
        AddRow("what the window shows, twice",
               {"",
                "Command6:L Command1:B Command2:C Command3:A Text9:5-7-1960 Command10 Command9:D "
                "Command9:E Command4 Command6:L Command4",
                "B>L:M C>L:F L>D:M L>E:M L+A@1960-07-05"});
        AddRow("a marriage from the wife's side",
               {"L+A@1960-10-10", "Command6:A Command4", "L+A@1960-10-10"});
        AddRow("a woman's children", {"", "Command6:A Command9:D Command4", "A>D:F"});
        AddRow("Femmina clicked for a man",
               {"", "Command6:L Command3:O Command10 Command9:D sesso_1 Command4", "L>D:F O+L"});
    }

    void save() {
        QFETCH(QString, rows);
        QFETCH(QString, steps);
        Relations relations(rows);
        relations.run(steps);
        QCOMPARE(relations.messages(), "");
        QTEST(relations.stored(), "stored");
        QCOMPARE(relations.shown(), "|||///");
        QCOMPARE(relations.db.person(relations.keys['L']).section('|', 2, 2), "0");
    }

    // All or nothing: otherwise the father's link would stay written while the cleared window
    // would say the save had succeeded.
    void failedSaveWritesNothingAndKeepsTheWindow() {
        Relations relations("L+O@1959-01-01");
        relations.run(
            "Command6:L Command1:B Command3:A Command10 Command9:D "
            "refuse:insert:matrimoni");
        const QString shown = relations.shown();
        relations.run("Command4");
        QCOMPARE(relations.messages(), "REFUSED");
        QCOMPARE(relations.stored(), "L+O@1959-01-01");
        QCOMPARE(relations.shown(), shown);
        relations.db.execute("drop trigger refuse");
        relations.run("Command4");
        QCOMPARE(relations.stored(), "B>L:M L>D:M L+O@1959-01-01 L+A");
    }

    void removalAndDeletionTakeEveryRowOfThePerson() {
        Relations relations("L+A@1960-10-10 L+A@1961-11-11 L+C L>D:M L>D:M A>D:F B>A:M A+B");
        relations.run("Command6:L List1:0 yes Command11 List4:0 yes Command7");
        QCOMPARE(relations.messages(), ConfirmRemoval + " / " + ConfirmRemoval);
        QCOMPARE(relations.stored(), "A>D:F B>A:M L+C A+B");
        relations.toolkit.texts.clear();
        relations.run("Command6:A yes yes Command5");
        QCOMPARE(relations.messages(), Sure);
        QCOMPARE(relations.stored(), "L+C");
        QCOMPARE(relations.db.person(relations.keys['A']), "");
        QCOMPARE(relations.db.personCount(), 8);
        QCOMPARE(relations.shown(), "|||///");
    }
};

QTEST_MAIN(RelationsWindowTest)
#include "RelationsWindowTest.moc"
