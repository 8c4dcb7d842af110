#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

using namespace radici;

namespace {

const QString MariaKey = QStringLiteral("ROSMAR15/07/1920");

// A registry window over a fresh database file, with the program's connection open and the
// scripted toolkit answering.
struct RegistryFixture {
    RegistryFixture() {
        if (!context.connection.open(database.path()).ok()) qFatal("cannot open the test database");
    }

    // Shows the window, runs the step, then closes it as the close box would if still open.
    void use(ScriptedToolkit::ModalStep step) {
        toolkit.onNextModal(std::move(step));
        toolkit.showModal(window);
    }

    // Seven persons: Maria, born in Rome, with her father, a child and a husband, and others.
    void addFamily() {
        const QString father = database.addPerson("ROSSETTI", "MARIO", "02/03/1890");
        database.addPerson("ROSSI", "MARIA", "15/07/1920", Female);
        database.execute(
            "update anagrafica set luogonasc = 'ROMA', nazionenasc = 'ITALIA' "
            "where nome = 'MARIA'");
        database.addPerson("ROSSI", "ANNA", "15/07/1920", Female);
        database.link(father, MariaKey, Male);
        database.link(MariaKey, database.addPerson("ROSA", "ANNA", "10/10/1950"), Female);
        database.marry(database.addPerson("D'ANGELO", "LUCA", "06/06/1906"), MariaKey, "4/4/1945");
        database.addPerson("BIANCHI", "ROSSANA", "01/01/1900");
        database.addPerson("VERDI", "NICOLÒ", "05/05/1905");
    }

    TestDatabase database;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, database.folder()};
    RegistryWindow window{context};
};

QWidget& Control(QWidget& window, const QString& name) {
    auto* control = window.findChild<QWidget*>(name);
    if (control == nullptr) qFatal("the window has no control %s", qPrintable(name));
    return *control;
}

// What each label, box or button shows.
QStringList Shown(QWidget& window, const QStringList& names) {
    QStringList shown;
    for (const QString& name : names)
        shown.append(Control(window, name).property("text").toString());
    return shown;
}

QString Shown(QWidget& window, const QString& name) { return Shown(window, QStringList{name})[0]; }

bool Enabled(QWidget& window, const QString& name) { return Control(window, name).isEnabled(); }

// Near the left edge, where buttons and radio buttons of any width take it.
void Click(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(5, control.height() / 2));
}

// One key event per character, letters outside ASCII included.
void Type(QWidget& window, const QString& name, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, &Control(window, name), Qt::Key_unknown,
                            QString(character), Qt::NoModifier);
    }
}

void Replace(QWidget& window, const QString& name, const QString& text) {
    qobject_cast<QLineEdit*>(&Control(window, name))->clear();
    Type(window, name, text);
}

void Search(QWidget& window, const QString& text, bool byGivenName = false) {
    Replace(window, "Text1", text);
    Click(window, byGivenName ? "Option1_1" : "Option1_0");
    Click(window, "Command1");
}

// The person-data boxes in their order on screen, then the key label.
const QStringList PersonBoxes = {"Text9", "Text2", "Text3", "Text4",  "Text5",
                                 "Text8", "Text7", "Text6", "Label20"};

// Types into the person-data boxes from the surname on; the rest stay untouched.
void TypePerson(QWidget& window, const QStringList& texts) {
    for (qsizetype box = 0; box < texts.size(); ++box) Type(window, PersonBoxes[box], texts[box]);
}

const QString NothingFound = QStringLiteral("Nessun dato disponibile");
const QString BadDeathDate = QStringLiteral(
    "Attenzione... la data di morte non è valida.\rLa data deve avere il formato: gg/mm/aaaa");
const QStringList ResultFrame = {"Label22", "Label23", "Label14", "Label16", "Label17", "Label15"};
const QStringList EmptyFrame(ResultFrame.size());
const QStringList Browsing = {"Text1",   "Option1_0", "Option1_1", "Command1", "trova_0", "trova_1",
                              "trova_2", "trova_3",   "Command4",  "Command2", "Command5"};

// The controls a user can operate: shown inside the window and enabled.
QStringList Usable(QWidget& window) {
    QStringList usable;
    for (const QString& name : Browsing + QStringList{"Command3", "sesso_0", "sesso_1"} +
                                   PersonBoxes.mid(0, 8) +
                                   QStringList{"Command6", "Command8", "Command7"}) {
        QWidget& control = Control(window, name);
        const QRect placed(control.mapTo(&window, QPoint(0, 0)), control.size());
        if (control.isVisible() && window.rect().contains(placed) && control.isEnabled())
            usable.append(name);
    }
    return usable;
}

bool Checked(QWidget& window, const QString& name) {
    return qobject_cast<QRadioButton*>(&Control(window, name))->isChecked();
}

bool Editing(QWidget& window) { return Control(window, "Frame2").isVisible(); }
bool Creating(QWidget& window) { return Editing(window) && Enabled(window, "Text9"); }
bool Modifying(QWidget& window) { return Editing(window) && Enabled(window, "Command8"); }

// Every row of the latest search, stepping with ">" from the first.
QString Found(QWidget& window) {
    QStringList found;
    Click(window, "trova_0");
    for (QString last; Shown(window, "Label15") != last; Click(window, "trova_2")) {
        last = Shown(window, "Label15");
        found.append(Shown(window, "Label22") + " " + Shown(window, "Label23"));
    }
    return found.join(", ");
}

void OpenMaria(QWidget& window) {
    Search(window, "rossi");
    Click(window, "trova_3");
    Click(window, "Command3");
}

}  // namespace

class RegistryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void eachModeSizesTheWindowAndEnablesItsControls();
    void searchShowsMatchesOldestFirstUntilTheNextSearch();
    void onlySelezionaHandsBackAPerson_data();
    void onlySelezionaHandsBackAPerson();
    void createdPersonIsStoredUpperCaseAndTrimmed();
    void refusalsKeepTheTypedDataAndStoreNothing();
    void correctionKeepsTheKeyAndTheRelations();
    void personGoneSinceTheSearchCannotBeCorrected();
};

void RegistryWindowTest::eachModeSizesTheWindowAndEnablesItsControls() {
    RegistryFixture fixture;
    fixture.addFamily();
    fixture.use([](QDialog& window) {
        QCOMPARE(Usable(window), Browsing);
        Search(window, "maria", true);
        QCOMPARE(Usable(window), Browsing + QStringList{"Command3"});
        const int compactHeight = window.height();

        Click(window, "Command5");
        QVERIFY(window.height() > compactHeight);
        QVERIFY(Checked(window, "sesso_0"));
        QCOMPARE(Usable(window), QStringList({"sesso_0", "sesso_1"}) + PersonBoxes.mid(0, 8) +
                                     QStringList{"Command7"});
        Click(window, "Command7");
        QCOMPARE(window.height(), compactHeight);
        // The result stays shown, but "Modifica" waits until it is shown again.
        QCOMPARE(Shown(window, "Label22"), QStringLiteral("ROSSI"));
        QCOMPARE(Usable(window), Browsing);
        Click(window, "trova_0");
        Click(window, "Command3");
        QCOMPARE(Usable(window), QStringList({"Text4", "Text5", "Text8", "Text7", "Text6",
                                              "Command8", "Command7"}));
    });  // left open while modifying, closed by the close box
    fixture.use([](QDialog& window) {
        QVERIFY(Checked(window, "Option1_0"));
        QCOMPARE(Shown(window, ResultFrame + QStringList{"Text1"}), EmptyFrame + QStringList{""});
        QCOMPARE(Usable(window), Browsing);
        Click(window, "Command5");
        QCOMPARE(Shown(window, PersonBoxes), QStringList(PersonBoxes.size()));
        QVERIFY(Creating(window) && !Enabled(window, "Command6"));
        QVERIFY(Enabled(window, "Text2") && Enabled(window, "Text3"));
    });
}

void RegistryWindowTest::searchShowsMatchesOldestFirstUntilTheNextSearch() {
    RegistryFixture fixture;
    fixture.addFamily();
    fixture.use([&](QDialog& window) {
        for (const char* button : {"trova_0", "trova_1", "trova_2", "trova_3"})
            Click(window, button);
        QCOMPARE(Shown(window, ResultFrame), EmptyFrame);

        // Born the same day: surname, then given name.
        Search(window, "Ros");
        QCOMPARE(Found(window),
                 QStringLiteral("ROSSETTI MARIO, ROSSI ANNA, ROSSI MARIA, ROSA ANNA"));
        const QStringList last = Shown(window, ResultFrame);
        Click(window, "trova_0");
        const QStringList first = Shown(window, ResultFrame);
        Click(window, "trova_1");
        QCOMPARE(Shown(window, ResultFrame), first);
        Click(window, "trova_3");
        QCOMPARE(Shown(window, ResultFrame), last);
        Click(window, "trova_1");
        QCOMPARE(Shown(window, ResultFrame),
                 QStringList({"ROSSI", "MARIA", "15/07/1920", "ROMA", "ITALIA", "3/4"}));
        Search(window, "   ");
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("3/4"));
        Search(window, "ros", true);
        QCOMPARE(Found(window), QStringLiteral("BIANCHI ROSSANA"));
        Search(window, "nIcolò", true);
        QCOMPARE(Found(window), QStringLiteral("VERDI NICOLÒ"));
        QVERIFY(fixture.toolkit.texts().isEmpty());

        Search(window, "zz");
        QCOMPARE(Shown(window, ResultFrame), EmptyFrame);
        QVERIFY(!Enabled(window, "Command3"));
        Click(window, "trova_3");
        QCOMPARE(Shown(window, ResultFrame), EmptyFrame);
        Click(window, "Command4");
        QVERIFY(window.isVisible());
        QCOMPARE(fixture.toolkit.texts(), QStringList({NothingFound, NothingFound}));

        // Enter searches; the field chosen counts only from the next search.
        Replace(window, "Text1", "  bian  ");
        QTest::keyClick(&Control(window, "Text1"), Qt::Key_Return);
        QCOMPARE(Shown(window, "Label23"), QStringLiteral("ROSSANA"));
        Click(window, "Option1_1");
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("1/1"));
        Search(window, "ros");
    });
    fixture.toolkit.clearMessages();
    fixture.database.addPerson("ROSSINI", "GIOACHINO", "29/02/1792");
    fixture.use([&](QDialog& window) {
        QCOMPARE(Shown(window, ResultFrame), EmptyFrame);
        Click(window, "trova_0");
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("1/4"));
        QVERIFY(Enabled(window, "Command3"));
        Search(window, "ros");
        QCOMPARE(Shown(window, "Label22"), QStringLiteral("ROSSINI"));
        const QStringList shown = Shown(window, ResultFrame);

        fixture.context.connection.close();
        Search(window, "bian");
        QCOMPARE(fixture.toolkit.texts(), QStringList({ConnectionClosed().description()}));
        QCOMPARE(Shown(window, ResultFrame), shown);
    });
}

void RegistryWindowTest::onlySelezionaHandsBackAPerson_data() {
    QTest::addColumn<QString>("leave");
    QTest::newRow("Annulla") << "Command2";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close box") << "close";
}

void RegistryWindowTest::onlySelezionaHandsBackAPerson() {
    QFETCH(QString, leave);
    RegistryFixture fixture;
    fixture.addFamily();
    fixture.use([](QDialog& window) {
        Search(window, "rossi");
        Click(window, "trova_2");
        // Creating someone else leaves the shown person the one to choose.
        Click(window, "Command5");
        TypePerson(window, {"Neri", "Carla", "01/01/1960"});
        Click(window, "Command6");
        Click(window, "Command4");
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(fixture.context.selectedPersonKey.text(), MariaKey);
    fixture.use([&](QDialog& window) {
        Search(window, "rossi");
        Click(window, "Command5");
        QTest::keyClick(&Control(window, "Text9"), Qt::Key_Escape);
        QVERIFY(window.isVisible());
        Click(window, "Command7");
        if (leave == "Esc") QTest::keyClick(&Control(window, "Text1"), Qt::Key_Escape);
        if (leave == "close") window.close();
        if (leave == "Command2") Click(window, leave);
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(fixture.context.selectedPersonKey.text(), QString(PersonKeyLength, u' '));
    QCOMPARE(fixture.database.personCount(), 8);
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryWindowTest::createdPersonIsStoredUpperCaseAndTrimmed() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        Type(window, "Text9", "  Ro");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("Ro"));
        Type(window, "Text9", "ss");
        Type(window, "Text2", " Maria");
        Type(window, "Text3", "15/07/192");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar"));
        QVERIFY(!Enabled(window, "Command6"));
        Type(window, "Text3", "0");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar15/07/1920"));
        QVERIFY(Enabled(window, "Command6"));
        QTest::keyClick(&Control(window, "Text3"), Qt::Key_Backspace);
        QVERIFY(!Enabled(window, "Command6"));
        // The date box wants ten characters; a name change takes any valid date.
        Replace(window, "Text3", "5/7/1920");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar"));
        Type(window, "Text9", "i ");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar05/07/1920"));
        TypePerson(window, {"", "", "", " Città di Castello ", "Italia  ", "3/4/1980", "  Perugia",
                            "italia"});
        Click(window, "sesso_1");
        Click(window, "Command6");
        QVERIFY(!Editing(window));
        // "Maschio" is chosen again for the next person.
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Mario", "16/07/1920"});
        Click(window, "Command6");
    });
    const Person maria = fixture.database.person("ROSMAR05/07/1920").value_or(Person());
    QCOMPARE(QStringList({maria.cognome, maria.nome, maria.luogonasc, maria.nazionenasc,
                          maria.luogomorte, maria.nazionemorte}),
             QStringList({"ROSSI", "MARIA", "CITTÀ DI CASTELLO", "ITALIA", "PERUGIA", "ITALIA"}));
    QCOMPARE(maria.datanasc, QDate(1920, 7, 5));
    QCOMPARE(maria.datamorte, QDate(1980, 4, 3));
    QCOMPARE(maria.sesso, Female);
    const auto mario = fixture.database.person("ROSMAR16/07/1920");
    QVERIFY(mario && mario->sesso == Male);
    QCOMPARE(fixture.database.personCount(), 2);
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

// A duplicate key, a death date that is no date, or a store that fails keeps the typed data.
void RegistryWindowTest::refusalsKeepTheTypedDataAndStoreNothing() {
    RegistryFixture fixture;
    fixture.addFamily();
    const auto maria = fixture.database.person(MariaKey);
    fixture.use([&](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossetti", "Mario", "15/07/1920", "Pisa"});
        const QStringList typed = Shown(window, PersonBoxes);
        Click(window, "Command6");
        QVERIFY(Creating(window));
        QCOMPARE(Shown(window, PersonBoxes), typed);
        Replace(window, "Text3", "15/07/1921");
        Type(window, "Text8", "31/02/1980");
        Click(window, "Command6");
        QVERIFY(Creating(window));
        QCOMPARE(Shown(window, "Text8"), QStringLiteral("31/02/1980"));
        Replace(window, "Text8", "");
        Click(window, "Command6");
        QVERIFY(!Editing(window));

        OpenMaria(window);
        Replace(window, "Text4", "Napoli");
        Type(window, "Text8", "1990");
        Click(window, "Command8");
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Text8"), QStringLiteral("1990"));
        QCOMPARE(fixture.toolkit.texts(),
                 QStringList({"Attenzione... il nominativo creato già esiste in archivio. "
                              "Creazione impossibile",
                              BadDeathDate, BadDeathDate}));

        fixture.toolkit.clearMessages();
        fixture.database.execute(
            "create trigger refuse before update on anagrafica "
            "begin select raise(abort, 'protetto'); end");
        Replace(window, "Text8", "");
        Click(window, "Command8");
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Text4"), QStringLiteral("Napoli"));
        QVERIFY(QRegularExpression("^[1-9][0-9]*\r.").match(fixture.toolkit.texts()[0]).hasMatch());

        fixture.toolkit.clearMessages();
        fixture.database.execute(
            "create trigger refuse_new before insert on anagrafica "
            "begin select raise(abort, 'protetto'); end");
        Click(window, "Command7");
        Click(window, "Command5");
        TypePerson(window, {"Verdi", "Anna", "01/01/1950"});
        Click(window, "Command6");
        QVERIFY(Creating(window));
        QCOMPARE(Shown(window, "Text9"), QStringLiteral("Verdi"));
        QCOMPARE(fixture.toolkit.texts().size(), 1);
        QVERIFY(!fixture.toolkit.texts()[0].startsWith("Attenzione"));
    });
    QCOMPARE(fixture.database.personCount(), 8);
    QCOMPARE(fixture.database.person("ROSMAR15/07/1921").value_or(Person()).luogonasc, "PISA");
    QVERIFY(fixture.database.person(MariaKey) == maria);
}

void RegistryWindowTest::correctionKeepsTheKeyAndTheRelations() {
    RegistryFixture fixture;
    fixture.addFamily();
    Person expected = *fixture.database.person(MariaKey);
    const auto links = fixture.database.links();
    const auto marriages = fixture.database.marriages();
    fixture.use([](QDialog& window) {
        OpenMaria(window);
        QCOMPARE(Shown(window, PersonBoxes), QStringList({"ROSSI", "MARIA", "15/07/1920", "ROMA",
                                                          "ITALIA", "", "", "", MariaKey}));
        QVERIFY(Checked(window, "sesso_1"));
        Click(window, "sesso_0");  // locked with the key fields
        Replace(window, "Text4", " Roma Capitale ");
        Type(window, "Text8", "2/11/1990");
        Type(window, "Text7", "  Città di Castello");
        Type(window, "Text6", "italia ");
        Click(window, "Command8");
        QVERIFY(!Editing(window));
        // The result frame shows the correction once the person is shown again.
        QCOMPARE(Shown(window, "Label16"), QStringLiteral("ROMA"));
        Click(window, "trova_3");
        QCOMPARE(Shown(window, "Label16"), QStringLiteral("ROMA CAPITALE"));
    });
    expected.luogonasc = QStringLiteral("ROMA CAPITALE");
    expected.datamorte = QDate(1990, 11, 2);
    expected.luogomorte = QStringLiteral("CITTÀ DI CASTELLO");
    expected.nazionemorte = QStringLiteral("ITALIA");
    QVERIFY(fixture.database.person(MariaKey) == expected);
    QVERIFY(fixture.database.links() == links);
    QVERIFY(fixture.database.marriages() == marriages);

    fixture.use([](QDialog& window) {
        OpenMaria(window);
        QCOMPARE(Shown(window, "Text8"), QStringLiteral("02/11/1990"));
        Replace(window, "Text4", "Napoli");
        Click(window, "Command7");
        OpenMaria(window);
        Replace(window, "Text8", "");
        Click(window, "Command8");
    });
    expected.datamorte = QDate();
    QVERIFY(fixture.database.person(MariaKey) == expected);
    QCOMPARE(fixture.database.personCount(), 7);
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryWindowTest::personGoneSinceTheSearchCannotBeCorrected() {
    RegistryFixture fixture;
    fixture.addFamily();
    fixture.use([&](QDialog& window) {
        Search(window, "rossi");
        Click(window, "trova_3");
        fixture.database.execute("delete from anagrafica where nome = 'MARIA'");
        Click(window, "Command3");
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Label20"), QString());
        Type(window, "Text4", "Roma");
        Click(window, "Command8");
        QVERIFY(Modifying(window));
        Click(window, "Command7");
        Click(window, "trova_0");
        fixture.context.connection.close();
        Click(window, "Command3");
    });
    QCOMPARE(fixture.toolkit.texts(),
             QStringList({"Errore di lettura del record",
                          "Attenzione... dati insufficienti per creare l'indice.\r"
                          "Il cognome e/o il nome deve essre maggiore uguale a 3 caratteri.\r"
                          "La data deve avere il formato: gg/mm/aaaa",
                          "Errore di lettura del record\r" + ConnectionClosed().description()}));
    QCOMPARE(fixture.database.personCount(), 6);
}

QTEST_MAIN(RegistryWindowTest)
#include "RegistryWindowTest.moc"
