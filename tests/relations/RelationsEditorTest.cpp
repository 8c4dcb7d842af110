#include "TestDatabase.h"
#include "relations/RelationsEditor.h"

#include <QMap>
#include <QRegularExpression>
#include <QTest>
#include <deque>
#include <utility>

using namespace radici;

namespace {

const QString NotEnoughData = QStringLiteral("Non ci sono dati sufficienti");
const QString NotDuplicable = QStringLiteral("Attenzione... dato non duplicabile");
const QString Remove =
    QStringLiteral("Attenzione....\rSe confermi id dato verrà cancellato dal database");

// A family in a real file, each person known by a first name: "ANNA:F OLGA:2" (sex F, or a
// code), born on the first of January of 1940, 1941 and so on. Rows: "BRUNO>ANNA" a link as
// father, "CLARA>ANNA:F" (or ":7") as mother, "LUCA+ANNA@1960-10-10" a marriage. XAVIER has no
// record.
struct Family {
    Family(const QString& persons, const QString& rows) {
        int year = 1940;
        for (const QString& person : persons.split(' ')) {
            const QString name = person.section(':', 0, 0), sex = person.section(':', 1);
            keys[name] = db.addPerson(name, name, QStringLiteral("01/01/%1").arg(year++),
                                      static_cast<SexCode>(sex == "F" ? 1 : sex.toInt()));
        }
        keys["XAVIER"] = "XAVXAV01/01/1900";
        for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
            const QStringList ends = row.split(QRegularExpression("[>+@:]"));
            if (row.contains('>'))
                db.link(keys[ends[0]], keys[ends[1]],
                        static_cast<SexCode>(row.endsWith(":F") ? 1 : ends.value(2).toInt()));
            else
                db.marry(keys[ends[0]], keys[ends[1]], ends.value(2));
        }
        if (!connection.open(db.path()).ok()) qFatal("cannot open the database");
    }

    void show(const QString& name) {
        if (editor.LoadPerson(keys[name])) editor.LoadRelatives();
    }
    // Rows as "NAME date", or "NAME type" for brothers and sisters.
    QString rows(const std::vector<RelativeRow>& list,
                 QString RelativeRow::*column = &RelativeRow::date) const {
        QStringList shown;
        for (const RelativeRow& row : list) shown << (names(row.key) + ' ' + row.*column).trimmed();
        return shown.join(", ");
    }
    QString parent(Parent which) const {
        return editor.parent(which) ? names(editor.parent(which)->key) : QString();
    }
    // Relazioni then matrimoni as written, "BRUNO>ANNA:0 LUCA+ANNA@1960-10-10".
    QString stored() {
        static const QRegularExpression noDate("@(?= |$)");
        return names(db.links() + ' ' + db.marriages()).remove(noDate).trimmed();
    }
    QString names(QString text) const {
        for (auto key = keys.cbegin(); key != keys.cend(); ++key) text.replace(*key, key.key());
        return text;
    }
    QString said() { return std::exchange(messages, {}).join(" / "); }

    TestDatabase db;
    DatabaseConnection connection;
    QMap<QString, QString> keys;
    QStringList messages;  // and questions, in order
    std::deque<bool> yes;  // answers to the next questions; none is No
    RelationsEditor editor{connection,
                           {[this](const QString& text) { messages << text; },
                            [this](const QStringList& lines) {
                                messages << lines.join('\r');
                                const bool answer = !yes.empty() && yes.front();
                                if (!yes.empty()) yes.pop_front();
                                return answer;
                            }}};
};

const QString People = "ANNA:F BRUNO CLARA:F DINO EZIO FABIO GINO LUCA OLGA:F";

}  // namespace

class RelationsEditorTest : public QObject {
    Q_OBJECT

private slots:
    void brothersAndSisters_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("family");  // father; mother; siblings; messages
        const QString father = "BRUNO>ANNA BRUNO>DINO BRUNO>EZIO ",
                      mother = "CLARA>ANNA:F CLARA>DINO:F CLARA>FABIO:F ";
        QTest::newRow("father's link first")
            << father + mother << "BRUNO; CLARA; DINO Naturale, EZIO Acquisito, FABIO Naturale; ";
        QTest::newRow("mother's link first")
            << mother + father << "BRUNO; CLARA; DINO Naturale, FABIO Naturale, EZIO Acquisito; ";
        QTest::newRow("father only") << father << "BRUNO; ; DINO, EZIO; ";
        QTest::newRow("through the mother only, linked twice")
            << "CLARA>ANNA:F CLARA>FABIO:F CLARA>FABIO:F"
            << "; CLARA; FABIO Naturale; ";
        QTest::newRow("two fathers recorded: the last shown, the children of both")
            << "BRUNO>ANNA GINO>ANNA BRUNO>DINO GINO>EZIO GINO>DINO"
            << "GINO; ; DINO, EZIO; ";
        QTest::newRow("missing records; any idsesso but 0 is the mother")
            << "XAVIER>ANNA CLARA>ANNA:7 CLARA>XAVIER:F CLARA>DINO:F"
            << "; CLARA; DINO Naturale; Errore di lettura del record padre";
    }

    void brothersAndSisters() {
        QFETCH(QString, rows);
        Family family(People, rows);
        family.show("ANNA");
        QTEST(
            QStringList({family.parent(Parent::Father), family.parent(Parent::Mother),
                         family.rows(family.editor.siblings(), &RelativeRow::type), family.said()})
                .join("; "),
            "family");
    }

    // Neither a chosen parent nor a second choice empties what the first one brought.
    void chosenParentsAddTheirChildren() {
        Family family(People, "BRUNO>ANNA BRUNO>DINO GINO>EZIO CLARA>EZIO:F");
        family.show("ANNA");
        family.editor.LoadFather(family.keys["GINO"]);
        family.editor.LoadMother(family.keys["CLARA"]);
        family.editor.LoadFather(family.keys["BRUNO"]);
        QCOMPARE(family.parent(Parent::Father), "BRUNO");
        QCOMPARE(family.rows(family.editor.siblings(), &RelativeRow::type),
                 "DINO Acquisito, EZIO Naturale");
        family.editor.LoadMother(family.keys["XAVIER"]);
        QCOMPARE(family.said(), "Errore di lettura del record madre");
        QCOMPARE(family.parent(Parent::Mother), "CLARA");
    }

    void aFatherWithTwoMarriages() {
        Family family(People,
                      "LUCA+ANNA@1960-10-10 LUCA+OLGA LUCA+ANNA@1970-01-01 ANNA+LUCA LUCA+XAVIER "
                      "LUCA>DINO LUCA>DINO LUCA>XAVIER LUCA>EZIO");
        family.show("LUCA");
        QCOMPARE(family.rows(family.editor.marriages()), "ANNA 10/10/1960, OLGA, ANNA 01/01/1970");
        QCOMPARE(family.rows(family.editor.children()), "DINO 01/01/1943, EZIO 01/01/1944");
        QCOMPARE(family.said(), "Errore di lettura del record figli");
        family.show("ANNA");  // a woman's marriages are those naming her as wife
        QCOMPARE(family.rows(family.editor.marriages()), "LUCA 10/10/1960, LUCA 01/01/1970");

        // Both stored rows of the pair go, and with them both list rows.
        family.show("LUCA");
        family.said();
        family.editor.RemoveMarriage(2);
        QCOMPARE(family.said(), Remove);
        family.yes = {true};
        family.editor.RemoveMarriage(2);
        QCOMPARE(family.rows(family.editor.marriages()), "OLGA");
        QCOMPARE(family.stored(),
                 "LUCA>DINO:0 LUCA>DINO:0 LUCA>XAVIER:0 LUCA>EZIO:0 LUCA+OLGA "
                 "ANNA+LUCA LUCA+XAVIER");
    }

    void marriagesAddedByHand() {
        Family family(People, "LUCA+OLGA");
        family.show("LUCA");
        family.editor.AddMarriageRow("");
        family.editor.LoadSpouseCandidate(family.keys["LUCA"]);
        family.editor.AddMarriageRow("");
        family.editor.LoadSpouseCandidate(family.keys["OLGA"]);
        family.editor.AddMarriageRow("");
        QCOMPARE(family.editor.spouseCandidate().key, family.keys["OLGA"]);  // listed: silent
        family.editor.LoadSpouseCandidate(family.keys["ANNA"]);
        family.editor.AddMarriageRow("31/02/1950");
        family.editor.LoadSpouseCandidate(family.keys["XAVIER"]);
        QCOMPARE(family.said(), QStringList({NotEnoughData, NotDuplicable, NotEnoughData,
                                             "Errore di lettura del record coniuge"})
                                    .join(" / "));
        family.editor.AddMarriageRow("5-7-1960");
        QCOMPARE(family.rows(family.editor.marriages()), "OLGA, ANNA 5-7-1960");
        QCOMPARE(family.editor.spouseCandidate(), RelativeRow{});

        // Whether to ask is the table's to say: this row was stored since it was added.
        family.db.marry(family.keys["LUCA"], family.keys["ANNA"]);
        family.editor.RemoveMarriage(1);
        QCOMPARE(family.said(), Remove);
        family.editor.RemoveMarriage(-1);
        QCOMPARE(family.said(), NotEnoughData);
        family.db.execute("delete from matrimoni");
        family.editor.RemoveMarriage(1);
        QCOMPARE(family.said(), "");
        QCOMPARE(family.rows(family.editor.marriages()), "OLGA");
    }

    void childrenAddedImportedRemoved() {
        Family family(People, "LUCA>DINO CLARA>DINO:F CLARA>LUCA:F CLARA>EZIO:F CLARA>FABIO:F");
        family.show("LUCA");
        for (const char* child : {"LUCA", "", "DINO", "XAVIER"})
            family.editor.AddChild(family.keys.value(child));
        QCOMPARE(family.said(), NotDuplicable + " / Errore di lettura del record figli");
        family.editor.ImportChildren(family.keys["CLARA"]);  // Luca is not his own child
        QCOMPARE(family.rows(family.editor.children()),
                 "DINO 01/01/1943, EZIO 01/01/1944, FABIO 01/01/1945");
        family.editor.RemoveChild(1);  // added, never stored: no question
        family.yes = {true};
        family.editor.RemoveChild(0);
        QCOMPARE(family.said(), Remove);
        family.editor.AddChild(family.keys["DINO"]);  // listed no more, so added again
        family.editor.SaveRelations();
        QCOMPARE(family.stored(),
                 "CLARA>DINO:1 CLARA>LUCA:1 CLARA>EZIO:1 CLARA>FABIO:1 LUCA>FABIO:0 LUCA>DINO:0");
    }

    // "Salva" writes what the user added or changed, and nothing read from the file and left
    // alone: a row deleted by another program meanwhile does not come back.
    void savingWritesOnlyChanges() {
        Family family(People, "BRUNO>LUCA CLARA>LUCA:F LUCA+ANNA@1960-10-10 LUCA>DINO");
        family.show("LUCA");
        family.db.execute("delete from relazioni where idfigli = '" + family.keys["DINO"] + "'");
        family.editor.SaveRelations();
        QCOMPARE(family.stored(), "BRUNO>LUCA:0 CLARA>LUCA:1 LUCA+ANNA@1960-10-10");
        QVERIFY(!family.editor.showing());

        // Any choice is a change: the mother chosen as father is written as father.
        family.show("LUCA");
        family.editor.LoadFather(family.keys["CLARA"]);
        family.editor.SaveRelations();
        QCOMPARE(family.stored(), "BRUNO>LUCA:0 CLARA>LUCA:0 LUCA+ANNA@1960-10-10");

        // Another sex writes the marriages in the other roles and keeps the old rows.
        family.db.link(family.keys["LUCA"], family.keys["DINO"], Male);
        family.show("LUCA");
        family.editor.setSex(Female);
        family.editor.SaveRelations();
        QCOMPARE(family.stored(),
                 "BRUNO>LUCA:0 CLARA>LUCA:0 LUCA>DINO:1 LUCA+ANNA@1960-10-10 "
                 "ANNA+LUCA@1960-10-10");
        QCOMPARE(family.said(), "");
    }

    // All or nothing, and the family stays to be saved again.
    void aFailedSaveKeepsEverything() {
        Family family(People, "LUCA+OLGA");
        family.show("LUCA");
        family.editor.LoadFather(family.keys["BRUNO"]);
        family.editor.AddChild(family.keys["DINO"]);
        family.db.execute("delete from anagrafica where nome = 'DINO'");
        family.editor.SaveRelations();
        QVERIFY(family.said().contains(family.keys["DINO"]));
        QCOMPARE(family.stored(), "LUCA+OLGA");
        QCOMPARE(family.rows(family.editor.children()), "DINO 01/01/1943");
        family.editor.ClearRelationsWindow();
        QCOMPARE(family.editor.sex(), std::optional(Male));
        QVERIFY(!family.editor.showing());
    }

    // Whose sex is not known has no sex carried over from the person shown before and is shown
    // as husband and as wife; until a sex is chosen, "Salva" writes the chosen parent only and
    // says why. The stored sex stays unknown.
    void anUnknownSex() {
        Family family("LUCA OLGA BRUNO DINO ANNA:F", "LUCA+OLGA OLGA+ANNA@1950-01-01");
        family.db.execute("update anagrafica set sesso = null where nome = 'OLGA'");
        QVERIFY(family.connection.datesInPart()
                    .setMarriage(family.keys["LUCA"], family.keys["OLGA"], "BEF 1950")
                    .ok());
        family.show("LUCA");
        family.show("OLGA");
        QCOMPARE(family.editor.sex(), std::nullopt);
        QCOMPARE(family.rows(family.editor.marriages()), "ANNA 01/01/1950, LUCA prima del 1950");
        family.editor.LoadFather(family.keys["BRUNO"]);
        family.editor.AddChild(family.keys["DINO"]);
        family.editor.SaveRelations();
        QVERIFY(family.said().startsWith("Attenzione... il sesso della persona non è noto"));
        QCOMPARE(family.stored(), "BRUNO>OLGA:0 LUCA+OLGA OLGA+ANNA@1950-01-01");
        family.editor.setSex(Female);
        family.editor.SaveRelations();
        QCOMPARE(family.stored(), "BRUNO>OLGA:0 OLGA>DINO:1 LUCA+OLGA OLGA+ANNA@1950-01-01");
        QCOMPARE(family.db.column("select sesso from anagrafica where nome = 'OLGA'"), {""});

        // Removed in the role it is stored in, here as husband.
        family.show("OLGA");
        family.yes = {true};
        family.editor.RemoveMarriage(0);
        QCOMPARE(family.stored(), "BRUNO>OLGA:0 OLGA>DINO:1 LUCA+OLGA");
    }

    void deletingAPersonWithEveryLink() {
        Family family(People, "BRUNO>ANNA LUCA+ANNA ANNA>DINO:F LUCA>DINO OLGA+LUCA");
        family.show("ANNA");
        family.yes = {true};
        family.editor.DeletePersonCascade();
        QCOMPARE(family.stored(), "BRUNO>ANNA:0 ANNA>DINO:1 LUCA>DINO:0 LUCA+ANNA OLGA+LUCA");
        family.db.execute(
            "create trigger refuse before delete on matrimoni "
            "begin select raise(abort, 'REFUSED'); end");
        family.said();
        family.yes = {true, true};
        family.editor.DeletePersonCascade();
        const QString refused = family.said();
        QVERIFY(refused.contains("REFUSED") &&
                refused.endsWith(" / Si è verificato un errore. La procedura è stata annullata"));
        QVERIFY(family.editor.showing());
        family.db.execute("drop trigger refuse");
        family.yes = {true, true};
        family.editor.DeletePersonCascade();
        QCOMPARE(family.said(),
                 "Attenzione....\rSe confermi verranno cancellati tutti i dati relativi a: ANNA - "
                 "ANNA / Attenzione....\rSei proprio sicuro?");
        QCOMPARE(family.stored(), "LUCA>DINO:0 OLGA+LUCA");
        QCOMPARE(family.db.personCount(), 8);
        QVERIFY(!family.editor.showing());
    }

    // A table that cannot be read is reported once; the passes after it still run.
    void anUnreadableTable() {
        Family family(People, "BRUNO>ANNA LUCA+ANNA ANNA>DINO:F");
        family.db.execute("alter table matrimoni rename to gone");
        family.show("ANNA");
        QCOMPARE(family.parent(Parent::Father), "BRUNO");
        QCOMPARE(family.rows(family.editor.children()), "DINO 01/01/1943");
        QVERIFY(family.said().contains("no such table: matrimoni"));
    }
};

QTEST_MAIN(RelationsEditorTest)
#include "RelationsEditorTest.moc"
