#include "RegistryFixture.h"
#include "store/DatabaseConnection.h"

#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

using namespace radici;

namespace {

const QString MariaKey = QStringLiteral("ROSMAR15/07/1920");

bool Modifying(QWidget& window) {
    return Control(window, "Frame2").isVisible() && Enabled(window, "Command8");
}

// Maria with her father, a child and a husband, so a correction can be seen to keep them.
struct Family {
    explicit Family(TestDatabase& database) {
        Person maria;
        maria.idrecord = MariaKey;
        maria.cognome = "ROSSI";
        maria.nome = "MARIA";
        maria.sesso = Female;
        maria.datanasc = QDate(1920, 7, 15);
        maria.luogonasc = "ROMA";
        maria.nazionenasc = "ITALIA";
        database.addPerson(maria);
        const QString father = database.addPerson("ROSSI", "GIUSEPPE", "01/01/1890");
        const QString child = database.addPerson("BIANCHI", "LUCA", "02/02/1950");
        const QString husband = database.addPerson("BIANCHI", "PAOLO", "03/03/1918");
        database.link(father, MariaKey, Male);
        database.link(MariaKey, child, Female);
        database.marry(husband, MariaKey, "04/04/1945");
        links = database.links();
        marriages = database.marriages();
    }
    std::vector<ParentLink> links;
    std::vector<Marriage> marriages;
};

// Opens Maria for correction.
void OpenMaria(QWidget& window) {
    Search(window, "rossi");
    Click(window, "trova_3");
    QCOMPARE(Shown(window, "Label13"), MariaKey);
    Click(window, "Command3");
}

}  // namespace

class RegistryCorrectTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheStoredPersonWithTheKeyFieldsLocked();
    void storesCorrectionsUpperCaseKeepingKeyAndRelations();
    void recordsAndClearsADeathDate();
    void refusesAnInvalidDeathDateKeepingTheTypedData();
    void personGoneSinceTheSearchCannotBeCorrected();
    void storeFailureShowsItsNumberAndKeepsTheTypedData();
    void lowerAnnullaStoresNothing();
};

void RegistryCorrectTest::showsTheStoredPersonWithTheKeyFieldsLocked() {
    RegistryFixture fixture;
    Family family(fixture.database);
    fixture.use([](QDialog& window) {
        OpenMaria(window);
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Label20"), MariaKey);
        const std::pair<const char*, const char*> stored[] = {
            {"Text9", "ROSSI"}, {"Text2", "MARIA"},  {"Text3", "15/07/1920"},
            {"Text4", "ROMA"},  {"Text5", "ITALIA"}, {"Text8", ""}};
        for (const auto& [name, text] : stored) {
            QCOMPARE(Shown(window, name), QString::fromLatin1(text));
        }
        QVERIFY(qobject_cast<QRadioButton*>(&Control(window, "sesso_1"))->isChecked());
        for (const char* locked : {"Text9", "Text2", "Text3", "sesso_0", "sesso_1", "Command6"}) {
            QVERIFY2(!Enabled(window, locked), locked);
        }
        // Typing into a locked box changes nothing.
        Type(window, "Text9", "X");
        Click(window, "sesso_0");
        QCOMPARE(Shown(window, "Text9"), QStringLiteral("ROSSI"));
        QCOMPARE(Shown(window, "Label20"), MariaKey);
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryCorrectTest::storesCorrectionsUpperCaseKeepingKeyAndRelations() {
    RegistryFixture fixture;
    Family family(fixture.database);
    fixture.use([](QDialog& window) {
        OpenMaria(window);
        Replace(window, "Text4", " Roma Capitale ");
        Replace(window, "Text5", "Italia");
        Type(window, "Text7", "  Città di Castello");
        Type(window, "Text6", "italia ");
        Click(window, "Command8");
        QVERIFY(!Modifying(window));
        QVERIFY(!Enabled(window, "Command3"));
        // The result frame shows the corrected person only after it is shown again.
        QCOMPARE(Shown(window, "Label16"), QStringLiteral("ROMA"));
        Click(window, "trova_3");
        QCOMPARE(Shown(window, "Label16"), QStringLiteral("ROMA CAPITALE"));
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
    const auto maria = fixture.database.person(MariaKey);
    QVERIFY(maria.has_value());
    QCOMPARE(maria->luogonasc, QStringLiteral("ROMA CAPITALE"));
    QCOMPARE(maria->nazionenasc, QStringLiteral("ITALIA"));
    QCOMPARE(maria->luogomorte, QString::fromUtf8("CITTÀ DI CASTELLO"));
    QCOMPARE(maria->nazionemorte, QStringLiteral("ITALIA"));
    QCOMPARE(maria->cognome, QStringLiteral("ROSSI"));
    QCOMPARE(maria->nome, QStringLiteral("MARIA"));
    QCOMPARE(maria->datanasc, QDate(1920, 7, 15));
    QCOMPARE(maria->sesso, Female);
    QCOMPARE(fixture.database.personCount(), 4);
    QVERIFY(fixture.database.links() == family.links);
    QVERIFY(fixture.database.marriages() == family.marriages);
}

void RegistryCorrectTest::recordsAndClearsADeathDate() {
    RegistryFixture fixture;
    Family family(fixture.database);
    fixture.use([](QDialog& window) {
        OpenMaria(window);
        Type(window, "Text8", "2/11/1990");
        Click(window, "Command8");
        QVERIFY(!Modifying(window));
        Click(window, "trova_3");
        Click(window, "Command3");
        QCOMPARE(Shown(window, "Text8"), QStringLiteral("02/11/1990"));
    });
    QCOMPARE(fixture.database.person(MariaKey)->datamorte, QDate(1990, 11, 2));

    fixture.use([](QDialog& window) {
        OpenMaria(window);
        Replace(window, "Text8", "");
        Click(window, "Command8");
        QVERIFY(!Modifying(window));
    });
    QVERIFY(fixture.database.person(MariaKey)->datamorte.isNull());
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryCorrectTest::refusesAnInvalidDeathDateKeepingTheTypedData() {
    RegistryFixture fixture;
    Family family(fixture.database);
    const Person before = *fixture.database.person(MariaKey);
    fixture.use([&](QDialog& window) {
        OpenMaria(window);
        Replace(window, "Text4", "Napoli");
        Type(window, "Text8", "1990");
        Click(window, "Command8");
        QCOMPARE(fixture.toolkit.texts(),
                 QStringList({QString::fromUtf8("Attenzione... la data di morte non è valida.\r"
                                                "La data deve avere il formato: gg/mm/aaaa")}));
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Text4"), QStringLiteral("Napoli"));
        QCOMPARE(Shown(window, "Text8"), QStringLiteral("1990"));
    });
    QVERIFY(*fixture.database.person(MariaKey) == before);
}

void RegistryCorrectTest::personGoneSinceTheSearchCannotBeCorrected() {
    RegistryFixture fixture;
    Family family(fixture.database);
    fixture.use([&](QDialog& window) {
        Search(window, "rossi");
        Click(window, "trova_3");
        fixture.database.execute("delete from anagrafica where nome = 'MARIA'");
        Click(window, "Command3");
        QCOMPARE(fixture.toolkit.texts(), QStringList({"Errore di lettura del record"}));
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Label20"), QString());
        QCOMPARE(Shown(window, "Text4"), QString());

        Type(window, "Text4", "Roma");
        Click(window, "Command8");
        QCOMPARE(fixture.toolkit.texts().last(),
                 QStringLiteral("Attenzione... dati insufficienti per creare l'indice.\r"
                                "Il cognome e/o il nome deve essre maggiore uguale a 3 caratteri.\r"
                                "La data deve avere il formato: gg/mm/aaaa"));
        QVERIFY(Modifying(window));
        Click(window, "Command7");
        QVERIFY(!Modifying(window));
    });
    QCOMPARE(fixture.database.personCount(), 3);
}

void RegistryCorrectTest::storeFailureShowsItsNumberAndKeepsTheTypedData() {
    RegistryFixture fixture;
    Family family(fixture.database);
    const Person before = *fixture.database.person(MariaKey);
    fixture.database.execute(
        "create trigger keep_persons before update on anagrafica "
        "begin select raise(abort, 'archivio protetto'); end");
    fixture.use([&](QDialog& window) {
        OpenMaria(window);
        Replace(window, "Text4", "Napoli");
        Click(window, "Command8");
        QCOMPARE(fixture.toolkit.texts().size(), 1);
        const QStringList lines = fixture.toolkit.texts().first().split('\r');
        QVERIFY2(QRegularExpression("^[1-9][0-9]*$").match(lines.first()).hasMatch(),
                 qPrintable(lines.first()));
        QVERIFY(Modifying(window));
        QCOMPARE(Shown(window, "Text4"), QStringLiteral("Napoli"));
    });
    QVERIFY(*fixture.database.person(MariaKey) == before);

    // With the connection closed, reading the person tells why it failed.
    fixture.toolkit.clearMessages();
    fixture.use([&](QDialog& window) {
        Search(window, "rossi");
        fixture.context.connection.close();
        Click(window, "Command3");
        QCOMPARE(fixture.toolkit.texts(), QStringList({"Errore di lettura del record\r" +
                                                       ConnectionClosed().description()}));
    });
}

void RegistryCorrectTest::lowerAnnullaStoresNothing() {
    RegistryFixture fixture;
    Family family(fixture.database);
    const Person before = *fixture.database.person(MariaKey);
    fixture.use([](QDialog& window) {
        OpenMaria(window);
        Replace(window, "Text4", "Napoli");
        Type(window, "Text8", "01/01/1990");
        Click(window, "Command7");
        QVERIFY(!Modifying(window));
        QVERIFY(!Enabled(window, "Command3"));
        QCOMPARE(Shown(window, "Text4"), QString());
        Click(window, "trova_0");
        QVERIFY(Enabled(window, "Command3"));
    });
    QVERIFY(*fixture.database.person(MariaKey) == before);
}

QTEST_MAIN(RegistryCorrectTest)
#include "RegistryCorrectTest.moc"
