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

QRect FromTwips(int left, int top, int width, int height) {
    const auto pixels = [](int twips) { return qRound(twips / 15.0); };
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

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
    void controlsStandWhereTheFormPutsThem_data();
    void controlsStandWhereTheFormPutsThem();
    void boxesStopAtTheirLengthLimits();
    void compactSizeShowsOnlySearchResultAndUpperButtons();
    void tabOrderStartsWithTheSearchTextThenThePersonData();
    void coloursMarkKeysValuesAndFrames();
    void openingStartsBrowsingAfterAnyEarlierUse();
    void browsingCreatingAndModifyingEnableTheirControls();
    void returningFromCreatingKeepsTheResultButLocksModifica();
    void eachEditingModeOpensCleanAfterTheOther();
};

void RegistryLayoutTest::controlsStandWhereTheFormPutsThem_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char* name, const char* caption, int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromUtf8(caption) << FromTwips(l, t, w, h);
    };
    row("Frame1", "Ricerca persona", 120, 120, 7815, 855);
    row("Label1", "Testo di ricerca", 1440, 240, 2655, 375);
    row("Text1", "", 1440, 480, 3615, 285);
    row("Option1_0", "Cognome", 120, 360, 1215, 195);
    row("Option1_1", "Nome", 120, 600, 1215, 195);
    row("Command1", "", 6480, 240, 1095, 495);
    row("Frame5", "Risultato ricerca", 120, 1080, 7815, 1455);
    row("Label10", "Cognome:", 120, 360, 855, 255);
    row("Label22", "", 1080, 360, 2295, 255);
    row("Label11", "Nome:", 3600, 360, 615, 255);
    row("Label23", "", 4200, 360, 3495, 255);
    row("Label12", "Data di nascita:", 120, 720, 1695, 255);
    row("Label14", "", 1560, 720, 1815, 255);
    row("Label13", "", 3480, 720, 1815, 255);
    row("Label18", "Comune:", 4440, 720, 855, 255);
    row("Label16", "", 5400, 720, 2295, 255);
    row("trova_0", "<<", 840, 1080, 375, 255);
    row("trova_1", "<", 1200, 1080, 375, 255);
    row("Label15", "", 1560, 1080, 1815, 255);
    row("trova_2", ">", 3360, 1080, 375, 255);
    row("trova_3", ">>", 3720, 1080, 375, 255);
    row("Label19", "Nazione:", 4440, 1080, 975, 255);
    row("Label17", "", 5400, 1080, 2295, 255);
    row("Command4", "Seleziona", 2760, 2640, 1215, 375);
    row("Command2", "Annulla", 4080, 2640, 1215, 375);
    row("Command5", "Crea", 5400, 2640, 1215, 375);
    row("Command3", "Modifica", 6720, 2640, 1215, 375);
    row("Frame2", "Anagrafica persona", 120, 3120, 5775, 4215);
    row("Label9", "Cognome:", 120, 480, 1335, 255);
    row("Text9", "", 1080, 360, 2655, 285);
    row("Label20", "", 3840, 360, 1695, 255);
    row("Label2", "Nome:", 120, 720, 1095, 255);
    row("Text2", "", 1080, 720, 4455, 285);
    row("Frame6", "Sesso", 120, 1080, 3495, 615);
    row("sesso_0", "Maschio", 1080, 240, 1095, 315);
    row("sesso_1", "Femmina", 2280, 240, 1095, 315);
    row("Frame4", "Dati relativi alla nascita", 120, 1800, 5415, 1095);
    row("Text3", "", 720, 360, 1215, 285);
    row("Text4", "", 2880, 360, 2415, 285);
    row("Text5", "", 2880, 720, 2415, 285);
    row("Frame3", "Dati relativi alla morte", 120, 3000, 5415, 1095);
    row("Text8", "", 720, 360, 1215, 285);
    row("Text7", "", 2880, 360, 2415, 285);
    row("Text6", "", 2880, 720, 2415, 285);
    row("Command6", "Crea record", 6120, 5520, 1695, 495);
    row("Command8", "Modifica record", 6120, 6120, 1695, 495);
    row("Command7", "Annulla", 6120, 6720, 1695, 495);
}

void RegistryLayoutTest::controlsStandWhereTheFormPutsThem() {
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    RegistryFixture fixture;
    QCOMPARE(fixture.window.objectName(), QStringLiteral("cerca"));
    QCOMPARE(fixture.window.windowTitle(), QStringLiteral(" ANAGRAFICA PERSONA"));
    QWidget& control = Control(fixture.window, QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(Caption(control), caption);
    QCOMPARE(control.geometry(), geometry);
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
        QCOMPARE(window.width(), 535);  // 8025 twips
        for (const char* name :
             {"Frame1", "Frame5", "Command4", "Command2", "Command5", "Command3"}) {
            QVERIFY2(InsideWindow(window, name), name);
        }
        for (const QString& name : PersonData) {
            QVERIFY2(!InsideWindow(window, name), qPrintable(name));
        }
        const int compactHeight = window.height();
        QVERIFY(compactHeight >= FromTwips(0, 0, 0, 3015).height());
        QVERIFY(compactHeight < FromTwips(0, 0, 0, 3120).height());

        Click(window, "Command5");
        for (const QString& name : PersonData) {
            QVERIFY2(InsideWindow(window, name), qPrintable(name));
        }
        QCOMPARE(window.width(), 535);
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
