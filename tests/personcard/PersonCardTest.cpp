#include "Driver.h"
#include "TestDatabase.h"
#include "personcard/PersonCardWindow.h"
#include "ui/AppContext.h"

#include <QLineEdit>
#include <QTest>

using namespace radici;

namespace {

const QString BirthInPart =
    QStringLiteral("select data from radici_date_persone where idrecord = ?1 and evento = 0");

CardFields Born(const QString& surname, const QString& givenName, const QString& birth) {
    CardFields fields;
    fields.surname = surname;
    fields.givenName = givenName;
    fields.sex = Male;
    fields.birthDate = birth;
    return fields;
}

// The Rossi family's file, with the card and its window over one connection.
struct Family {
    Family() {
        if (!context.connection.open(database.path()).ok()) qFatal("cannot open the database");
    }
    QString create(const CardFields& fields) {
        card.startNew();
        return card.refusal(fields).isEmpty() && card.save(fields).ok() ? card.key() : QString();
    }

    TestDatabase database;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, database.folder()};
    PersonCard card{context.connection};
};

}  // namespace

class PersonCardTest : public QObject {
    Q_OBJECT

private slots:
    // Twins share the registry key, so the second gets Radici's own; so does whoever the registry
    // window could not create.
    void keysForTwinsAndPersonsKnownInPart() {
        Family family;
        QCOMPARE(family.create(Born("Rossi", "Giovanni", "15/07/1920")), "ROSGIO15/07/1920");
        QCOMPARE(family.create(Born(" Rossi", "Giovanna", "15/07/1920")), "ROSGIO~1920~0001");
        QCOMPARE(family.create(Born("Rossi", "Giovannino", "1920")), "ROSGIO~1920~0002");
        QCOMPARE(family.create(Born("Li", "Wei", "01/01/1950")), "LI_WEI~1950~0001");
        QCOMPARE(family.create(Born("", "Gio", "?")), "___GIO~0000~0001");
        QCOMPARE(family.database.person("ROSGIO~1920~0001"), "ROSSI|GIOVANNA|0|1920-07-15|||||");
        QCOMPARE(family.database.column(BirthInPart, "ROSGIO~1920~0002"), QStringList{"1920"});
        QVERIFY(!family.card.refusal(Born(" ", "", "1850")).isEmpty());
    }

    void datesTypedInEachFormAreShownAsTyped() {
        Family family;
        const QStringList stored = {"1850",     "MAR 1850", "ABT 1850",
                                    "BEF 1850", "AFT 1850", "BET 1850 AND 1855"};
        const QStringList typed = {"1850",           "03/1850",      "ca. 1850",
                                   "prima del 1850", "dopo il 1850", "tra il 1850 e il 1855"};
        for (qsizetype form = 0; form < typed.size(); ++form) {
            const QString key = family.create(Born("Bruni", "Ada", typed[form]));
            QCOMPARE(family.database.column(BirthInPart, key), QStringList{stored[form]});
            QCOMPARE(family.card.shown().birthDate, typed[form]);
        }
        const QStringList refused = family.card.refusal(Born("Bruni", "Ada", "1850 circa"));
        QCOMPARE(refused,
                 QStringList({"Attenzione... la data di nascita \"1850 circa\" non è valida.",
                              TypedDateForms()}));
    }

    // A registry key locks the names, the birth date and a known sex; an unknown sex is set once.
    void registryKeyLocksAndUnknownSexIsSetOnce() {
        Family family;
        const QString key = family.database.addPerson("ROSSI", "MARIA", "15/07/1920");
        family.database.execute("update anagrafica set sesso = null");
        QVERIFY(family.card.load(key).ok());
        QVERIFY(family.card.isLocked(CardLock::Names) && !family.card.isLocked(CardLock::Sex));
        CardFields typed = Born("BIANCHI", "MARIA", "1921");
        typed.sex = Female;
        QVERIFY(family.card.save(typed).ok());
        QCOMPARE(family.database.person(key), "ROSSI|MARIA|1|1920-07-15|||||");
        QVERIFY(family.card.isLocked(CardLock::Sex));
        const QString own = family.create(Born("Li", "Wei", "1950"));
        QVERIFY(!family.card.isLocked(CardLock::Names) && !family.card.isLocked(CardLock::Sex));
        QVERIFY(family.card.save(Born("Lin", "Wei", "12/03/1950")).ok());
        QCOMPARE(family.database.person(own), "LIN|WEI|0|1950-03-12|||||");
        QCOMPARE(family.database.column(BirthInPart, own), QStringList());
    }

    // A death date another program wrote in a form no one reads gives way only to a whole date.
    void foreignDeathDateReplacedByAWholeDate() {
        Family family;
        const QString key = family.database.addPerson("ROSSI", "PIETRO", "01/02/1900");
        family.database.execute("update anagrafica set datamorte = 'verso il 1980'");
        QVERIFY(family.card.load(key).ok());
        CardFields typed = family.card.shown();
        QCOMPARE(typed.deathDate, "verso il 1980");
        typed.deathDate = "1980";
        QVERIFY(family.card.refusal(typed).value(0).contains("\"verso il 1980\""));
        typed.deathDate = "03/04/1980";
        QVERIFY(family.card.refusal(typed).isEmpty() && family.card.save(typed).ok());
        QCOMPARE(family.database.person(key), "ROSSI|PIETRO|0|1900-02-01|||1980-04-03||");
    }

    // What the user leaves alone stays as stored, even where no box could have held it.
    void untouchedFieldsAreKeptAsStored() {
        Family family;
        const QString key = family.database.addPerson("VERDI", "ADA", "01/01/1900");
        const QString place = "SAN GIOVANNI\tIN PERSICETO";
        family.database.insert("update anagrafica set luogonasc = ?1, sesso = 7, datanasc = null",
                               {place});
        QVERIFY(
            family.context.connection.datesInPart().setPerson(key, {"FROM 1850 TO 1855", ""}).ok());
        QVERIFY(family.card.load(key).ok());
        QCOMPARE(family.card.shown().birthDate, "dal 1850 al 1855");
        PersonCardWindow window(family.context);
        family.toolkit.onNextModal([&](QDialog& shown) {
            family.toolkit.onNextModal(ChooseInRegistry("VERDI"));
            Click(shown, "scegli");
            QCOMPARE(Shown(shown, {"comuneNascita", "dataNascita", "chiave"}),
                     "SAN GIOVANNI IN PERSICETO|dal 1850 al 1855|" + key);
            QVERIFY(shown.findChild<QLineEdit*>("cognome")->isReadOnly());
            Type(shown, "comuneMorte", "Bologna");
            Type(shown, "dataMorte", "ieri");
            Click(shown, "salva");
            QVERIFY(family.toolkit.texts.last().endsWith(TypedDateForms()));
            Retype(shown, "dataMorte", "dopo il 1900");
            Click(shown, "salva");
            QCOMPARE(Shown(shown, {"dataMorte", "esito"}), "dopo il 1900|Scheda salvata.");
        });
        family.toolkit.showModal(window);
        QCOMPARE(family.database.person(key), "VERDI|ADA|7||" + place + "|||BOLOGNA|");
        QCOMPARE(family.database.column(BirthInPart, key), QStringList{"FROM 1850 TO 1855"});
    }

    void newPersonSavedInTheWindowGetsItsKey() {
        Family family;
        PersonCardWindow window(family.context);
        family.toolkit.onNextModal([&](QDialog& shown) {
            Type(shown, "cognome", "Li");
            Type(shown, "nome", "Wei");
            Click(shown, "femmina");
            Type(shown, "dataNascita", "prima del 1950");
            Click(shown, "salva");
            QCOMPARE(Shown(shown, {"chiave", "esito"}), "LI_WEI~1950~0001|Scheda salvata.");
            QVERIFY(!shown.findChild<QLineEdit*>("nome")->isReadOnly());
        });
        family.toolkit.showModal(window);
        QCOMPARE(family.database.person("LI_WEI~1950~0001"), "LI|WEI|1||||||");
    }
};

QTEST_MAIN(PersonCardTest)
#include "PersonCardTest.moc"
