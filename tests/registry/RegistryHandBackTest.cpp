#include "RegistryDriver.h"
#include "RegistryFixture.h"

#include <QTest>

using namespace radici;

namespace {

enum class Leave { Annulla, Escape, CloseBox };

void LeaveWindow(QDialog& window, Leave how) {
    switch (how) {
        case Leave::Annulla:
            Click(window, "Command2");
            break;
        case Leave::Escape:
            PressKey(window, "Text1", Qt::Key_Escape);
            break;
        case Leave::CloseBox:
            window.close();
            break;
    }
}

const QString Blank(PersonKeyLength, QChar(u' '));

}  // namespace

Q_DECLARE_METATYPE(Leave)

class RegistryHandBackTest : public QObject {
    Q_OBJECT
private slots:
    void selezionaHandsBackTheShownPerson();
    void selezionaWithoutAResultStaysOpen();
    void everyOtherWayOutLeavesTheSlotBlank_data();
    void everyOtherWayOutLeavesTheSlotBlank();
    void escapeDoesNothingWhileEditingAndTheCloseBoxStoresNothing();
    void aCreatedPersonIsChosenOnlyAfterASearchShowsIt();
    void driverChoosesAndCancelsThroughTheControls();
};

void RegistryHandBackTest::selezionaHandsBackTheShownPerson() {
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSETTI", "MARIO", "02/03/1890");
    const QString key = fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920");
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        Click(window, "trova_2");
        Click(window, "Command4");
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(fixture.context.selectedPersonKey.text(), key);
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), QStringLiteral("ROSMAR15/07/1920"));
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryHandBackTest::selezionaWithoutAResultStaysOpen() {
    RegistryFixture fixture;
    fixture.context.selectedPersonKey.write("ROSMAR15/07/1920");
    fixture.use([&](QDialog& window) {
        Click(window, "Command4");
        QCOMPARE(fixture.toolkit.texts(), QStringList({"Nessun dato disponibile"}));
        QVERIFY(window.isVisible());
        QVERIFY(!Control(window, "Frame2").isVisible());
    });
    QCOMPARE(fixture.context.selectedPersonKey.text(), Blank);
}

void RegistryHandBackTest::everyOtherWayOutLeavesTheSlotBlank_data() {
    QTest::addColumn<Leave>("how");
    QTest::newRow("Annulla") << Leave::Annulla;
    QTest::newRow("Esc") << Leave::Escape;
    QTest::newRow("close box") << Leave::CloseBox;
}

void RegistryHandBackTest::everyOtherWayOutLeavesTheSlotBlank() {
    QFETCH(Leave, how);
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920");
    fixture.use([](QDialog& window) {
        Search(window, "rossi");
        Click(window, "Command4");
    });
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), QStringLiteral("ROSMAR15/07/1920"));

    // A result is shown and could be chosen, but the user leaves.
    fixture.use([how](QDialog& window) {
        Search(window, "rossi");
        LeaveWindow(window, how);
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(fixture.context.selectedPersonKey.text(), Blank);
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

void RegistryHandBackTest::escapeDoesNothingWhileEditingAndTheCloseBoxStoresNothing() {
    RegistryFixture fixture;
    fixture.context.selectedPersonKey.write("ROSMAR15/07/1920");
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Maria", "15/07/1920"});
        PressKey(window, "Text2", Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(Shown(window, "Text2"), QStringLiteral("Maria"));
        window.close();
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(fixture.context.selectedPersonKey.text(), Blank);
    QCOMPARE(fixture.database.personCount(), 0);
}

void RegistryHandBackTest::aCreatedPersonIsChosenOnlyAfterASearchShowsIt() {
    RegistryFixture fixture;
    const QString shown = fixture.database.addPerson("ROSSETTI", "MARIO", "02/03/1890");
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        Click(window, "Command5");
        TypePerson(window, {"Rossi", "Maria", "15/07/1920"});
        Click(window, "Command6");
        Click(window, "Command4");
    });
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), shown);

    fixture.use([](QDialog& window) {
        Search(window, "ros");
        Click(window, "trova_3");
        Click(window, "Command4");
    });
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), QStringLiteral("ROSMAR15/07/1920"));
}

void RegistryHandBackTest::driverChoosesAndCancelsThroughTheControls() {
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSETTI", "MARIO", "02/03/1890");
    fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920");
    fixture.database.addPerson("BIANCHI", "NICOLÒ", "01/01/1900");

    fixture.toolkit.onNextModal(ChooseInRegistry("ros", 1));
    fixture.toolkit.showModal(fixture.window);
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), QStringLiteral("ROSMAR15/07/1920"));

    fixture.toolkit.onNextModal(ChooseInRegistry(QString::fromUtf8("nicolò"), 0, true));
    fixture.toolkit.showModal(fixture.window);
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), QString::fromUtf8("BIANIC01/01/1900"));

    fixture.toolkit.onNextModal(CancelRegistry());
    fixture.toolkit.showModal(fixture.window);
    QCOMPARE(fixture.context.selectedPersonKey.text(), Blank);
    QCOMPARE(fixture.toolkit.modalWindows(), QStringList({"cerca", "cerca", "cerca"}));
    QVERIFY(fixture.toolkit.texts().isEmpty());
}

QTEST_MAIN(RegistryHandBackTest)
#include "RegistryHandBackTest.moc"
