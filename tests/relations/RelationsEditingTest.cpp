#include "RelationsHarness.h"

#include <QLineEdit>
#include <QTest>

using namespace radici;

namespace {

const QString NotEnoughData = QStringLiteral("Non ci sono dati sufficienti");
const QString NotDuplicable = QStringLiteral("Attenzione... dato non duplicabile");
const QString ConfirmRemoval =
    QStringLiteral("Attenzione....\rSe confermi id dato verrà cancellato dal database");
const QString Refused = QStringLiteral("scrittura rifiutata");

// Rows of the relation tables as readable texts, so a failing comparison shows them.
QStringList Links(TestDatabase& db) {
    QStringList rows;
    for (const ParentLink& link : db.links()) {
        rows.append(
            QStringLiteral("%1>%2:%3").arg(link.idgenitori, link.idfigli).arg(link.idsesso));
    }
    return rows;
}

QStringList Marriages(TestDatabase& db) {
    QStringList rows;
    for (const Marriage& marriage : db.marriages()) {
        rows.append(QStringLiteral("%1+%2:%3")
                        .arg(marriage.idmarito, marriage.idmoglie,
                             marriage.data.isNull() ? QStringLiteral("null")
                                                    : marriage.data.toString(Qt::ISODate)));
    }
    return rows;
}

QString Link(const QString& parent, const QString& child, SexCode idsesso) {
    return QStringLiteral("%1>%2:%3").arg(parent, child).arg(idsesso);
}

QString Wedding(const QString& husband, const QString& wife, const QString& isoDate) {
    return QStringLiteral("%1+%2:%3").arg(husband, wife, isoDate);
}

// A trigger that makes the matching writes fail for real.
void FailWrites(TestDatabase& db, const QString& trigger, const QString& when) {
    db.execute(QStringLiteral("create trigger %1 %2 begin select raise(abort, '%3'); end")
                   .arg(trigger, when, Refused));
}

// A man and the persons around him; every surname is found alone by the registry search.
struct Cast {
    QString man, wife, other, father, mother, son, daughter;

    explicit Cast(TestDatabase& db) {
        man = db.addPerson("MORO", "MARCO", "01/01/1940", Male);
        wife = db.addPerson("NERI", "NORA", "02/02/1942", Female);
        other = db.addPerson("ORSI", "OLGA", "03/03/1944", Female);
        father = db.addPerson("BIANCHI", "BRUNO", "04/04/1910", Male);
        mother = db.addPerson("CONTI", "CARLA", "05/05/1912", Female);
        son = db.addPerson("DORIA", "DINO", "06/06/1965", Male);
        daughter = db.addPerson("ESPOSITO", "EVA", "07/07/1967", Female);
    }
};

}  // namespace

class RelationsEditingTest : public QObject {
    Q_OBJECT

private slots:
    void addMarriageChecksInOrder();
    void removeMarriage();
    void removeMarriageOfAWoman();
    void failedRemovalKeepsTheRow();
    void addChild();
    void importChildren();
    void removeChild();
    void saveOnAnEmptyWindowWritesNothing();
    void saveWritesWhatTheWindowShows();
    void saveFollowsTheSexOption();
    void savedDatesReloadDayFirst();
    void saveAddsAnotherFatherAndKeepsTheFirst();
    void failedSaveWritesNothingAndKeepsTheWindow();
    void closedConnectionIsReported();
    void deleteAsksTwice();
    void deleteRemovesExactlyThePersonsRows();
    void failedDeleteRollsEverythingBack();
};

void RelationsEditingTest::addMarriageChecksInOrder() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.show("MORO");

    h.click("Command10");  // no candidate
    h.chooseNext("MORO");
    h.click("Command3");
    h.typeDate("31/02/1950");
    h.click("Command10");  // himself, before the invalid date
    h.chooseNext("NERI");
    h.click("Command3");
    h.click("Command10");  // invalid date
    QCOMPARE(h.toolkit.texts(), (QStringList{NotEnoughData, NotDuplicable, NotEnoughData}));
    QVERIFY(h.column("List1").isEmpty());
    QCOMPARE(h.caption("Label13"), cast.wife);
    QCOMPARE(h.caption("Label22"), QStringLiteral("NERI"));

    h.typeDate("5/7/1960");
    h.click("Command10");
    QCOMPARE(h.column("List1"), QStringList{cast.wife});
    QCOMPARE(h.column("List2"), QStringList{"NERI"});
    QCOMPARE(h.column("List3"), QStringList{"NORA"});
    QCOMPARE(h.column("List7"), QStringList{"5/7/1960"});  // as typed
    QVERIFY(h.caption("Label13").isEmpty());
    QVERIFY(h.caption("Label22").isEmpty());
    QVERIFY(h.caption("Label23").isEmpty());
    QCOMPARE(h.control<QLineEdit>("Text9")->text(), QStringLiteral("5/7/1960"));

    h.chooseNext("NERI");
    h.click("Command3");
    h.click("Command10");  // already listed: silent
    QCOMPARE(h.column("List1"), QStringList{cast.wife});
    QCOMPARE(h.caption("Label13"), cast.wife);

    h.chooseNext("ORSI");
    h.click("Command3");
    h.control<QLineEdit>("Text9")->clear();
    h.click("Command10");
    QCOMPARE(h.column("List1"), (QStringList{cast.wife, cast.other}));
    QCOMPARE(h.column("List7"), (QStringList{"5/7/1960", ""}));
    QCOMPARE(h.toolkit.texts().size(), 3);
    QVERIFY(h.db.marriages().empty());
}

void RelationsEditingTest::removeMarriage() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.marry(cast.man, cast.wife, "10/10/1960");
    h.db.marry(cast.man, cast.wife, "11/11/1961");  // a second row of the same pair
    h.db.marry(cast.man, cast.mother, "12/12/1962");
    h.show("MORO");
    h.chooseNext("ORSI");
    h.click("Command3");
    h.click("Command10");
    QCOMPARE(h.column("List2"), (QStringList{"NERI", "NERI", "CONTI", "ORSI"}));

    h.click("Command11");
    QCOMPARE(h.toolkit.texts(), QStringList{NotEnoughData});

    h.toolkit.clearMessages();
    h.clickRow("List2", 3);  // added, not stored: no question
    h.click("Command11");
    QVERIFY(h.toolkit.messages().empty());
    QCOMPARE(h.column("List2"), (QStringList{"NERI", "NERI", "CONTI"}));
    QCOMPARE(h.column("List7").size(), 3);

    h.clickRow("List3", 0);
    h.toolkit.answer(false);
    h.click("Command11");
    QCOMPARE(h.toolkit.texts(), QStringList{ConfirmRemoval});
    QCOMPARE(h.column("List2"), (QStringList{"NERI", "NERI", "CONTI"}));
    QCOMPARE(h.db.marriages().size(), 3u);

    h.toolkit.clearMessages();
    h.toolkit.answer(true);
    h.click("Command11");
    QCOMPARE(h.toolkit.texts(), QStringList{ConfirmRemoval});
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.mother, "1962-12-12")});
    QCOMPARE(h.column("List1"), (QStringList{cast.wife, cast.mother}));
    QCOMPARE(h.column("List7"), (QStringList{"11/11/1961", "12/12/1962"}));
    QCOMPARE(h.selectedRows({"List1", "List2", "List3", "List7"}),
             (QStringList{"-", "-", "-", "-"}));
}

void RelationsEditingTest::removeMarriageOfAWoman() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.marry(cast.man, cast.wife, "10/10/1960");
    h.db.marry(cast.wife, cast.man, "10/10/1960");  // the roles the other way round
    h.show("NERI");
    QCOMPARE(h.column("List1"), QStringList{cast.man});

    h.clickRow("List1", 0);
    h.toolkit.answer(true);
    h.click("Command11");

    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.wife, cast.man, "1960-10-10")});
    QVERIFY(h.column("List1").isEmpty());
}

void RelationsEditingTest::failedRemovalKeepsTheRow() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.marry(cast.man, cast.wife, "10/10/1960");
    h.db.link(cast.man, cast.son, Male);
    FailWrites(h.db, "refuseMarriage", "before delete on matrimoni");
    FailWrites(h.db, "refuseLink", "before delete on relazioni");
    h.show("MORO");

    h.clickRow("List1", 0);
    h.toolkit.answer(true);
    h.click("Command11");
    h.clickRow("List4", 0);
    h.toolkit.answer(true);
    h.click("Command7");

    const QStringList texts = h.toolkit.texts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts[0], ConfirmRemoval);
    QVERIFY2(texts[1].contains(Refused), qPrintable(texts[1]));
    QCOMPARE(texts[2], ConfirmRemoval);
    QVERIFY2(texts[3].contains(Refused), qPrintable(texts[3]));
    QCOMPARE(h.column("List1"), QStringList{cast.wife});
    QCOMPARE(h.column("List4"), QStringList{cast.son});
    QCOMPARE(h.db.marriages().size(), 1u);
    QCOMPARE(h.db.links().size(), 1u);
}

void RelationsEditingTest::addChild() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.show("MORO");

    h.chooseNext("MORO");
    h.click("Command9");
    QCOMPARE(h.toolkit.texts(), QStringList{NotDuplicable});
    h.cancelNext();
    h.click("Command9");
    QVERIFY(h.column("List4").isEmpty());

    h.chooseNext("DORIA");
    h.click("Command9");
    h.chooseNext("DORIA");
    h.click("Command9");
    QCOMPARE(h.column("List4"), QStringList{cast.son});
    QCOMPARE(h.column("List5"), QStringList{"DORIA"});
    QCOMPARE(h.column("List6"), QStringList{"DINO"});
    QCOMPARE(h.column("List8"), QStringList{"06/06/1965"});

    h.chooseVanishing("ESPOSITO", cast.daughter);
    h.click("Command9");
    QCOMPARE(h.toolkit.texts(), (QStringList{NotDuplicable, "Errore di lettura del record figli"}));
    QCOMPARE(h.column("List4"), QStringList{cast.son});
    QVERIFY(h.db.links().empty());
}

void RelationsEditingTest::importChildren() {
    RelationsHarness h;
    const Cast cast(h.db);
    const QString third = h.db.addPerson("FABBRI", "FEDE", "08/08/1969", Female);
    h.db.link(cast.wife, cast.son, Female);
    h.db.link(cast.wife, cast.man, Female);  // the shown person is among her children
    h.db.link(cast.wife, cast.daughter, Female);
    h.db.link(cast.wife, "GHOFIG01/01/1903", Female);  // a child's record missing
    h.db.link(cast.wife, third, Female);
    h.show("MORO");
    h.chooseNext("DORIA");
    h.click("Command9");

    h.chooseNext("NERI");
    h.click("Command12");

    QCOMPARE(h.column("List4"), (QStringList{cast.son, cast.daughter, third}));
    QCOMPARE(h.column("List8"), (QStringList{"06/06/1965", "07/07/1967", "08/08/1969"}));
    QCOMPARE(h.toolkit.texts(), QStringList{"Errore di lettura del record figli"});

    h.toolkit.clearMessages();
    h.chooseNext("ORSI");  // no children
    h.click("Command12");
    h.cancelNext();
    h.click("Command12");
    h.chooseNext("MORO");
    h.click("Command12");
    QCOMPARE(h.toolkit.texts(), QStringList{NotDuplicable});
    QCOMPARE(h.column("List4").size(), 3);
    QCOMPARE(h.db.links().size(), 5u);
}

void RelationsEditingTest::removeChild() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.link(cast.man, cast.son, Male);
    h.db.link(cast.man, cast.son, Male);
    h.db.link(cast.wife, cast.son, Female);
    h.show("MORO");
    h.chooseNext("ESPOSITO");
    h.click("Command9");

    h.click("Command7");
    QCOMPARE(h.toolkit.texts(), QStringList{NotEnoughData});

    h.toolkit.clearMessages();
    h.clickRow("List8", 1);
    h.click("Command7");
    QVERIFY(h.toolkit.messages().empty());
    QCOMPARE(h.column("List4"), QStringList{cast.son});

    h.clickRow("List6", 0);
    h.click("Command7");  // no answer queued: No
    QCOMPARE(h.toolkit.texts(), QStringList{ConfirmRemoval});
    QCOMPARE(h.column("List4"), QStringList{cast.son});
    QCOMPARE(h.db.links().size(), 3u);

    h.toolkit.answer(true);
    h.click("Command7");
    QVERIFY(h.column("List4").isEmpty());
    QVERIFY(h.column("List8").isEmpty());
    QCOMPARE(Links(h.db), QStringList{Link(cast.wife, cast.son, Female)});
}

void RelationsEditingTest::saveOnAnEmptyWindowWritesNothing() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.click("Command4");
    QVERIFY(h.toolkit.messages().empty());
    QVERIFY(h.db.links().empty());
    QVERIFY(h.db.marriages().empty());
    QVERIFY(h.caption("Label20").isEmpty());
}

void RelationsEditingTest::saveWritesWhatTheWindowShows() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.show("MORO");
    h.chooseNext("BIANCHI");
    h.click("Command1");
    h.chooseNext("CONTI");
    h.click("Command2");
    h.chooseNext("NERI");
    h.click("Command3");
    h.typeDate("10/10/1960");
    h.click("Command10");
    h.chooseNext("DORIA");
    h.click("Command9");
    h.chooseNext("ESPOSITO");
    h.click("Command9");
    h.chooseNext("ORSI");  // a candidate never added
    h.click("Command3");

    h.click("Command4");

    QVERIFY(h.toolkit.messages().empty());
    const QStringList links{Link(cast.father, cast.man, Male), Link(cast.mother, cast.man, Female),
                            Link(cast.man, cast.son, Male), Link(cast.man, cast.daughter, Male)};
    QCOMPARE(Links(h.db), links);
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.wife, "1960-10-10")});
    QVERIFY(h.caption("Label20").isEmpty());
    QVERIFY(h.caption("Label16").isEmpty());
    QVERIFY(h.column("List1").isEmpty());
    QVERIFY(h.column("List4").isEmpty());
    QCOMPARE(h.caption("Label13"), cast.other);

    // Loaded again and saved again: nothing new.
    h.show("MORO");
    QCOMPARE(h.column("List7"), QStringList{"10/10/1960"});
    h.click("Command4");
    QCOMPARE(Links(h.db), links);
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.wife, "1960-10-10")});

    // The same marriage saved from the wife's side rewrites that row.
    h.show("NERI");
    QCOMPARE(h.column("List1"), QStringList{cast.man});
    h.click("Command4");
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.wife, "1960-10-10")});
}

void RelationsEditingTest::saveFollowsTheSexOption() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.show("NERI");
    h.chooseNext("DORIA");
    h.click("Command9");
    h.chooseNext("ESPOSITO");
    h.click("Command9");
    h.click("Command4");
    QCOMPARE(Links(h.db), (QStringList{Link(cast.wife, cast.son, Female),
                                       Link(cast.wife, cast.daughter, Female)}));

    // "Femmina" clicked for a man: he is saved as the wife and as the mother.
    h.show("MORO");
    h.chooseNext("ORSI");
    h.click("Command3");
    h.click("Command10");
    h.chooseNext("DORIA");
    h.click("Command9");
    h.click("sesso_1");
    h.click("Command4");
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.other, cast.man, "null")});
    QCOMPARE(Links(h.db).last(), Link(cast.man, cast.son, Female));
}

void RelationsEditingTest::savedDatesReloadDayFirst() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.show("MORO");
    h.chooseNext("NERI");
    h.click("Command3");
    h.typeDate("5-7-1960");
    h.click("Command10");
    h.chooseNext("ORSI");
    h.click("Command3");
    h.control<QLineEdit>("Text9")->clear();
    h.click("Command10");
    QCOMPARE(h.column("List7"), (QStringList{"5-7-1960", ""}));

    h.click("Command4");

    QCOMPARE(Marriages(h.db), (QStringList{Wedding(cast.man, cast.wife, "1960-07-05"),
                                           Wedding(cast.man, cast.other, "null")}));
    h.show("MORO");
    QCOMPARE(h.column("List7"), (QStringList{"05/07/1960", ""}));
}

void RelationsEditingTest::saveAddsAnotherFatherAndKeepsTheFirst() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.link(cast.father, cast.son, Male);
    h.show("DORIA");
    h.chooseNext("MORO");
    h.click("Command1");
    h.click("Command4");
    QCOMPARE(Links(h.db),
             (QStringList{Link(cast.father, cast.son, Male), Link(cast.man, cast.son, Male)}));
}

// All or nothing: otherwise the father's link would stay written while the window, cleared,
// would say the save had succeeded.
void RelationsEditingTest::failedSaveWritesNothingAndKeepsTheWindow() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.marry(cast.man, cast.other, "01/01/1959");
    FailWrites(h.db, "refuse",
               "before insert on matrimoni when new.idmoglie = '" + cast.wife + "'");
    h.show("MORO");
    h.chooseNext("BIANCHI");
    h.click("Command1");
    h.chooseNext("NERI");
    h.click("Command3");
    h.typeDate("10/10/1960");
    h.click("Command10");
    h.chooseNext("DORIA");
    h.click("Command9");

    h.click("Command4");

    QCOMPARE(h.toolkit.texts().size(), 1);
    QVERIFY2(h.toolkit.texts().first().contains(Refused), qPrintable(h.toolkit.texts().first()));
    QVERIFY(h.db.links().empty());
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.other, "1959-01-01")});
    QCOMPARE(h.caption("Label20"), cast.man);
    QCOMPARE(h.caption("Label16"), cast.father);
    QCOMPARE(h.column("List1"), (QStringList{cast.other, cast.wife}));
    QCOMPARE(h.column("List7"), (QStringList{"01/01/1959", "10/10/1960"}));
    QCOMPARE(h.column("List4"), QStringList{cast.son});

    // Once the cause is gone the same window saves everything.
    h.db.execute("drop trigger refuse");
    h.click("Command4");
    QCOMPARE(h.toolkit.texts().size(), 1);
    QCOMPARE(Links(h.db),
             (QStringList{Link(cast.father, cast.man, Male), Link(cast.man, cast.son, Male)}));
    QCOMPARE(Marriages(h.db).size(), 2);
    QVERIFY(h.caption("Label20").isEmpty());
}

void RelationsEditingTest::closedConnectionIsReported() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.marry(cast.man, cast.wife, "10/10/1960");
    h.show("MORO");
    h.chooseNext("DORIA");
    h.click("Command9");
    h.context.connection.close();
    const QString closed = ConnectionClosed().description();

    h.click("Command4");
    h.clickRow("List1", 0);
    h.click("Command11");
    h.toolkit.answer(true);
    h.toolkit.answer(true);
    h.click("Command5");

    QCOMPARE(h.toolkit.texts().mid(0, 2), (QStringList{closed, closed}));
    QCOMPARE(h.toolkit.texts().mid(4), (QStringList{
                                           closed,
                                           "Si è verificato un errore. La procedura è stata "
                                           "annullata",
                                       }));
    QCOMPARE(h.caption("Label20"), cast.man);
    QCOMPARE(h.column("List1"), QStringList{cast.wife});
    QCOMPARE(h.column("List4"), QStringList{cast.son});
}

void RelationsEditingTest::deleteAsksTwice() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.click("Command5");  // nobody shown: nothing asked
    QVERIFY(h.toolkit.messages().empty());

    h.show("MORO");
    h.click("Command5");
    h.toolkit.answer(true);
    h.click("Command5");

    const QString first = QStringLiteral(
        "Attenzione....\rSe confermi verranno cancellati tutti i dati relativi a: MORO - MARCO");
    QCOMPARE(h.toolkit.texts(),
             (QStringList{first, first, QStringLiteral("Attenzione....\rSei proprio sicuro?")}));
    QVERIFY(h.db.person(cast.man).has_value());
    QCOMPARE(h.caption("Label20"), cast.man);
}

void RelationsEditingTest::deleteRemovesExactlyThePersonsRows() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.link(cast.father, cast.wife, Male);
    h.db.link(cast.father, cast.other, Male);
    h.db.marry(cast.man, cast.wife, "10/10/1960");
    h.db.marry(cast.wife, cast.father, "11/11/1961");  // she is named as husband here
    h.db.marry(cast.man, cast.other, "12/12/1962");
    h.db.link(cast.wife, cast.son, Female);
    h.db.link(cast.wife, cast.daughter, Female);
    h.db.link(cast.man, cast.son, Male);
    h.db.link(cast.man, cast.daughter, Male);
    const int persons = h.db.personCount();
    h.show("NERI");

    h.toolkit.answer(true);
    h.toolkit.answer(true);
    h.click("Command5");

    QCOMPARE(h.toolkit.texts().size(), 2);
    QVERIFY(!h.db.person(cast.wife).has_value());
    QCOMPARE(h.db.personCount(), persons - 1);
    QCOMPARE(Links(h.db),
             (QStringList{Link(cast.father, cast.other, Male), Link(cast.man, cast.son, Male),
                          Link(cast.man, cast.daughter, Male)}));
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.other, "1962-12-12")});
    QVERIFY(h.caption("Label20").isEmpty());
    QVERIFY(h.column("List4").isEmpty());
}

void RelationsEditingTest::failedDeleteRollsEverythingBack() {
    RelationsHarness h;
    const Cast cast(h.db);
    h.db.link(cast.father, cast.wife, Male);
    h.db.link(cast.wife, cast.son, Female);
    h.db.marry(cast.man, cast.wife, "10/10/1960");
    FailWrites(h.db, "refuse",
               "before delete on matrimoni when old.idmoglie = '" + cast.wife + "'");
    const QStringList links = Links(h.db);
    h.show("NERI");

    h.toolkit.answer(true);
    h.toolkit.answer(true);
    h.click("Command5");

    const QStringList texts = h.toolkit.texts();
    QCOMPARE(texts.size(), 4);
    QVERIFY2(texts[2].contains(Refused), qPrintable(texts[2]));
    QCOMPARE(texts[3], QStringLiteral("Si è verificato un errore. La procedura è stata annullata"));
    QVERIFY(h.db.person(cast.wife).has_value());
    QCOMPARE(Links(h.db), links);
    QCOMPARE(Marriages(h.db), QStringList{Wedding(cast.man, cast.wife, "1960-10-10")});
    QCOMPARE(h.caption("Label20"), cast.wife);
    QCOMPARE(h.column("List4"), QStringList{cast.son});
}

QTEST_MAIN(RelationsEditingTest)
#include "RelationsEditingTest.moc"
