#include "Driver.h"
#include "TestDatabase.h"
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QDir>
#include <QMap>
#include <QTest>

namespace radici {
namespace {

// A registry and a file system that the test sets up, and a process starter that records.
class FakeSystemInfo final : public SystemInfoPlatform {
public:
    QMap<QString, QString> registry;  // "key\value" -> text
    QStringList existingFiles;
    QStringList started;

    std::optional<QString> GetKeyValue(RegistryRoot, const QString& keyPath,
                                       const QString& valueName) const override {
        const auto found = registry.constFind(keyPath + u'\\' + valueName);
        return found == registry.constEnd() ? std::nullopt : std::optional(*found);
    }
    bool fileExists(const QString& path) const override { return existingFiles.contains(path); }
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
        QVERIFY(program.toolkit.texts.isEmpty());
        program.window.show();
        QVERIFY(program.context.connection.isOpen());
        program.choose("esci");
        QVERIFY(!program.window.isVisible());
        QVERIFY(!program.context.connection.isOpen());
    }

    void fileThatDoesNotOpenIsReported_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing: the menu explains") << false;
        QTest::newRow("another program's: said at once") << true;
    }

    void fileThatDoesNotOpenIsReported() {
        QFETCH(bool, present);
        QTemporaryDir folder;
        const QString path = folder.filePath("radicidb.mdb");
        if (present) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) == 4096);
        }
        Program program(path);
        QCOMPARE(program.toolkit.beeps, present ? 1 : 0);
        const Status failure = DatabaseConnection().open(path);
        const QString reason = QString::number(failure.number()) + u' ' + failure.description();
        QCOMPARE(program.toolkit.texts, present ? QStringList{reason} : QStringList());

        program.toolkit.texts.clear();
        program.choose("coll");
        program.choose("informa");
        QCOMPARE(program.toolkit.modalWindows, QStringList({"frmAbout"}));
        const QString message = program.toolkit.texts.value(0);
        QVERIFY2(message.startsWith("Il database \"radicidb.mdb\" non è aperto.") &&
                     message.contains(QDir::toNativeSeparators(folder.path())) &&
                     message.contains(failure.description()) == present &&
                     message.contains("radici-db"),
                 qPrintable(message));
    }

    void startsOnlyASystemInformationProgramThatIsThere_data() {
        QTest::addColumn<QString>("registered");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("started");
        const QString shared = "C:\\Shared\\MSINFO32.EXE";
        QTest::newRow("registered") << "C:\\msinfo.exe"
                                    << ""
                                    << "C:\\msinfo.exe";
        QTest::newRow("in the shared folder") << "" << shared << shared;
        QTest::newRow("not in the shared folder") << ""
                                                  << ""
                                                  << "";
    }

    void startsOnlyASystemInformationProgramThatIsThere() {
        QFETCH(QString, registered);
        QFETCH(QString, existing);
        QFETCH(QString, started);
        ScriptedToolkit toolkit;
        FakeSystemInfo platform;
        if (!registered.isEmpty()) platform.registry.insert(MsinfoKey + "\\PATH", registered);
        platform.registry.insert(SharedToolsLocationKey + "\\MSINFO", "C:\\Shared");
        platform.existingFiles = QStringList{existing};
        AboutBox box(toolkit, platform);
        box.show();
        Click(box, "cmdSysInfo");
        QCOMPARE(platform.started.join(""), started);
        QCOMPARE(toolkit.texts.join(""),
                 started.isEmpty() ? "Le informazioni sul sistema non sono attualmente disponibili."
                                   : "");
    }
};

}  // namespace radici

QTEST_MAIN(radici::MainWindowTest)
#include "MainWindowTest.moc"
