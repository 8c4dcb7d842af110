#include "Driver.h"
#include "TestDatabase.h"
#include "personcard/PersonCardWindow.h"
#include "ui/AppContext.h"

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
        QCOMPARE(family.create(Born("", "Gio", "?")), "___GIO~0000~0001");
        QCOMPARE(family.database.person("ROSGIO~1920~0001"), "ROSSI|GIOVANNA|0|1920-07-15|||||");
        QCOMPARE(family.database.column(BirthInPart, "ROSGIO~1920~0002"), QStringList{"1920"});
        QVERIFY(!family.card.refusal(Born(" ", "", "1850")).isEmpty());
    }

    // A registry key locks the names, the birth date and a known sex; an unknown sex is set once.
    // A death date another program wrote in a form no one reads gives way only to a whole date.
    void registryKeyLocksAndOwnKeyDoesNot() {
        Family family;
        const QString key = family.database.addPerson("ROSSI", "MARIA", "15/07/1920");
        family.database.execute("update anagrafica set sesso = null, datamorte = 'verso il 1980'");
        QVERIFY(family.card.load(key).ok());
        QVERIFY(family.card.isLocked(CardLock::Names) && !family.card.isLocked(CardLock::Sex));
        CardFields typed = Born("BIANCHI", "MARIA", "1921");
        typed.sex = Female;
        typed.deathDate = "1980";
        QVERIFY(family.card.refusal(typed).value(0).contains("\"verso il 1980\""));
        typed.deathDate = "03/04/1980";
        QVERIFY(family.card.save(typed).ok());
        QCOMPARE(family.database.person(key), "ROSSI|MARIA|1|1920-07-15|||1980-04-03||");
        QVERIFY(family.card.isLocked(CardLock::Sex));
        const QString own = family.create(Born("Li", "Wei", "1950"));
        QVERIFY(family.card.save(Born("Lin", "Wei", "12/03/1950")).ok());
        QCOMPARE(family.database.person(own), "LIN|WEI|0|1950-03-12|||||");
        QCOMPARE(family.database.column(BirthInPart, own), QStringList());
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
        PersonCardWindow window(family.context);
        family.toolkit.onNextModal([&](QDialog& shown) {
            family.toolkit.onNextModal(ChooseInRegistry("VERDI"));
            Click(shown, "scegli");
            QCOMPARE(Shown(shown, {"comuneNascita", "dataNascita", "chiave"}),
                     "SAN GIOVANNI IN PERSICETO|dal 1850 al 1855|" + key);
            Type(shown, "comuneMorte", "Bologna");
            Type(shown, "dataMorte", "ieri");
            Click(shown, "salva");
            QCOMPARE(family.toolkit.texts.last(),
                     "Attenzione... la data di morte \"ieri\" non è valida.\r" + TypedDateForms());
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
        });
        family.toolkit.showModal(window);
        QCOMPARE(family.database.person("LI_WEI~1950~0001"), "LI|WEI|1||||||");
        QCOMPARE(family.database.column(BirthInPart, "LI_WEI~1950~0001"), QStringList{"BEF 1950"});
    }
};

QTEST_MAIN(PersonCardTest)
#include "PersonCardTest.moc"
