#include "FakeSystemInfo.h"
#include "ScriptedToolkit.h"
#include "shell/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace radici {

namespace {

const QString Unavailable =
    QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili.");
const QString ProgramPath = QStringLiteral("C:\\WINDOWS\\msinfo.exe");
const QString SharedFolder = QStringLiteral("C:\\Programmi\\Shared");

QString Text(const QDialog& box, const char* labelName) {
    const auto* label = box.findChild<QLabel*>(QString::fromLatin1(labelName));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(labelName);
}

QPushButton* Button(const QDialog& box, const char* name) {
    return box.findChild<QPushButton*>(QString::fromLatin1(name));
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void showsTitleVersionAndNotices();
    void loadRebuildsTheCaptionAtEachShowing();
    void controlsSitWhereDesigned();
    void etchedSeparatorIsGreyOverWhite();
    void okEnterAndEscapeCloseIt();

    void registeredProgramStartsWithoutFileTest();
    void registeredProgramThatFailsToStartIsReported();
    void sharedFolderProgramStartsOnlyWhenPresent_data();
    void sharedFolderProgramStartsOnlyWhenPresent();
    void noRegistryEntryStartsNothing();
#ifndef Q_OS_WIN
    void hostFindsASystemInfoProgramOnThePath();
#endif
};

void AboutBoxTest::showsTitleVersionAndNotices() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    box.show();

    QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box.windowTitle(), QStringLiteral("Informazioni su Albero genealogico Borgoquintaro"));
    QCOMPARE(Text(box, "lblTitle"), QStringLiteral("Albero genealogico Borgoquintaro"));
    QCOMPARE(Text(box, "lblVersion"), QStringLiteral("Versione 1.0.0"));
    QCOMPARE(Text(box, "lblDescription"), QStringLiteral("Scritto da: Zelmorini"));
    QVERIFY(!Text(box, "Label1").isEmpty());
    QVERIFY(!Text(box, "lblDisclaimer").isEmpty());
    QVERIFY(!box.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());

    QCOMPARE(Button(box, "cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(Button(box, "cmdOK")->isDefault());
    QCOMPARE(Button(box, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));

    QCOMPARE(box.minimumSize(), QSize(382, 237));
    QCOMPARE(box.maximumSize(), QSize(382, 237));
    QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void AboutBoxTest::loadRebuildsTheCaptionAtEachShowing() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    toolkit.showModal(box);
    box.setWindowTitle(QStringLiteral("altro"));
    box.findChild<QLabel*>(QStringLiteral("lblVersion"))->clear();

    toolkit.onNextModal([](QDialog& shown) {
        QCOMPARE(shown.windowTitle(),
                 QStringLiteral("Informazioni su Albero genealogico Borgoquintaro"));
        QCOMPARE(Text(shown, "lblVersion"), QStringLiteral("Versione 1.0.0"));
    });
    toolkit.showModal(box);
    QCOMPARE(toolkit.pendingModalSteps(), 0);
}

void AboutBoxTest::controlsSitWhereDesigned() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    // Twips divided by 15, rounded.
    const QList<std::pair<const char*, QRect>> designed = {
        {"picIcon", {16, 16, 36, 36}},     {"lblTitle", {70, 16, 259, 32}},
        {"lblVersion", {70, 52, 259, 15}}, {"lblDescription", {70, 75, 259, 22}},
        {"Label1", {72, 96, 259, 22}},     {"lblDisclaimer", {17, 175, 258, 55}},
        {"cmdOK", {283, 175, 84, 23}},     {"cmdSysInfo", {284, 205, 83, 23}},
        {"Line1_1", {6, 163, 371, 1}},     {"Line1_0", {7, 164, 370, 2}},
    };
    for (const auto& [name, rect] : designed) {
        const auto* control = box.findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(control, name);
        QCOMPARE(control->geometry(), rect);
    }
}

void AboutBoxTest::etchedSeparatorIsGreyOverWhite() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    box.show();
    const QImage image = box.grab().toImage();
    QCOMPARE(image.pixelColor(200, 163), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(200, 164), QColor(Qt::white));
    QCOMPARE(image.pixelColor(200, 165), QColor(Qt::white));
}

void AboutBoxTest::okEnterAndEscapeCloseIt() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    const QList<std::function<void(QDialog&)>> ways = {
        [](QDialog& shown) { QTest::mouseClick(Button(shown, "cmdOK"), Qt::LeftButton); },
        [](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Return); },
        [](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Escape); },
    };
    for (const auto& close : ways) {
        bool closedByStep = false;
        toolkit.onNextModal([&](QDialog& shown) {
            close(shown);
            closedByStep = !shown.isVisible();
        });
        toolkit.showModal(box);
        QVERIFY(closedByStep);
    }
    QVERIFY(platform.started.isEmpty());
    QVERIFY(toolkit.texts().isEmpty());
}

void AboutBoxTest::registeredProgramStartsWithoutFileTest() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    platform.registry.insert(MsinfoKey + QStringLiteral("\\PATH"), ProgramPath);
    platform.registry.insert(SharedToolsLocationKey + QStringLiteral("\\MSINFO"), SharedFolder);
    AboutBox box(toolkit, platform);
    box.show();

    QTest::mouseClick(Button(box, "cmdSysInfo"), Qt::LeftButton);

    QCOMPARE(platform.started, QStringList({ProgramPath}));
    QVERIFY(platform.testedFiles.isEmpty());
    QVERIFY(toolkit.texts().isEmpty());
    QVERIFY(box.isVisible());
}

void AboutBoxTest::registeredProgramThatFailsToStartIsReported() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    platform.registry.insert(MsinfoKey + QStringLiteral("\\PATH"), ProgramPath);
    platform.startSucceeds = false;
    AboutBox box(toolkit, platform);
    box.show();

    QTest::mouseClick(Button(box, "cmdSysInfo"), Qt::LeftButton);

    QCOMPARE(platform.started, QStringList({ProgramPath}));
    QCOMPARE(toolkit.texts(), QStringList({Unavailable}));
    QVERIFY(box.isVisible());
}

void AboutBoxTest::sharedFolderProgramStartsOnlyWhenPresent_data() {
    QTest::addColumn<bool>("present");
    QTest::newRow("present") << true;
    QTest::newRow("absent") << false;
}

void AboutBoxTest::sharedFolderProgramStartsOnlyWhenPresent() {
    QFETCH(bool, present);
    const QString program = SharedFolder + QStringLiteral("\\MSINFO32.EXE");
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    platform.registry.insert(SharedToolsLocationKey + QStringLiteral("\\MSINFO"), SharedFolder);
    if (present) platform.existingFiles.append(program);
    AboutBox box(toolkit, platform);
    box.show();

    QTest::mouseClick(Button(box, "cmdSysInfo"), Qt::LeftButton);

    QCOMPARE(platform.testedFiles, QStringList({program}));
    QCOMPARE(platform.started, present ? QStringList({program}) : QStringList());
    QCOMPARE(toolkit.texts(), present ? QStringList() : QStringList({Unavailable}));
}

void AboutBoxTest::noRegistryEntryStartsNothing() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    box.show();

    QTest::mouseClick(Button(box, "cmdSysInfo"), Qt::LeftButton);

    QVERIFY(platform.started.isEmpty());
    QVERIFY(platform.testedFiles.isEmpty());
    QCOMPARE(toolkit.texts(), QStringList({Unavailable}));
}

#ifndef Q_OS_WIN
// Elsewhere than on Windows the registered program is the first one found on the PATH.
void AboutBoxTest::hostFindsASystemInfoProgramOnThePath() {
    QTemporaryDir bin;
    const QString program = bin.filePath(QStringLiteral("hardinfo"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    const QByteArray savedPath = qgetenv("PATH");
    HostSystemInfo host;

    qputenv("PATH", bin.path().toLocal8Bit());
    const auto withoutExecutable =
        host.GetKeyValue(RegistryRoot::LocalMachine, MsinfoKey, QStringLiteral("PATH"));
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
    const auto found =
        host.GetKeyValue(RegistryRoot::LocalMachine, MsinfoKey, QStringLiteral("PATH"));
    const auto otherValue = host.GetKeyValue(RegistryRoot::LocalMachine, SharedToolsLocationKey,
                                             QStringLiteral("MSINFO"));
    qputenv("PATH", savedPath);

    QCOMPARE(withoutExecutable, std::nullopt);
    QCOMPARE(found, std::optional<QString>(program));
    QCOMPARE(otherValue, std::nullopt);
    QVERIFY(host.fileExists(program));
    QVERIFY(!host.fileExists(bin.path()));
    QVERIFY(!host.startProcess(bin.filePath(QStringLiteral("nessuno"))));
}
#endif

}  // namespace radici

QTEST_MAIN(radici::AboutBoxTest)
#include "AboutBoxTest.moc"
