#include "RegistryFixture.h"
#include "store/DatabaseConnection.h"

#include <QTest>

using namespace radici;

namespace {

const QString DuplicateMessage = QString::fromUtf8(
    "Attenzione... il nominativo creato già esiste in archivio. Creazione impossibile");

bool Creating(QWidget& window) {
    return Control(window, "Frame2").isVisible() && Enabled(window, "Text9");
}

QStringList PersonBoxes(QWidget& window) {
    QStringList shown;
    for (const char* name :
         {"Text9", "Text2", "Text3", "Text4", "Text5", "Text8", "Text7", "Text6", "Label20"}) {
        shown.append(Shown(window, name));
    }
    return shown;
}

}  // namespace

class RegistryCreateTest : public QObject {
    Q_OBJECT
private slots:
    void keyGrowsAsTheUserTypes();
    void dateBoxWantsTenCharactersWhileNamesTakeAnyValidDate();
    void shortNamesAndImpossibleDatesNeverAllowCreation_data();
    void shortNamesAndImpossibleDatesNeverAllowCreation();
    void storesNamesAndPlacesUpperCaseWithoutBlanks();
    void storesTheChosenSexAndDeathDate();
    void refusesADuplicateKeepingTheTypedData();
    void refusesAnInvalidDeathDateKeepingTheTypedData();
    void storeFailureIsShownAndCreatingGoesOn();
    void lowerAnnullaStoresNothingAndEmptiesTheBoxes();
};

void RegistryCreateTest::keyGrowsAsTheUserTypes() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        Type(window, "Text9", "Ro");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("Ro"));
        Type(window, "Text9", "ssi");
        Type(window, "Text2", "Maria");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar"));
        Type(window, "Text3", "15/07/192");
        QVERIFY(!Enabled(window, "Command6"));
        Type(window, "Text3", "0");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar15/07/1920"));
        QVERIFY(Enabled(window, "Command6"));
        Backspace(window, "Text3");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar"));
        QVERIFY(!Enabled(window, "Command6"));
        Type(window, "Text3", "0");
        QVERIFY(Enabled(window, "Command6"));
    });
}

void RegistryCreateTest::dateBoxWantsTenCharactersWhileNamesTakeAnyValidDate() {
    RegistryFixture fixture;
    fixture.use([&](QDialog& window) {
        Click(window, "Command5");
        Type(window, "Text9", "Ross");
        Type(window, "Text2", "Maria");
        Type(window, "Text3", "5/7/1920");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar"));
        QVERIFY(!Enabled(window, "Command6"));
        Type(window, "Text9", "i");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("RosMar05/07/1920"));
        QVERIFY(Enabled(window, "Command6"));
        Click(window, "Command6");
        QVERIFY(!Creating(window));
    });
    const auto stored = fixture.database.person("ROSMAR05/07/1920");
    QVERIFY(stored.has_value());
    QCOMPARE(stored->datanasc, QDate(1920, 7, 5));
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryCreateTest::shortNamesAndImpossibleDatesNeverAllowCreation_data() {
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("givenName");
    QTest::addColumn<QString>("birthDate");
    QTest::addColumn<QString>("key");
    QTest::newRow("two-letter surname") << "Li"
                                        << "Wei"
                                        << "01/01/1950"
                                        << "LiWei01/01/1950";
    QTest::newRow("two-letter given name") << "Rossi"
                                           << "Al"
                                           << "01/01/1950"
                                           << "RosAl01/01/1950";
    QTest::newRow("31 February") << "Rossi"
                                 << "Maria"
                                 << "31/02/1920"
                                 << "RosMar";
    QTest::newRow("no date") << "Rossi"
                             << "Maria"
                             << ""
                             << "RosMar";
}

void RegistryCreateTest::shortNamesAndImpossibleDatesNeverAllowCreation() {
    QFETCH(QString, surname);
    QFETCH(QString, givenName);
    QFETCH(QString, birthDate);
    QFETCH(QString, key);
    RegistryFixture fixture;
    fixture.use([&](QDialog& window) {
        Click(window, "Command5");
        Type(window, "Text3", birthDate);
        Type(window, "Text9", surname);
        Type(window, "Text2", givenName);
        QCOMPARE(Shown(window, "Label20"), key);
        QVERIFY(!Enabled(window, "Command6"));
        Click(window, "Command6");
        QVERIFY(Creating(window));
    });
    QCOMPARE(fixture.database.personCount(), 0);
}

void RegistryCreateTest::storesNamesAndPlacesUpperCaseWithoutBlanks() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"  Bellò ", " Nicolò", "01/02/1900", " Città di Castello ", "Italia  ",
                            "", "  Perugia", "italia"});
        QCOMPARE(Shown(window, "Label20"), QString::fromUtf8("BelNic01/02/1900"));
        Click(window, "Command6");
        QVERIFY(!Creating(window));
    });
    Person expected;
    expected.idrecord = QStringLiteral("BELNIC01/02/1900");
    expected.cognome = QString::fromUtf8("BELLÒ");
    expected.nome = QString::fromUtf8("NICOLÒ");
    expected.sesso = Male;
    expected.datanasc = QDate(1900, 2, 1);
    expected.luogonasc = QString::fromUtf8("CITTÀ DI CASTELLO");
    expected.nazionenasc = QStringLiteral("ITALIA");
    expected.luogomorte = QStringLiteral("PERUGIA");
    expected.nazionemorte = QStringLiteral("ITALIA");
    const auto stored = fixture.database.person(expected.idrecord);
    QVERIFY(stored.has_value());
    QCOMPARE(stored->cognome, expected.cognome);
    QCOMPARE(stored->luogonasc, expected.luogonasc);
    QVERIFY(*stored == expected);
    QVERIFY(fixture.toolkit.texts().isEmpty());

    // The new person is found by the next search, accents and all.
    fixture.use([](QDialog& window) {
        Search(window, QString::fromUtf8("bellò"));
        QCOMPARE(Shown(window, "Label13"), QStringLiteral("BELNIC01/02/1900"));
    });
}

void RegistryCreateTest::storesTheChosenSexAndDeathDate() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Maria", "15/07/1920", "", "", "3/4/1980"});
        Click(window, "sesso_1");
        Click(window, "Command6");
        QVERIFY(!Creating(window));
        // "Maschio" is chosen again on entering creating.
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Mario", "16/07/1920"});
        Click(window, "Command6");
    });
    const auto maria = fixture.database.person("ROSMAR15/07/1920");
    QVERIFY(maria.has_value());
    QCOMPARE(maria->sesso, Female);
    QCOMPARE(maria->datamorte, QDate(1980, 4, 3));
    QCOMPARE(maria->luogonasc, QString());
    const auto mario = fixture.database.person("ROSMAR16/07/1920");
    QVERIFY(mario.has_value());
    QCOMPARE(mario->sesso, Male);
    QVERIFY(mario->datamorte.isNull());
}

void RegistryCreateTest::refusesADuplicateKeepingTheTypedData() {
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920", Female);
    const Person before = *fixture.database.person("ROSMAR15/07/1920");
    fixture.use([&](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossetti", "Mario", "15/07/1920", "Pisa"});
        const QStringList typed = PersonBoxes(window);
        Click(window, "Command6");
        QCOMPARE(fixture.toolkit.texts(), QStringList({DuplicateMessage}));
        QVERIFY(Creating(window));
        QCOMPARE(PersonBoxes(window), typed);
        QVERIFY(Enabled(window, "Command6"));

        // Changing the data makes it a new person.
        Backspace(window, "Text3");
        Type(window, "Text3", "1");
        Click(window, "Command6");
        QVERIFY(!Creating(window));
    });
    QCOMPARE(fixture.database.personCount(), 2);
    QVERIFY(*fixture.database.person("ROSMAR15/07/1920") == before);
    QCOMPARE(fixture.database.person("ROSMAR15/07/1921")->cognome, QStringLiteral("ROSSETTI"));
}

void RegistryCreateTest::refusesAnInvalidDeathDateKeepingTheTypedData() {
    RegistryFixture fixture;
    fixture.use([&](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Maria", "15/07/1920", "Roma", "Italia", "31/02/1980"});
        const QStringList typed = PersonBoxes(window);
        Click(window, "Command6");
        QCOMPARE(fixture.toolkit.texts(),
                 QStringList({QString::fromUtf8("Attenzione... la data di morte non è valida.\r"
                                                "La data deve avere il formato: gg/mm/aaaa")}));
        QVERIFY(Creating(window));
        QCOMPARE(PersonBoxes(window), typed);
    });
    QCOMPARE(fixture.database.personCount(), 0);
}

void RegistryCreateTest::storeFailureIsShownAndCreatingGoesOn() {
    RegistryFixture fixture;
    fixture.database.execute(
        "create trigger refuse_persons before insert on anagrafica "
        "begin select raise(abort, 'archivio protetto'); end");
    fixture.use([&](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Maria", "15/07/1920"});
        const QStringList typed = PersonBoxes(window);
        Click(window, "Command6");
        QCOMPARE(fixture.toolkit.texts().size(), 1);
        QVERIFY(!fixture.toolkit.texts().first().isEmpty());
        QVERIFY(fixture.toolkit.texts().first() != DuplicateMessage);
        QVERIFY(Creating(window));
        QCOMPARE(PersonBoxes(window), typed);

        fixture.toolkit.clearMessages();
        fixture.context.connection.close();
        Click(window, "Command6");
        QCOMPARE(fixture.toolkit.texts(), QStringList({ConnectionClosed().description()}));
        QVERIFY(Creating(window));
    });
    QCOMPARE(fixture.database.personCount(), 0);
}

void RegistryCreateTest::lowerAnnullaStoresNothingAndEmptiesTheBoxes() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Maria", "15/07/1920", "Roma", "Italia", "01/01/1990",
                            "Milano", "Italia"});
        Click(window, "Command7");
        QVERIFY(!Creating(window));
        Click(window, "Command5");
        QCOMPARE(PersonBoxes(window), QStringList(9));
        QVERIFY(!Enabled(window, "Command6"));
    });
    QCOMPARE(fixture.database.personCount(), 0);
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

QTEST_MAIN(RegistryCreateTest)
#include "RegistryCreateTest.moc"
