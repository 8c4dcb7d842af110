#include "RegistryFixture.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace radici;

namespace {

int FromTwips(int twips) { return qRound(twips / 15.0); }

QString Caption(QWidget& control) {
    if (auto* frame = qobject_cast<QGroupBox*>(&control)) {
        return frame->title();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        return label->text();
    }
    return {};
}

// Every control that takes input, in the order the table of modes lists them.
const QStringList Inputs = {"Text1",    "Option1_0", "Option1_1", "Command1", "trova_0",
                            "trova_1",  "trova_2",   "trova_3",   "Command4", "Command2",
                            "Command5", "Command3",  "sesso_0",   "sesso_1",  "Text9",
                            "Text2",    "Text3",     "Text4",     "Text5",    "Text8",
                            "Text7",    "Text6",     "Command6",  "Command8", "Command7"};
const QStringList PersonData = {"Frame2", "Command6", "Command8", "Command7"};

bool InsideWindow(QWidget& window, const QString& name) {
    QWidget& control = Control(window, name);
    const QRect placed(control.mapTo(&window, QPoint(0, 0)), control.size());
    return control.isVisible() && window.rect().contains(placed);
}

// The controls a user can operate: inside the window and enabled through every enclosing frame.
QStringList Usable(QWidget& window) {
    QStringList usable;
    for (const QString& name : Inputs) {
        if (InsideWindow(window, name) && Enabled(window, name)) {
            usable.append(name);
        }
    }
    return usable;
}

}  // namespace

class RegistryLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlCarriesItsCaption();
    void boxesStopAtTheirLengthLimits();
    void compactSizeShowsOnlySearchResultAndUpperButtons();
    void tabOrderStartsWithTheSearchTextThenThePersonData();
    void coloursMarkKeysValuesAndFrames();
    void openingStartsBrowsingAfterAnyEarlierUse();
    void browsingCreatingAndModifyingEnableTheirControls();
    void returningFromCreatingKeepsTheResultButLocksModifica();
    void eachEditingModeOpensCleanAfterTheOther();
};

void RegistryLayoutTest::everyControlCarriesItsCaption() {
    RegistryFixture fixture;
    QCOMPARE(fixture.window.objectName(), QStringLiteral("cerca"));
    QCOMPARE(fixture.window.windowTitle(), QStringLiteral(" ANAGRAFICA PERSONA"));
    const std::pair<const char*, const char*> captions[] = {
        {"Frame1", "Ricerca persona"},
        {"Label1", "Testo di ricerca"},
        {"Option1_0", "Cognome"},
        {"Option1_1", "Nome"},
        {"Command1", ""},
        {"Frame5", "Risultato ricerca"},
        {"Label10", "Cognome:"},
        {"Label11", "Nome:"},
        {"Label12", "Data di nascita:"},
        {"Label18", "Comune:"},
        {"Label19", "Nazione:"},
        {"trova_0", "<<"},
        {"trova_1", "<"},
        {"trova_2", ">"},
        {"trova_3", ">>"},
        {"Command4", "Seleziona"},
        {"Command2", "Annulla"},
        {"Command5", "Crea"},
        {"Command3", "Modifica"},
        {"Frame2", "Anagrafica persona"},
        {"Label9", "Cognome:"},
        {"Label2", "Nome:"},
        {"Frame6", "Sesso"},
        {"sesso_0", "Maschio"},
        {"sesso_1", "Femmina"},
        {"Frame4", "Dati relativi alla nascita"},
        {"Label3", "Data:"},
        {"Label4", "Comune:"},
        {"Label5", "Nazione:"},
        {"Frame3", "Dati relativi alla morte"},
        {"Label8", "Data:"},
        {"Label7", "Comune:"},
        {"Label6", "Nazione:"},
        {"Command6", "Crea record"},
        {"Command8", "Modifica record"},
        {"Command7", "Annulla"},
    };
    for (const auto& [name, caption] : captions) {
        QCOMPARE(Caption(Control(fixture.window, name)), QString::fromLatin1(caption));
    }
    // The search button shows a picture instead, and Enter presses it.
    auto& search = static_cast<QPushButton&>(Control(fixture.window, "Command1"));
    QVERIFY(!search.icon().isNull());
    QVERIFY(search.isDefault());
}

void RegistryLayoutTest::boxesStopAtTheirLengthLimits() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Type(window, "Text1", QString(200, QChar(u'B')));
        QCOMPARE(Shown(window, "Text1").size(), 200);
        Click(window, "Command5");
        const QString longText(40, QChar(u'A'));
        const std::pair<const char*, int> limits[] = {{"Text9", 20}, {"Text2", 30}, {"Text3", 10},
                                                      {"Text4", 20}, {"Text5", 20}, {"Text8", 10},
                                                      {"Text7", 20}, {"Text6", 20}};
        for (const auto& [name, limit] : limits) {
            Type(window, name, longText);
            QCOMPARE(Shown(window, name).size(), limit);
        }
    });
}

void RegistryLayoutTest::compactSizeShowsOnlySearchResultAndUpperButtons() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        QCOMPARE(window.width(), FromTwips(8025));
        for (const char* name :
             {"Frame1", "Frame5", "Command4", "Command2", "Command5", "Command3"}) {
            QVERIFY2(InsideWindow(window, name), name);
        }
        for (const QString& name : PersonData) {
            QVERIFY2(!InsideWindow(window, name), qPrintable(name));
        }
        const int compactHeight = window.height();
        QVERIFY(compactHeight >= FromTwips(3015));
        QVERIFY(compactHeight < FromTwips(3120));

        Click(window, "Command5");
        for (const QString& name : PersonData) {
            QVERIFY2(InsideWindow(window, name), qPrintable(name));
        }
        QCOMPARE(window.width(), FromTwips(8025));
        QVERIFY(window.height() > compactHeight);
    });
}

void RegistryLayoutTest::tabOrderStartsWithTheSearchTextThenThePersonData() {
    RegistryFixture fixture;
    const QStringList expected = {"Text1", "Text9", "Text2", "sesso_0", "sesso_1", "Text3",
                                  "Text4", "Text5", "Text8", "Text7",   "Text6"};
    QStringList chain;
    QWidget* widget = &Control(fixture.window, "Text1");
    do {
        if (Inputs.contains(widget->objectName()) && !chain.contains(widget->objectName())) {
            chain.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != &Control(fixture.window, "Text1"));
    QCOMPARE(chain.mid(0, expected.size()), expected);
}

void RegistryLayoutTest::coloursMarkKeysValuesAndFrames() {
    RegistryFixture fixture;
    fixture.use([](QDialog& window) {
        Click(window, "Command5");
        const QImage image = window.grab().toImage();
        const auto colourAt = [&](const char* name, QPoint offset = {2, 2}) {
            return image.pixelColor(Control(window, name).mapTo(&window, offset));
        };
        QCOMPARE(colourAt("Label20"), QColor(255, 192, 128));
        QCOMPARE(colourAt("Label22"), QColor(Qt::white));
        QCOMPARE(colourAt("Label17"), QColor(Qt::white));
        QCOMPARE(colourAt("Label15"), QColor(Qt::black));
        // Below the date label of the birth and death frames: background, no control. The
        // style shades the inside of a frame by a trace.
        for (const char* frame : {"Frame4", "Frame3"}) {
            const QColor grey = colourAt(frame, {20, 64});
            QVERIFY2(qAbs(grey.red() - 192) <= 4 && grey.red() == grey.green() &&
                         grey.green() == grey.blue(),
                     frame);
        }

        // Some pixel of the caption of the search frame is clearly navy blue.
        const QRect title(Control(window, "Frame1").mapTo(&window, QPoint(0, 0)), QSize(120, 14));
        bool navy = false;
        for (int x = title.left(); x <= title.right() && !navy; ++x) {
            for (int y = title.top(); y <= title.bottom() && !navy; ++y) {
                const QColor pixel = image.pixelColor(x, y);
                navy = pixel.blue() > 100 && pixel.red() < 60 && pixel.green() < 60;
            }
        }
        QVERIFY(navy);
    });
}

void RegistryLayoutTest::openingStartsBrowsingAfterAnyEarlierUse() {
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920", Female);
    // An earlier use that leaves everything changed: given-name search, a shown result, and
    // the window closed by its close box while modifying.
    fixture.use([](QDialog& window) {
        Search(window, "mar", true);
        Click(window, "Command3");
        QCOMPARE(Shown(window, "Label20"), QStringLiteral("ROSMAR15/07/1920"));
    });
    fixture.use([](QDialog& window) {
        QVERIFY(qobject_cast<QRadioButton*>(&Control(window, "Option1_0"))->isChecked());
        QVERIFY(!InsideWindow(window, "Frame2"));
        for (const char* name : {"Text1", "Label13", "Label22", "Label23", "Label14", "Label16",
                                 "Label17", "Label15", "Label20"}) {
            QVERIFY2(Shown(window, name).isEmpty(), name);
        }
        QCOMPARE(Usable(window),
                 QStringList({"Text1", "Option1_0", "Option1_1", "Command1", "trova_0", "trova_1",
                              "trova_2", "trova_3", "Command4", "Command2", "Command5"}));

        Click(window, "Command5");
        for (const char* name : {"Text9", "Text2", "Text3", "Text4", "Text8"}) {
            QVERIFY2(Enabled(window, name) && Shown(window, name).isEmpty(), name);
        }
    });
}

void RegistryLayoutTest::browsingCreatingAndModifyingEnableTheirControls() {
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920", Female);
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        QCOMPARE(Usable(window), QStringList({"Text1", "Option1_0", "Option1_1", "Command1",
                                              "trova_0", "trova_1", "trova_2", "trova_3",
                                              "Command4", "Command2", "Command5", "Command3"}));

        Click(window, "Command5");
        QVERIFY(InsideWindow(window, "Frame2"));
        QVERIFY(qobject_cast<QRadioButton*>(&Control(window, "sesso_0"))->isChecked());
        QCOMPARE(Usable(window),
                 QStringList({"sesso_0", "sesso_1", "Text9", "Text2", "Text3", "Text4", "Text5",
                              "Text8", "Text7", "Text6", "Command7"}));
        Type(window, "Text9", "Bianchi");
        Type(window, "Text2", "Anna");
        Type(window, "Text3", "01/01/1950");
        QVERIFY(Usable(window).contains("Command6"));

        Click(window, "Command7");
        Click(window, "trova_0");
        Click(window, "Command3");
        QVERIFY(InsideWindow(window, "Frame2"));
        QCOMPARE(Usable(window), QStringList({"Text4", "Text5", "Text8", "Text7", "Text6",
                                              "Command8", "Command7"}));
        QVERIFY(qobject_cast<QRadioButton*>(&Control(window, "sesso_1"))->isChecked());
    });
}

void RegistryLayoutTest::returningFromCreatingKeepsTheResultButLocksModifica() {
    RegistryFixture fixture;
    const QString key = fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920");
    fixture.database.addPerson("ROSSETTI", "MARIO", "02/03/1890");
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        Click(window, "trova_2");
        Click(window, "Command5");
        Type(window, "Text9", "Verdi");
        Click(window, "Command7");

        QVERIFY(!InsideWindow(window, "Frame2"));
        QCOMPARE(Shown(window, "Label22"), QStringLiteral("ROSSI"));
        QCOMPARE(Shown(window, "Label15"), QStringLiteral("2/2"));
        QVERIFY(!Enabled(window, "Command3"));
        Click(window, "trova_1");
        QVERIFY(Enabled(window, "Command3"));
        Click(window, "trova_2");
        Click(window, "Command5");
        Click(window, "Command7");
        Click(window, "Command4");
    });
    QCOMPARE(fixture.context.selectedPersonKey.trimmed(), key);
}

void RegistryLayoutTest::eachEditingModeOpensCleanAfterTheOther() {
    RegistryFixture fixture;
    fixture.database.addPerson("ROSSI", "MARIA", "15/07/1920");
    fixture.use([](QDialog& window) {
        Search(window, "ros");
        Click(window, "Command3");
        Click(window, "Command7");
        Click(window, "Command5");
        for (const char* name : {"Text9", "Text2", "Text3", "Label20"}) {
            QVERIFY2(Shown(window, name).isEmpty(), name);
        }
        QVERIFY(Enabled(window, "Text9") && Enabled(window, "Text2") && Enabled(window, "Text3"));
        QVERIFY(!Enabled(window, "Command6"));

        TypePerson(window, {"Bianchi", "Anna", "01/01/1950"});
        Click(window, "Command6");
        QVERIFY(!InsideWindow(window, "Frame2"));
        Click(window, "trova_0");
        Click(window, "Command3");
        QVERIFY(Enabled(window, "Command8"));
        QCOMPARE(Shown(window, "Text9"), QStringLiteral("ROSSI"));
    });
}

QTEST_MAIN(RegistryLayoutTest)
#include "RegistryLayoutTest.moc"
