#include "Driver.h"
#include "TestDatabase.h"
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QDir>
#include <QTest>

namespace radici {
namespace {

// The shared folder C:\Shared is registered, and the program's path when there is one; every
// start is recorded.
class FakeSystemInfo final : public SystemInfoPlatform {
public:
    QString registered;
    QString existing;  // the one file there is
    QStringList started;

    std::optional<QString> GetKeyValue(RegistryRoot, const QString& key,
                                       const QString&) const override {
        if (key == MsinfoKey && !registered.isEmpty()) return registered;
        return key == SharedToolsLocationKey ? std::optional<QString>("C:\\Shared") : std::nullopt;
    }
    bool fileExists(const QString& path) const override { return path == existing; }
    bool startProcess(const QString& path) override {
        started.append(path);
        return true;
    }
};

// The program as main() builds it, with the scripted toolkit, on the file at the path.
struct Program {
    explicit Program(const QString& path) : context(toolkit, path), window(context, platform) {}
    void choose(const char* action) { window.findChild<QAction*>(action)->trigger(); }

    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AppContext context;
    MainWindow window;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuShowsTheWindowsAndEsciClosesTheDatabase() {
        TestDatabase database;
        Program program(database.path());
        program.choose("coll");
        program.choose("informa");
        QCOMPARE(program.toolkit.modalWindows, QStringList({"anagrafica", "frmAbout"}));
        program.window.show();
        program.choose("esci");
        QVERIFY(!program.window.isVisible() && !program.context.connection.isOpen());
        QVERIFY(program.toolkit.texts.isEmpty());
    }

    // A missing file is explained by the menu; a file that is there but does not open is
    // reported at once, with a beep, and by the menu.
    void fileThatDoesNotOpenIsReported() {
        for (const bool present : {false, true}) {
            QTemporaryDir folder;
            const QString path = folder.filePath("radicidb.mdb");
            QFile file(path);
            if (present) QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
            Program program(path);
            const Status failure = DatabaseConnection().open(path);
            QCOMPARE(program.toolkit.beeps, present ? 1 : 0);
            QCOMPARE(program.toolkit.texts.join(""),
                     present ? QString::number(failure.number()) + u' ' + failure.description()
                             : QString());
            program.choose("coll");
            QVERIFY(program.toolkit.modalWindows.isEmpty());
            const QString message = program.toolkit.texts.last();
            QVERIFY2(message.startsWith("Il database \"radicidb.mdb\" non è aperto.") &&
                         message.contains(QDir::toNativeSeparators(folder.path())) &&
                         message.contains(failure.description()) == present,
                     qPrintable(message));
        }
    }

    void startsOnlyASystemInformationProgramThatIsThere() {
        const QString shared = "C:\\Shared\\MSINFO32.EXE";
        for (const auto& [registered, existing] :
             QList<std::pair<QString, QString>>{{"C:\\msinfo.exe", ""}, {"", shared}, {"", ""}}) {
            ScriptedToolkit toolkit;
            FakeSystemInfo platform;
            platform.registered = registered;
            platform.existing = existing;
            AboutBox box(toolkit, platform);
            box.show();
            Click(box, "cmdSysInfo");
            QCOMPARE(platform.started.join(""), registered + existing);
            QCOMPARE(toolkit.texts.size(), (registered + existing).isEmpty() ? 1 : 0);
        }
    }
};

}  // namespace radici

QTEST_MAIN(radici::MainWindowTest)
#include "MainWindowTest.moc"
