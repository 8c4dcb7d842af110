#include "RegistryFixture.h"
#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PersonKey.h"

#include <QTest>

using namespace radici;

namespace {

// What the result frame shows: surname, given name, birth date, place, position.
QStringList ResultFrame(QWidget& window) {
    QStringList shown;
    for (const char* name : {"Label22", "Label23", "Label14", "Label16", "Label15"}) {
        shown.append(Shown(window, name));
    }
    return shown;
}

// Every row of the latest search, stepping with ">" from the first.
QStringList SurnamesFound(QWidget& window) {
    QStringList found;
    Click(window, "trova_0");
    for (QString last; Shown(window, "Label15") != last;) {
        last = Shown(window, "Label15");
        found.append(Shown(window, "Label22") + " " + Shown(window, "Label23"));
        Click(window, "trova_2");
    }
    return found;
}

void AddFamily(TestDatabase& database) {
    struct Row {
        const char* surname;
        const char* givenName;
        const char* birthDate;
        const char* place;
        const char* country;
    };
    const Row rows[] = {
        {"ROSSI", "MARIA", "15/07/1920", "ROMA", "ITALIA"},
        {"ROSSETTI", "MARIO", "02/03/1890", "PISA", ""},
        {"ROSA", "ANNA", "10/10/1950", "BARI", ""},
        {"BIANCHI", "ROSSANA", "01/01/1900", "", ""},
        {"VERDI", "NICOLÒ", "05/05/1905", "", ""},
        {"D'ANGELO", "LUCA", "06/06/1906", "", ""},
        {"AROSIO", "PIETRO", "07/07/1907", "", ""},
        {"ROSSI", "ANNA", "15/07/1920", "", ""},
    };
    for (const Row& row : rows) {
        Person person;
        person.cognome = QString::fromUtf8(row.surname);
        person.nome = QString::fromUtf8(row.givenName);
        person.idrecord =
            ComposeKey(person.cognome, person.nome, row.birthDate, DateRule::ExactlyTenCharacters);
        person.datanasc = ReadDayFirstDate(row.birthDate).value();
        person.luogonasc = row.place;
        person.nazionenasc = row.country;
        database.addPerson(person);
    }
}

}  // namespace

class RegistrySearchTest : public QObject {
    Q_OBJECT
private slots:
    void findsByTheBeginningOfTheSurnameOldestFirst();
    void findsByTheBeginningOfTheGivenName();
    void matchesLettersInAnyCaseAccentsIncluded();
    void wildcardsStandForCharactersAndEverythingElseIsLiteral_data();
    void wildcardsStandForCharactersAndEverythingElseIsLiteral();
    void navigationStopsAtBothEnds();
    void navigationBeforeAnySearchDoesNothing();
    void findingNobodyEmptiesTheResultFrame();
    void blankSearchTextDoesNothing();
    void enterSearchesAndSwitchingFieldWaitsForTheNextSearch();
    void resultIsKeptAcrossClosingAndReopening();
    void failingSearchTellsWhyAndKeepsTheResult();
};

void RegistrySearchTest::findsByTheBeginningOfTheSurnameOldestFirst() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        Search(window, "Ros");
        QCOMPARE(ResultFrame(window),
                 QStringList({"ROSSETTI", "MARIO", "02/03/1890", "PISA", "1/4"}));
        QVERIFY(Enabled(window, "Command3"));
        // Born the same day: surname, then given name.
        QCOMPARE(SurnamesFound(window),
                 QStringList({"ROSSETTI MARIO", "ROSSI ANNA", "ROSSI MARIA", "ROSA ANNA"}));
        Click(window, "trova_0");
        Click(window, "trova_2");
        Click(window, "trova_2");
        QCOMPARE(ResultFrame(window), QStringList({"ROSSI", "MARIA", "15/07/1920", "ROMA", "3/4"}));
        QCOMPARE(Shown(window, "Label17"), QStringLiteral("ITALIA"));
        QCOMPARE(Shown(window, "Label13"), QStringLiteral("ROSMAR15/07/1920"));
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistrySearchTest::findsByTheBeginningOfTheGivenName() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        Search(window, "ros", true);
        QCOMPARE(SurnamesFound(window), QStringList({"BIANCHI ROSSANA"}));
        Search(window, "an", true);
        QCOMPARE(SurnamesFound(window), QStringList({"ROSSI ANNA", "ROSA ANNA"}));
    });
}

void RegistrySearchTest::matchesLettersInAnyCaseAccentsIncluded() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        Search(window, "nicolò", true);
        QCOMPARE(SurnamesFound(window), QStringList({"VERDI NICOLÒ"}));
        Search(window, "NiCoLÒ", true);
        QCOMPARE(SurnamesFound(window), QStringList({"VERDI NICOLÒ"}));
        Search(window, "d'an");
        QCOMPARE(SurnamesFound(window), QStringList({"D'ANGELO LUCA"}));
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistrySearchTest::wildcardsStandForCharactersAndEverythingElseIsLiteral_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("star anywhere") << "*ros"
                                   << QStringList({"ROSSETTI MARIO", "AROSIO PIETRO", "ROSSI ANNA",
                                                   "ROSSI MARIA", "ROSA ANNA"});
    QTest::newRow("star inside") << "r*a" << QStringList({"ROSA ANNA"});
    QTest::newRow("question mark")
        << "r?ss" << QStringList({"ROSSETTI MARIO", "ROSSI ANNA", "ROSSI MARIA"});
    QTest::newRow("percent") << "%" << QStringList({"%PERCENT X"});
    QTest::newRow("underscore") << "_OSSI" << QStringList();
    QTest::newRow("double quote") << "\"" << QStringList({"\"QUOTED\" Y"});
    QTest::newRow("statement") << "x\" or 1=1 or cognome like \"" << QStringList();
    QTest::newRow("single quote") << "' or ''='" << QStringList();
}

void RegistrySearchTest::wildcardsStandForCharactersAndEverythingElseIsLiteral() {
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.database.addPerson("%PERCENT", "X", "01/01/2000");
    fixture.database.addPerson("\"QUOTED\"", "Y", "01/01/2001");
    fixture.use([&](QDialog& window) {
        Search(window, text);
        if (found.isEmpty()) {
            QCOMPARE(fixture.toolkit.texts(), QStringList({"Nessun dato disponibile"}));
        } else {
            QCOMPARE(SurnamesFound(window), found);
        }
    });
    QCOMPARE(fixture.database.personCount(), 10);
}

void RegistrySearchTest::navigationStopsAtBothEnds() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        const QStringList first = ResultFrame(window);
        Click(window, "trova_1");
        QCOMPARE(ResultFrame(window), first);
        Click(window, "trova_2");
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("2/4"));

        Click(window, "trova_3");
        const QStringList last = ResultFrame(window);
        QCOMPARE(last, QStringList({"ROSA", "ANNA", "10/10/1950", "BARI", "4/4"}));
        Click(window, "trova_2");
        QCOMPARE(ResultFrame(window), last);
        Click(window, "trova_1");
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("3/4"));
        Click(window, "trova_0");
        QCOMPARE(ResultFrame(window), first);
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistrySearchTest::navigationBeforeAnySearchDoesNothing() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        for (const char* button : {"trova_0", "trova_1", "trova_2", "trova_3"}) {
            Click(window, button);
            QCOMPARE(ResultFrame(window), QStringList({"", "", "", "", ""}));
            QVERIFY(!Enabled(window, "Command3"));
        }
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistrySearchTest::findingNobodyEmptiesTheResultFrame() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([&](QDialog& window) {
        Search(window, "ros");
        Search(window, "zz");
        QCOMPARE(fixture.toolkit.texts(), QStringList({"Nessun dato disponibile"}));
        QCOMPARE(ResultFrame(window), QStringList({"", "", "", "", ""}));
        QVERIFY(Shown(window, "Label13").isEmpty());
        QVERIFY(!Enabled(window, "Command3"));
        // The empty result stays the current one: the buttons have nothing to show.
        Click(window, "trova_3");
        QCOMPARE(ResultFrame(window), QStringList({"", "", "", "", ""}));
        Click(window, "Command4");
        QCOMPARE(fixture.toolkit.texts(),
                 QStringList({"Nessun dato disponibile", "Nessun dato disponibile"}));
        QVERIFY(window.isVisible());
    });
}

void RegistrySearchTest::blankSearchTextDoesNothing() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        Click(window, "trova_2");
        const QStringList shown = ResultFrame(window);
        Search(window, "   ");
        QCOMPARE(ResultFrame(window), shown);
        Search(window, "");
        QCOMPARE(ResultFrame(window), shown);
    });
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistrySearchTest::enterSearchesAndSwitchingFieldWaitsForTheNextSearch() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) {
        Type(window, "Text1", "  bian  ");
        PressKey(window, "Text1", Qt::Key_Return);
        QCOMPARE(Shown(window, "Label23"), QStringLiteral("ROSSANA"));

        Click(window, "Option1_1");
        QCOMPARE(Shown(window, "Label23"), QStringLiteral("ROSSANA"));
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("1/1"));
        Click(window, "Command1");
        QCOMPARE(Shown(window, "Label22"), QString());
    });
    QCOMPARE(fixture.toolkit.texts(), QStringList({"Nessun dato disponibile"}));
}

void RegistrySearchTest::resultIsKeptAcrossClosingAndReopening() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([](QDialog& window) { Search(window, "ros"); });
    fixture.use([](QDialog& window) {
        QCOMPARE(ResultFrame(window), QStringList({"", "", "", "", ""}));
        Click(window, "trova_3");
        QCOMPARE(ResultFrame(window), QStringList({"ROSA", "ANNA", "10/10/1950", "BARI", "4/4"}));
        QVERIFY(Enabled(window, "Command3"));
    });
    // A person created later is found only by a new search.
    fixture.database.addPerson("ROSSINI", "GIOACHINO", "29/02/1792");
    fixture.use([](QDialog& window) {
        Click(window, "trova_0");
        QCOMPARE(Shown(window, "Label22"), QStringLiteral("ROSSETTI"));
        Search(window, "ros");
        QCOMPARE(Shown(window, "Label22"), QStringLiteral("ROSSINI"));
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("1/5"));
    });
}

void RegistrySearchTest::failingSearchTellsWhyAndKeepsTheResult() {
    RegistryFixture fixture;
    AddFamily(fixture.database);
    fixture.use([&](QDialog& window) {
        Search(window, "ros");
        const QStringList shown = ResultFrame(window);
        fixture.context.connection.close();
        Search(window, "bian");
        QCOMPARE(fixture.toolkit.texts(), QStringList({ConnectionClosed().description()}));
        QVERIFY(!ConnectionClosed().description().isEmpty());
        QCOMPARE(ResultFrame(window), shown);
        QVERIFY(Enabled(window, "Command3"));
    });
}

QTEST_MAIN(RegistrySearchTest)
#include "RegistrySearchTest.moc"
