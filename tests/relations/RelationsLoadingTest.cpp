#include "RelationsHarness.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace radici;

namespace {

const QStringList MarriageLists{"List1", "List2", "List3", "List7"};
const QStringList ChildLists{"List4", "List5", "List6", "List8"};
const QStringList SiblingLists{"List12", "List11", "List10", "List9", "List13"};
const QStringList NoneSelected4{"-", "-", "-", "-"};
const QStringList NoneSelected5{"-", "-", "-", "-", "-"};

// A person A with father F and mother M. F's children: A, B, C; M's children: A, B, D.
struct Family {
    QString a, f, m, b, c, d;

    explicit Family(TestDatabase& db) {
        a = db.addPerson("ALFA", "ANNA", "01/01/1980", Female);
        f = db.addPerson("BIANCHI", "FRANCO", "01/01/1950", Male);
        m = db.addPerson("CONTI", "MARIA", "02/02/1952", Female);
        b = db.addPerson("DORIA", "BRUNO", "03/03/1982", Male);
        c = db.addPerson("ESPOSITO", "CARLO", "04/04/1984", Male);
        d = db.addPerson("FERRI", "DINO", "05/05/1986", Male);
    }
    void fatherLinks(TestDatabase& db) const {
        db.link(f, a, Male);
        db.link(f, b, Male);
        db.link(f, c, Male);
    }
    void motherLinks(TestDatabase& db) const {
        db.link(m, a, Female);
        db.link(m, b, Female);
        db.link(m, d, Female);
    }
};

}  // namespace

class RelationsLoadingTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheForm_data();
    void layoutFollowsTheForm();
    void freshWindowIsEmpty();
    void personWithoutRelatives();
    void closingTheRegistryWithoutChoiceKeepsTheWindow();
    void siblingTypes_data();
    void siblingTypes();
    void duplicateLinksAreListedOnce();
    void missingRelativesAreReportedOrSkipped();
    void marriagesFollowTheSex();
    void secondPersonReplacesTheFirst();
    void failedLoadKeepsTheShownPerson();
    void annullaKeepsCandidateAndDate();
    void sexOptionChangesOnlyPersonSex();
    void parentButtonsFillTheParentRows();
    void ownParentIsRefused();
    void spouseCandidate();
    void rowSelectionStaysInStep();
};

// Position and size in pixels (twips / 15) and the caption a user reads.
void RelationsLoadingTest::layoutFollowsTheForm_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Command6") << "Command6" << QRect(8, 1, 49, 33) << "";
    QTest::newRow("Label20") << "Label20" << QRect(88, 9, 113, 17) << "";
    QTest::newRow("sesso_0") << "sesso_0" << QRect(552, 33, 73, 13) << "Maschio";
    QTest::newRow("sesso_1") << "sesso_1" << QRect(632, 33, 73, 13) << "Femmina";
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 41, 361, 81) << "Dati relativi alla nascita";
    QTest::newRow("Frame2") << "Frame2" << QRect(376, 41, 361, 81) << "Dati relativi alla morte";
    QTest::newRow("Frame3") << "Frame3" << QRect(8, 122, 729, 71) << "Genitori";
    QTest::newRow("Frame4") << "Frame4" << QRect(8, 193, 657, 101) << "Matrimoni";
    QTest::newRow("Frame5") << "Frame5" << QRect(8, 294, 729, 124) << "Figli";
    QTest::newRow("Frame6") << "Frame6" << QRect(8, 418, 657, 125) << "Fratelli / Sorelle";
    QTest::newRow("Command4") << "Command4" << QRect(672, 423, 65, 33) << "Salva";
    QTest::newRow("Command5") << "Command5" << QRect(672, 463, 65, 33) << "Cancella";
    QTest::newRow("Command8") << "Command8" << QRect(672, 505, 65, 33) << "Annulla";
    QTest::newRow("Label9") << "Label9" << QRect(8, 24, 41, 25) << "Padre:";
    QTest::newRow("Label11") << "Label11" << QRect(8, 48, 41, 17) << "Madre:";
    QTest::newRow("Command1") << "Command1" << QRect(664, 24, 57, 17) << "Carica...";
    QTest::newRow("Command2") << "Command2" << QRect(664, 48, 57, 17) << "Carica...";
    QTest::newRow("Label14") << "Label14" << QRect(40, 14, 89, 25) << "Marito/Moglie:";
    QTest::newRow("Command3") << "Command3" << QRect(552, 24, 97, 17) << "Carica...";
    QTest::newRow("Text9") << "Text9" << QRect(40, 30, 81, 19) << "";
    QTest::newRow("Command10") << "Command10" << QRect(40, 54, 81, 17) << "Aggiungi";
    QTest::newRow("Command11") << "Command11" << QRect(40, 78, 81, 17) << "Elimina";
    QTest::newRow("List1") << "List1" << QRect(137, 48, 121, 43) << "";
    QTest::newRow("List7") << "List7" << QRect(544, 48, 105, 43) << "";
    QTest::newRow("Command9") << "Command9" << QRect(16, 24, 105, 33) << "Aggiungi...";
    QTest::newRow("Command7") << "Command7" << QRect(16, 72, 105, 33) << "Elimina";
    QTest::newRow("Command12") << "Command12" << QRect(656, 56, 65, 33) << "Importa...";
    QTest::newRow("List8") << "List8" << QRect(544, 24, 105, 95) << "";
    QTest::newRow("List12") << "List12" << QRect(16, 24, 121, 95) << "";
    QTest::newRow("List13") << "List13" << QRect(528, 24, 105, 95) << "";
    QTest::newRow("Label31") << "Label31" << QRect(40, 24, 89, 17) << "";
}

void RelationsLoadingTest::layoutFollowsTheForm() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    RelationsHarness h;
    auto* widget = h.control<QWidget>(name);
    QVERIFY2(widget != nullptr, qPrintable(name));
    QCOMPARE(widget->geometry(), geometry);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(frame->title(), text);
    }
}

void RelationsLoadingTest::freshWindowIsEmpty() {
    RelationsHarness h;
    QCOMPARE(h.window.objectName(), QStringLiteral("anagrafica"));
    QCOMPARE(h.window.windowTitle(), QStringLiteral("GESTIONE CORRELAZIONI PERSONE"));
    QCOMPARE(h.window.size(), QSize(743, 545));
    QCOMPARE(h.control<QLineEdit>("Text9")->maxLength(), 10);
    QVERIFY(!h.framesEnabled());
    QVERIFY(!h.control<QRadioButton>("sesso_0")->isChecked());
    QVERIFY(!h.control<QRadioButton>("sesso_1")->isChecked());
    QVERIFY(h.caption("Label20").isEmpty());
    QVERIFY(h.control<QPushButton>("Command4")->isEnabled());
    QVERIFY(h.control<QPushButton>("Command6")->isEnabled());
    QVERIFY(h.control<QLabel>("Label20")->styleSheet().contains("#FFC080"));
    QVERIFY(h.control<QListWidget>("List12")->styleSheet().contains("#FFC080"));
    QVERIFY(h.control<QLabel>("Label28")->styleSheet().contains("#FFFF80"));
    QVERIFY(h.control<QGroupBox>("Frame2")->styleSheet().contains("#C0C0C0"));
    QVERIFY(!h.window.MotherSiblingsRead());
}

void RelationsLoadingTest::personWithoutRelatives() {
    RelationsHarness h;
    Person person;
    person.idrecord = "VERGIU15/07/1920";
    person.cognome = "VERDI";
    person.nome = "GIULIA";
    person.sesso = Female;
    person.datanasc = QDate(1920, 7, 15);
    person.luogonasc = "BERGAMO";
    person.nazionenasc = "ITALIA";
    person.luogomorte = "MILANO";
    h.db.addPerson(person);

    h.show("VERDI");

    QCOMPARE(h.caption("Label20"), QStringLiteral("VERGIU15/07/1920"));
    QCOMPARE(h.caption("Label24"), QStringLiteral("VERDI"));
    QCOMPARE(h.caption("Label25"), QStringLiteral("GIULIA"));
    QCOMPARE(h.caption("Label28"), QStringLiteral("15/07/1920"));
    QCOMPARE(h.caption("Label26"), QStringLiteral("BERGAMO"));
    QCOMPARE(h.caption("Label27"), QStringLiteral("ITALIA"));
    QCOMPARE(h.caption("Label31"), QString());  // no death date recorded
    QCOMPARE(h.caption("Label29"), QStringLiteral("MILANO"));
    QCOMPARE(h.caption("Label30"), QString());
    QVERIFY(h.control<QRadioButton>("sesso_1")->isChecked());
    QCOMPARE(h.window.PersonSex(), Female);
    QVERIFY(h.framesEnabled());
    for (const char* label :
         {"Label16", "Label12", "Label10", "Label17", "Label19", "Label32", "Label33", "Label18"}) {
        QVERIFY2(h.caption(label).isEmpty(), label);
    }
    for (const QString& list : MarriageLists + ChildLists + SiblingLists) {
        QVERIFY2(h.column(list).isEmpty(), qPrintable(list));
    }
    QVERIFY(h.toolkit.messages().empty());
    QCOMPARE(h.toolkit.modalWindows(), QStringList{"cerca"});
}

void RelationsLoadingTest::closingTheRegistryWithoutChoiceKeepsTheWindow() {
    RelationsHarness h;
    const Family family(h.db);
    family.fatherLinks(h.db);
    h.show("ALFA");

    h.cancelNext();
    h.click("Command6");
    QCOMPARE(h.caption("Label20"), family.a);
    QCOMPARE(h.caption("Label16"), family.f);

    h.cancelNext();
    h.click("Command1");
    QCOMPARE(h.caption("Label16"), family.f);
    QCOMPARE(h.column("List11"), (QStringList{"DORIA", "ESPOSITO"}));
    QVERIFY(h.toolkit.messages().empty());
}

void RelationsLoadingTest::siblingTypes_data() {
    QTest::addColumn<bool>("withFather");
    QTest::addColumn<bool>("withMother");
    QTest::addColumn<bool>("fatherLinkFirst");
    QTest::addColumn<QStringList>("surnames");
    QTest::addColumn<QStringList>("types");
    QTest::newRow("father only") << true << false << true << QStringList{"DORIA", "ESPOSITO"}
                                 << QStringList{"", ""};
    QTest::newRow("mother only") << false << true << false << QStringList{"DORIA", "FERRI"}
                                 << QStringList{"Naturale", "Naturale"};
    QTest::newRow("father's link first")
        << true << true << true << QStringList{"DORIA", "ESPOSITO", "FERRI"}
        << QStringList{"Naturale", "Acquisito", "Naturale"};
    QTest::newRow("mother's link first")
        << true << true << false << QStringList{"DORIA", "FERRI", "ESPOSITO"}
        << QStringList{"Naturale", "Naturale", "Acquisito"};
}

void RelationsLoadingTest::siblingTypes() {
    QFETCH(bool, withFather);
    QFETCH(bool, withMother);
    QFETCH(bool, fatherLinkFirst);
    QFETCH(QStringList, surnames);
    QFETCH(QStringList, types);
    RelationsHarness h;
    const Family family(h.db);
    // The parents pass reads the links to the person in the order they were written.
    if (withFather && fatherLinkFirst) family.fatherLinks(h.db);
    if (withMother) family.motherLinks(h.db);
    if (withFather && !fatherLinkFirst) family.fatherLinks(h.db);

    h.show("ALFA");

    QCOMPARE(h.column("List11"), surnames);
    QCOMPARE(h.column("List13"), types);
    QCOMPARE(h.column("List12").size(), surnames.size());
    QCOMPARE(h.column("List10").size(), surnames.size());
    QCOMPARE(h.column("List9").size(), surnames.size());
    QVERIFY(!h.column("List12").contains(family.a));
    QCOMPARE(h.caption("Label16"), withFather ? family.f : QString());
    QCOMPARE(h.caption("Label12"), withFather ? QStringLiteral("BIANCHI") : QString());
    QCOMPARE(h.caption("Label17"), withFather ? QStringLiteral("01/01/1950") : QString());
    QCOMPARE(h.caption("Label19"), withMother ? family.m : QString());
    QCOMPARE(h.caption("Label33"), withMother ? QStringLiteral("MARIA") : QString());
    QCOMPARE(h.caption("Label18"), withMother ? QStringLiteral("02/02/1952") : QString());
    QCOMPARE(h.window.MotherSiblingsRead(), withMother);
    QVERIFY(h.toolkit.messages().empty());

    // Reading the father again adds no row and changes no type.
    if (withFather) {
        h.chooseNext("BIANCHI");
        h.click("Command1");
        QCOMPARE(h.column("List11"), surnames);
        QCOMPARE(h.column("List13"), types);
    }
}

void RelationsLoadingTest::duplicateLinksAreListedOnce() {
    RelationsHarness h;
    const Family family(h.db);
    family.fatherLinks(h.db);
    family.motherLinks(h.db);
    h.db.link(family.f, family.b, Male);  // B twice under the father
    const QString son = h.db.addPerson("GALLI", "GINO", "06/06/2005");
    h.db.link(family.a, son, Female);
    h.db.link(family.a, son, Female);

    h.show("ALFA");

    QCOMPARE(h.column("List11"), (QStringList{"DORIA", "ESPOSITO", "FERRI"}));
    QCOMPARE(h.column("List4"), QStringList{son});
    QCOMPARE(h.column("List8"), QStringList{"06/06/2005"});
    QVERIFY(h.toolkit.messages().empty());
}

void RelationsLoadingTest::missingRelativesAreReportedOrSkipped() {
    RelationsHarness h;
    const QString person = h.db.addPerson("ALFA", "ANNA", "01/01/1980", Female);
    const QString mother = h.db.addPerson("CONTI", "MARIA", "02/02/1952", Female);
    const QString husband = h.db.addPerson("LEONI", "LUCA", "07/07/1978", Male);
    const QString child = h.db.addPerson("GALLI", "GINO", "06/06/2005");
    h.db.link("GHOPAD01/01/1900", person, Male);  // father's record missing
    h.db.link(mother, person, Female);
    h.db.link(mother, "GHOFRA01/01/1901", Female);         // a sibling's record missing
    h.db.marry("GHOMAR01/01/1902", person, "01/01/2000");  // a spouse's record missing
    h.db.marry(husband, person, "02/02/2002");
    h.db.link(person, "GHOFIG01/01/1903", Female);  // a child's record missing
    h.db.link(person, child, Female);

    h.show("ALFA");

    QCOMPARE(h.toolkit.texts(), (QStringList{"Errore di lettura del record padre",
                                             "Errore di lettura del record figli"}));
    QVERIFY(h.caption("Label16").isEmpty());
    QCOMPARE(h.caption("Label19"), mother);
    QVERIFY(h.column("List12").isEmpty());
    QCOMPARE(h.column("List1"), QStringList{husband});
    QCOMPARE(h.column("List7"), QStringList{"02/02/2002"});
    QCOMPARE(h.column("List4"), QStringList{child});

    h.toolkit.clearMessages();
    h.db.execute("delete from anagrafica where idrecord = '" + mother + "'");
    h.db.link("GHOMAD01/01/1904", person, Female);
    h.show("ALFA");
    QCOMPARE(
        h.toolkit.texts(),
        (QStringList{"Errore di lettura del record padre", "Errore di lettura del record madre",
                     "Errore di lettura del record madre", "Errore di lettura del record figli"}));
    QCOMPARE(h.column("List4"), QStringList{child});
}

void RelationsLoadingTest::marriagesFollowTheSex() {
    RelationsHarness h;
    const QString man = h.db.addPerson("MORO", "MARCO", "01/01/1940", Male);
    const QString first = h.db.addPerson("NERI", "NORA", "02/02/1942", Female);
    const QString second = h.db.addPerson("ORSI", "OLGA", "03/03/1944", Female);
    const QString other = h.db.addPerson("PALMA", "PIA", "04/04/1946", Female);
    h.db.marry(man, first, "10/10/1965");
    h.db.marry(man, second);
    h.db.marry(first, other, "11/11/1970");  // names the woman as husband: not hers as wife

    h.show("MORO");
    QCOMPARE(h.column("List1"), (QStringList{first, second}));
    QCOMPARE(h.column("List2"), (QStringList{"NERI", "ORSI"}));
    QCOMPARE(h.column("List3"), (QStringList{"NORA", "OLGA"}));
    QCOMPARE(h.column("List7"), (QStringList{"10/10/1965", ""}));

    h.show("NERI");
    QVERIFY(h.control<QRadioButton>("sesso_1")->isChecked());
    QCOMPARE(h.column("List1"), QStringList{man});
    QCOMPARE(h.column("List2"), QStringList{"MORO"});
    QCOMPARE(h.column("List7"), QStringList{"10/10/1965"});
}

void RelationsLoadingTest::secondPersonReplacesTheFirst() {
    RelationsHarness h;
    const Family family(h.db);
    family.motherLinks(h.db);
    family.fatherLinks(h.db);
    const QString spouse = h.db.addPerson("LEONI", "LUCA", "07/07/1978", Male);
    h.db.marry(spouse, family.a, "01/06/2000");
    const QString child = h.db.addPerson("GALLI", "GINO", "06/06/2005");
    h.db.link(family.a, child, Female);
    // Another person whose father has another child, and no mother recorded.
    const QString second = h.db.addPerson("QUARTO", "QUINTO", "08/08/1990", Male);
    const QString secondFather = h.db.addPerson("RICCI", "RENATO", "09/09/1960", Male);
    const QString halfBrother = h.db.addPerson("SALA", "SERGIO", "10/10/1992", Male);
    h.db.link(secondFather, second, Male);
    h.db.link(secondFather, halfBrother, Male);

    h.show("ALFA");
    h.chooseNext("DORIA");
    h.click("Command3");
    h.typeDate("12/12/2012");
    QCOMPARE(h.column("List13"), (QStringList{"Naturale", "Naturale", "Acquisito"}));

    h.show("QUARTO");

    QCOMPARE(h.caption("Label20"), second);
    QCOMPARE(h.caption("Label28"), QStringLiteral("08/08/1990"));
    QVERIFY(h.control<QRadioButton>("sesso_0")->isChecked());
    QCOMPARE(h.caption("Label16"), secondFather);
    QVERIFY(h.caption("Label19").isEmpty());
    QVERIFY(h.caption("Label32").isEmpty());
    QCOMPARE(h.column("List12"), QStringList{halfBrother});
    // The earlier person's mother does not count: the half brother has no type yet.
    QCOMPARE(h.column("List13"), QStringList{""});
    QVERIFY(h.column("List1").isEmpty());
    QVERIFY(h.column("List4").isEmpty());
    QCOMPARE(h.caption("Label13"), family.b);
    QCOMPARE(h.caption("Label22"), QStringLiteral("DORIA"));
    QCOMPARE(h.caption("Label23"), QStringLiteral("BRUNO"));
    QCOMPARE(h.control<QLineEdit>("Text9")->text(), QStringLiteral("12/12/2012"));
}

// Relatives are read only for a person actually loaded: otherwise the shown person's marriages
// would be listed a second time.
void RelationsLoadingTest::failedLoadKeepsTheShownPerson() {
    RelationsHarness h;
    const QString man = h.db.addPerson("MORO", "MARCO", "01/01/1940", Male);
    const QString wife = h.db.addPerson("NERI", "NORA", "02/02/1942", Female);
    const QString gone = h.db.addPerson("ZANCO", "ZENO", "03/03/1933", Male);
    h.db.marry(man, wife, "10/10/1965");
    h.show("MORO");

    h.chooseVanishing("ZANCO", gone);
    h.click("Command6");

    QCOMPARE(h.toolkit.texts(), QStringList{"Errore di lettura del record"});
    QCOMPARE(h.caption("Label20"), man);
    QCOMPARE(h.caption("Label24"), QStringLiteral("MORO"));
    QCOMPARE(h.column("List1"), QStringList{wife});
}

void RelationsLoadingTest::annullaKeepsCandidateAndDate() {
    RelationsHarness h;
    const Family family(h.db);
    family.fatherLinks(h.db);
    h.show("ALFA");
    h.chooseNext("CONTI");
    h.click("Command3");
    h.typeDate("1/2/2003");

    h.click("Command8");

    QVERIFY(!h.framesEnabled());
    for (const char* label : {"Label20", "Label24", "Label25", "Label28", "Label16", "Label12"}) {
        QVERIFY2(h.caption(label).isEmpty(), label);
    }
    QVERIFY(h.column("List12").isEmpty());
    QVERIFY(h.column("List13").isEmpty());
    QCOMPARE(h.caption("Label13"), family.m);
    QCOMPARE(h.caption("Label22"), QStringLiteral("CONTI"));
    QCOMPARE(h.control<QLineEdit>("Text9")->text(), QStringLiteral("1/2/2003"));
    QVERIFY(h.control<QRadioButton>("sesso_1")->isChecked());

    // A new opening shows nothing of it.
    h.window.hide();
    h.window.show();
    QVERIFY(h.caption("Label13").isEmpty());
    QVERIFY(h.control<QLineEdit>("Text9")->text().isEmpty());
    QVERIFY(!h.control<QRadioButton>("sesso_0")->isChecked());
    QVERIFY(!h.control<QRadioButton>("sesso_1")->isChecked());
}

void RelationsLoadingTest::sexOptionChangesOnlyPersonSex() {
    RelationsHarness h;
    const QString man = h.db.addPerson("MORO", "MARCO", "01/01/1940", Male);
    const QString wife = h.db.addPerson("NERI", "NORA", "02/02/1942", Female);
    h.db.marry(man, wife, "10/10/1965");
    h.show("MORO");

    h.click("sesso_1");

    QCOMPARE(h.window.PersonSex(), Female);
    QCOMPARE(h.column("List1"), QStringList{wife});
    QCOMPARE(h.db.person(man)->sesso, Male);

    h.show("MORO");
    QVERIFY(h.control<QRadioButton>("sesso_0")->isChecked());
    QCOMPARE(h.window.PersonSex(), Male);
}

void RelationsLoadingTest::parentButtonsFillTheParentRows() {
    RelationsHarness h;
    const Family family(h.db);
    family.motherLinks(h.db);
    h.db.link(family.f, family.b, Male);
    h.db.link(family.f, family.c, Male);
    h.show("ALFA");
    QCOMPARE(h.column("List13"), (QStringList{"Naturale", "Naturale"}));

    h.chooseNext("BIANCHI");
    h.click("Command1");

    QCOMPARE(h.caption("Label16"), family.f);
    QCOMPARE(h.caption("Label12"), QStringLiteral("BIANCHI"));
    QCOMPARE(h.caption("Label10"), QStringLiteral("FRANCO"));
    QCOMPARE(h.caption("Label17"), QStringLiteral("01/01/1950"));
    QCOMPARE(h.column("List11"), (QStringList{"DORIA", "FERRI", "ESPOSITO"}));
    QCOMPARE(h.column("List13"), (QStringList{"Naturale", "Naturale", "Acquisito"}));

    // Another mother replaces the row's captions and adds her children to the siblings.
    const QString stepMother = h.db.addPerson("TOSI", "TINA", "11/11/1955", Female);
    const QString stepSister = h.db.addPerson("URSO", "UMA", "12/12/1988", Female);
    h.db.link(stepMother, stepSister, Female);
    h.chooseNext("TOSI");
    h.click("Command2");
    QCOMPARE(h.caption("Label19"), stepMother);
    QCOMPARE(h.caption("Label32"), QStringLiteral("TOSI"));
    QCOMPARE(h.caption("Label33"), QStringLiteral("TINA"));
    QCOMPARE(h.caption("Label18"), QStringLiteral("11/11/1955"));
    QCOMPARE(h.column("List11"), (QStringList{"DORIA", "FERRI", "ESPOSITO", "URSO"}));
    QCOMPARE(h.column("List13"), (QStringList{"Naturale", "Naturale", "Acquisito", "Naturale"}));

    h.chooseVanishing("BIANCHI", family.f);
    h.click("Command1");
    QCOMPARE(h.toolkit.texts(), QStringList{"Errore di lettura del record padre"});
    QCOMPARE(h.caption("Label16"), family.f);
    QCOMPARE(h.column("List11"), (QStringList{"DORIA", "FERRI", "ESPOSITO", "URSO"}));
}

// A person who is their own parent would be corrupted data.
void RelationsLoadingTest::ownParentIsRefused() {
    RelationsHarness h;
    const Family family(h.db);
    family.fatherLinks(h.db);
    h.show("ALFA");

    h.chooseNext("ALFA");
    h.click("Command1");
    h.chooseNext("ALFA");
    h.click("Command2");

    QCOMPARE(h.toolkit.texts(), (QStringList{"Attenzione... dato non duplicabile",
                                             "Attenzione... dato non duplicabile"}));
    QCOMPARE(h.caption("Label16"), family.f);
    QVERIFY(h.caption("Label19").isEmpty());
    QCOMPARE(h.column("List11"), (QStringList{"DORIA", "ESPOSITO"}));
}

void RelationsLoadingTest::spouseCandidate() {
    RelationsHarness h;
    const QString man = h.db.addPerson("MORO", "MARCO", "01/01/1940", Male);
    const QString first = h.db.addPerson("NERI", "NORA", "02/02/1942", Female);
    const QString second = h.db.addPerson("ORSI", "OLGA", "03/03/1944", Female);
    Q_UNUSED(man);
    h.show("MORO");

    h.chooseNext("NERI");
    h.click("Command3");
    QCOMPARE(h.caption("Label13"), first);
    QCOMPARE(h.caption("Label22"), QStringLiteral("NERI"));
    QCOMPARE(h.caption("Label23"), QStringLiteral("NORA"));
    QVERIFY(h.column("List1").isEmpty());

    h.chooseNext("ORSI");
    h.click("Command3");
    QCOMPARE(h.caption("Label13"), second);
    QCOMPARE(h.caption("Label23"), QStringLiteral("OLGA"));

    h.chooseVanishing("NERI", first);
    h.click("Command3");
    QCOMPARE(h.toolkit.texts(), QStringList{"Errore di lettura del record coniuge"});
    QCOMPARE(h.caption("Label13"), second);
    QCOMPARE(h.caption("Label22"), QStringLiteral("ORSI"));
}

void RelationsLoadingTest::rowSelectionStaysInStep() {
    RelationsHarness h;
    const Family family(h.db);
    family.fatherLinks(h.db);
    family.motherLinks(h.db);
    for (const auto& [surname, date] :
         {std::pair{"LEONI", "07/07/1978"}, {"MANCA", "08/08/1977"}, {"NANNI", "09/09/1976"}}) {
        h.db.marry(h.db.addPerson(surname, "XENO", date, Male), family.a);
    }
    for (const auto& [surname, date] :
         {std::pair{"OTTO", "01/02/2001"}, {"PAGANI", "02/02/2002"}}) {
        h.db.link(family.a, h.db.addPerson(surname, "YURI", date), Female);
    }
    h.show("ALFA");
    QCOMPARE(h.column("List1").size(), 3);

    QSignalSpy spouseKeyChanges(h.control<QListWidget>("List1")->selectionModel(),
                                &QItemSelectionModel::selectionChanged);
    h.clickRow("List3", 2);
    QCOMPARE(h.selectedRows(MarriageLists), (QStringList{"2", "2", "2", "2"}));
    QCOMPARE(h.selectedRows(ChildLists), NoneSelected4);
    QCOMPARE(h.selectedRows(SiblingLists), NoneSelected5);
    QCOMPARE(spouseKeyChanges.size(), 1);
    h.clickRow("List3", 2);  // already in step: nothing moves again
    QCOMPARE(spouseKeyChanges.size(), 1);

    h.clickRow("List13", 1);
    QCOMPARE(h.selectedRows(SiblingLists), (QStringList{"1", "1", "1", "1", "1"}));
    h.clickRow("List5", 1);
    QCOMPARE(h.selectedRows(ChildLists), (QStringList{"1", "1", "1", "1"}));
    h.clickRow("List7", 0);
    QCOMPARE(h.selectedRows(MarriageLists), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(h.selectedRows(ChildLists), (QStringList{"1", "1", "1", "1"}));
    QCOMPARE(h.selectedRows(SiblingLists), (QStringList{"1", "1", "1", "1", "1"}));
}

QTEST_MAIN(RelationsLoadingTest)
#include "RelationsLoadingTest.moc"
