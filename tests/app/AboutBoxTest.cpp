#include "FakeSystemInfo.h"
#include "ScriptedToolkit.h"
#include "app/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace radici {

const QString ProgramPath = QStringLiteral("C:\\WINDOWS\\msinfo.exe");
const QString SharedProgram = QStringLiteral("C:\\Programmi\\Shared\\MSINFO32.EXE");

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void showsTitleAndVersionAtEachShowing();
    void startsTheSystemInformationProgram_data();
    void startsTheSystemInformationProgram();
#ifndef Q_OS_WIN
    void hostFindsASystemInfoProgramOnThePath();
#endif
};

// OK, Enter and Esc each close it.
void AboutBoxTest::showsTitleAndVersionAtEachShowing() {
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AboutBox box(toolkit, platform);
    for (const Qt::Key key : {Qt::Key_unknown, Qt::Key_Return, Qt::Key_Escape}) {
        toolkit.onNextModal([key](QDialog& shown) {
            QCOMPARE(shown.windowTitle(), "Informazioni su Albero genealogico Borgoquintaro");
            QCOMPARE(shown.findChild<QLabel*>("lblTitle")->text(), ApplicationTitle);
            QCOMPARE(shown.findChild<QLabel*>("lblVersion")->text(), "Versione 1.0.0");
            shown.setWindowTitle(QString());
            shown.findChild<QLabel*>("lblVersion")->clear();
            if (key == Qt::Key_unknown)
                QTest::mouseClick(shown.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            else
                QTest::keyClick(&shown, key);
            QVERIFY(!shown.isVisible());
        });
        toolkit.showModal(box);
    }
    QVERIFY(platform.started.isEmpty() && toolkit.texts().isEmpty());
}

void AboutBoxTest::startsTheSystemInformationProgram_data() {
    QTest::addColumn<QString>("registered");
    QTest::addColumn<bool>("sharedFolder");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QStringList>("tested");
    QTest::addColumn<QStringList>("started");
    const QStringList none;
    QTest::newRow("registered") << ProgramPath << true << true << none << QStringList{ProgramPath};
    QTest::newRow("registered, fails")
        << ProgramPath << false << false << none << QStringList{ProgramPath};
    QTest::newRow("in shared folder")
        << QString() << true << true << QStringList{SharedProgram} << QStringList{SharedProgram};
    QTest::newRow("not in shared folder")
        << QString() << true << true << QStringList{SharedProgram} << none;
    QTest::newRow("nothing registered") << QString() << false << true << none << none;
}

void AboutBoxTest::startsTheSystemInformationProgram() {
    QFETCH(QString, registered);
    QFETCH(bool, sharedFolder);
    QFETCH(bool, starts);
    QFETCH(QStringList, tested);
    QFETCH(QStringList, started);
    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    if (!registered.isEmpty()) platform.registry.insert(MsinfoKey + "\\PATH", registered);
    if (sharedFolder)
        platform.registry.insert(SharedToolsLocationKey + "\\MSINFO", "C:\\Programmi\\Shared");
    platform.existingFiles = started;  // a program is there exactly where one should start
    platform.startSucceeds = starts;
    AboutBox box(toolkit, platform);
    box.show();

    QTest::mouseClick(box.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);

    QCOMPARE(platform.testedFiles, tested);
    QCOMPARE(platform.started, started);
    const bool running = !started.isEmpty() && starts;
    QCOMPARE(toolkit.texts(),
             running
                 ? QStringList()
                 : QStringList{"Le informazioni sul sistema non sono attualmente disponibili."});
    QVERIFY(box.isVisible());
}

#ifndef Q_OS_WIN
// Elsewhere than on Windows the registered program is the first one found on the PATH.
void AboutBoxTest::hostFindsASystemInfoProgramOnThePath() {
    QTemporaryDir bin;
    QFile program(bin.filePath(QStringLiteral("hardinfo")));
    QVERIFY(program.open(QIODevice::WriteOnly, QFile::ReadOwner | QFile::ExeOwner));
    program.close();
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    HostSystemInfo host;
    const auto found = host.GetKeyValue(RegistryRoot::LocalMachine, MsinfoKey, "PATH");
    const auto folder =
        host.GetKeyValue(RegistryRoot::LocalMachine, SharedToolsLocationKey, "MSINFO");
    qputenv("PATH", savedPath);
    QCOMPARE(found, std::optional<QString>(program.fileName()));
    QCOMPARE(folder, std::nullopt);
}
#endif

}  // namespace radici

QTEST_MAIN(radici::AboutBoxTest)
#include "AboutBoxTest.moc"
