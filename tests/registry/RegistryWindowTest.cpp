#include "Driver.h"
#include "RawRows.h"
#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace radici;

namespace {

const QString BadDeathDate = QStringLiteral(
    "Attenzione... la data di morte non è valida.\rLa data deve avere il formato: gg/mm/aaaa");
const QStringList ResultFrame = {"Label22", "Label23", "Label14", "Label16", "Label17", "Label15"};
// The person-data boxes in their order on screen.
const QStringList PersonBoxes = {"Text9", "Text2", "Text3", "Text4",
                                 "Text5", "Text8", "Text7", "Text6"};

// A registry window over a file with Maria Rossi, born in Rome, and four others; or with one
// row another program wrote: a surname and a place longer than their boxes, dates the program
// cannot read, a sex code beyond 0 and 1 and a NUL inside a country.
struct Registry {
    explicit Registry(bool foreign = false) {
        if (foreign) {
            database.execute(
                "insert into anagrafica values ('ROSMAR15/07/1920', 'ROSSI DI SAN GIOVANNI IN "
                "PERSICETO', 'MARIA', 65536, '15/07/1920', 'SAN GIOVANNI IN PERSICETO', 'ITA' || "
                "char(0) || 'LIA', 19201345, 'abc', null)");
        } else {
            database.addPerson("ROSSETTI", "MARIO", "02/03/1890");
            database.addPerson("ROSSI", "MARIA", "15/07/1920", Female);
            database.execute("update anagrafica set luogonasc = 'ROMA', nazionenasc = 'ITALIA'");
            database.addPerson("ROSSI", "ANNA", "15/07/1920", Female);
            database.addPerson("ROSA", "ANNA", "10/10/1950");
            database.addPerson("BIANCHI", "ROSSANA", "01/01/1900");
        }
        if (!context.connection.open(database.path()).ok()) qFatal("cannot open the database");
    }

    void use(ScriptedToolkit::ModalStep step) {
        toolkit.onNextModal(std::move(step));
        toolkit.showModal(window);
    }

    TestDatabase database;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, database.folder()};
    RegistryWindow window{context};
};

void Search(QWidget& window, const QString& text, const QString& field = "Option1_0") {
    Retype(window, "Text1", text);
    Click(window, field);
    Click(window, "Command1");
}

// Every row of the latest search, stepping with ">" from the first until the caption stays.
QString Found(QWidget& window) {
    QStringList found;
    Click(window, "trova_0");
    for (QString last; Shown(window, {"Label15"}) != last; Click(window, "trova_2")) {
        last = Shown(window, {"Label15"});
        found.append(Shown(window, {"Label22", "Label23", "Label15"}));
    }
    return found.join(", ");
}

void TypePerson(QWidget& window, const QStringList& texts) {
    for (qsizetype box = 0; box < texts.size(); ++box) Type(window, PersonBoxes[box], texts[box]);
}

}  // namespace

class RegistryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void browsesAndHandsBackOnlyAChosenPerson() {
        Registry registry;
        registry.use([&](QDialog& window) {
            Search(window, "Ros");
            QCOMPARE(Found(window),
                     "ROSSETTI|MARIO|1/4, ROSSI|ANNA|2/4, ROSSI|MARIA|3/4, ROSA|ANNA|4/4");
            Click(window, "trova_1");
            QCOMPARE(Shown(window, ResultFrame), "ROSSI|MARIA|15/07/1920|ROMA|ITALIA|3/4");
            Search(window, "ros", "Option1_1");
            QCOMPARE(Found(window), "BIANCHI|ROSSANA|1/1");
            Search(window, "zz");
            QCOMPARE(Shown(window, ResultFrame), "|||||");
            Click(window, "Command4");
            QCOMPARE(registry.toolkit.texts.join('/'),
                     "Nessun dato disponibile/Nessun dato disponibile");
            Retype(window, "Text1", "rossi");
            QTest::keyClick(&Control(window, "Text1"), Qt::Key_Return);
            Click(window, "trova_2");
            Click(window, "Command4");
        });
        QCOMPARE(registry.context.selectedPersonKey.text(), "ROSMAR15/07/1920");
        const auto leave = [](QDialog& window) { window.close(); };
        for (const auto& way : {ScriptedToolkit::ModalStep(leave), CancelRegistry(),
                                ScriptedToolkit::ModalStep([](QDialog& window) {
                                    QTest::keyClick(&Control(window, "Text1"), Qt::Key_Escape);
                                })}) {
            registry.context.selectedPersonKey.write("ROSMAR15/07/1920");
            registry.use([&](QDialog& window) {
                QCOMPARE(Shown(window, ResultFrame + QStringList{"Text1"}), "||||||");
                Click(window, "Command4");  // nothing shown, nothing chosen
                Search(window, "rossi");
                Click(window, "Command5");
                QTest::keyClick(&Control(window, "Text9"), Qt::Key_Escape);  // not while editing
                Click(window, "Command7");
                way(window);
                QVERIFY(!window.isVisible());
            });
            QCOMPARE(registry.context.selectedPersonKey.trimmed(), "");
        }
        QCOMPARE(registry.toolkit.texts.size(), 5);  // "Nessun dato disponibile" each time
    }

    void createsAPersonFromTheTypedBoxes() {
        Registry registry;
        registry.use([](QDialog& window) {
            Click(window, "Command5");
            // The date box wants ten characters; a name change takes any valid date.
            TypePerson(window, {"  Ros", " Maria", "5/7/1920"});
            QCOMPARE(Shown(window, {"Label20"}), "RosMar");
            Type(window, "Text9", "si ");
            TypePerson(window, {"", "", "", " Città di Castello ", "Italia  ", "3/4/1980",
                                "Perugia", "italia"});
            Click(window, "sesso_1");
            Click(window, "Command6");
            Click(window, "Command5");  // "Maschio" is chosen again for the next person
            TypePerson(window, {"Rossi", "Mario", "16/07/1920"});
            Click(window, "Command6");
        });
        QCOMPARE(registry.database.person("ROSMAR05/07/1920"),
                 "ROSSI|MARIA|1|1920-07-05|CITTÀ DI CASTELLO|ITALIA|1980-04-03|PERUGIA|ITALIA");
        QCOMPARE(registry.database.person("ROSMAR16/07/1920").section(u'|', 0, 2), "ROSSI|MARIO|0");
        QVERIFY(registry.toolkit.texts.isEmpty());
    }

    // A correction keeps what the user left alone exactly as stored: a sex not known (whatever
    // was clicked before), a birth known in part shown short, a place longer than its box. A
    // death date typed replaces the one known in part.
    void correctionKeepsAPersonKnownInPart() {
        Registry registry;
        const QString key = "ROSGIO~1850~0001";
        registry.database.insert(
            "insert into anagrafica (idrecord, cognome, nome, sesso, luogonasc) "
            "values (?1, ?2, ?3, null, ?4)",
            {key, "ROSSI", "GIOVANNI", "SAN GIOVANNI IN PERSICETO"});
        DatesInPartTable& dates = registry.context.connection.datesInPart();
        QVERIFY(dates.setPerson(key, {"ABT 1850", "BET 1900 AND 1905"}).ok());
        const auto correct = [](QDialog& window, const QString& deathDate) {
            Search(window, "giov", "Option1_1");
            QCOMPARE(Shown(window, {"Label23", "Label14"}), "GIOVANNI|ca. 1850");
            Click(window, "Command3");
            QCOMPARE(Shown(window, {"Text3", "Text8"}), "ca. 1850|tra il 1900 e il 1905");
            for (const char* option : {"sesso_0", "sesso_1"})
                QVERIFY(!static_cast<QRadioButton&>(Control(window, option)).isChecked());
            if (!deathDate.isEmpty()) Retype(window, "Text8", deathDate);
            Click(window, "Command8");
        };
        registry.use([&](QDialog& window) {
            Click(window, "Command5");
            Click(window, "sesso_1");
            Click(window, "Command7");
            correct(window, "");
            QCOMPARE(registry.database.person(key),
                     "ROSSI|GIOVANNI|||SAN GIOVANNI IN PERSICETO||||");
            QCOMPARE(dates.ofPerson(key).value(),
                     PersonDatesInPart({"ABT 1850", "BET 1900 AND 1905"}));
            correct(window, "3/4/1903");
        });
        QCOMPARE(registry.database.person(key),
                 "ROSSI|GIOVANNI|||SAN GIOVANNI IN PERSICETO||1903-04-03||");
        QCOMPARE(dates.ofPerson(key).value(), PersonDatesInPart({"ABT 1850", ""}));
    }

    // A duplicate key or a death date that is no date keeps the typed data and stores nothing;
    // a correction keeps the key.
    void refusalsKeepTheTypedDataAndCorrectionKeepsTheKey() {
        Registry registry;
        const QString maria = registry.database.person("ROSMAR15/07/1920");
        registry.use([&](QDialog& window) {
            Click(window, "Command5");
            TypePerson(window, {"Rossetti", "Mario", "15/07/1920", "Pisa"});
            Click(window, "Command6");
            QCOMPARE(Shown(window, PersonBoxes), "Rossetti|Mario|15/07/1920|Pisa||||");
            Retype(window, "Text3", "15/07/1921");
            Type(window, "Text8", "31/02/1980");
            Click(window, "Command6");
            QCOMPARE(Shown(window, {"Text8", "Label20"}), "31/02/1980|RosMar15/07/1921");
            Click(window, "Command7");
            QCOMPARE(registry.database.personCount(), 5);

            Search(window, "rossi");
            Click(window, "trova_3");
            Click(window, "Command3");
            QCOMPARE(Shown(window, PersonBoxes + QStringList{"Label20"}),
                     "ROSSI|MARIA|15/07/1920|ROMA|ITALIA||||ROSMAR15/07/1920");
            QVERIFY(!Control(window, "Text9").isEnabled() && !Control(window, "Text3").isEnabled());
            Retype(window, "Text4", " Roma Capitale ");
            Type(window, "Text8", "1990");
            Click(window, "Command8");
            QCOMPARE(Shown(window, {"Text4", "Text8"}), " Roma Capitale |1990");
            QCOMPARE(registry.database.person("ROSMAR15/07/1920"), maria);
            Retype(window, "Text8", "2/11/1990");
            Click(window, "Command8");
            Click(window, "trova_3");
            QCOMPARE(Shown(window, {"Label16"}), "ROMA CAPITALE");
        });
        QCOMPARE(registry.toolkit.texts,
                 QStringList({"Attenzione... il nominativo creato già esiste in archivio. "
                              "Creazione impossibile",
                              BadDeathDate, BadDeathDate}));
        QCOMPARE(registry.database.person("ROSMAR15/07/1920"),
                 "ROSSI|MARIA|1|1920-07-15|ROMA CAPITALE|ITALIA|1990-11-02||");
    }
    // A correction writes only what the user changed; a row changed meanwhile is not written.
    void foreignValuesAreKeptAsTheyAre() {
        Registry registry(true);
        TestDatabase& db = registry.database;
        ScriptedToolkit& toolkit = registry.toolkit;
        QWidget& window = registry.window;
        window.show();
        const auto search = [&window] { Search(window, "ross"); };
        const QString all =
            "idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, "
            "datamorte, luogomorte, nazionemorte";
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

        // A freed row id goes to the next new person: the kept result must not show them.
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

        // The sex option chosen by a screen reader is stored.
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

QTEST_MAIN(RegistryWindowTest)
#include "RegistryWindowTest.moc"
