#include "Driver.h"
#include "FakeSystemInfo.h"
#include "TestDatabase.h"
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QTest>

namespace radici {
namespace {

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
            for (const char* item : {"coll", "esportaGedcom", "importaGedcom", "copiaSicurezza",
                                     "albero", "parentela"})
                program.choose(item);
            QVERIFY(program.toolkit.modalWindows.isEmpty() &&
                    program.toolkit.fileDialogs.isEmpty());
            QCOMPARE(program.toolkit.texts.count(program.toolkit.texts.last()), 6);
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

    // Both suggest a file beside the database, ask before replacing one, and say what they wrote.
    void exportAndBackupAskForTheFileAndReport() {
        TestDatabase database;
        const QString key = database.addPerson("BRUNO", "ALDO", "03/02/1990");
        Program program(database.path());
        const QString gedcom = database.folder() + "/albero.ged";
        program.toolkit.onNextModal([](QDialog& options) {
            options.findChild<QCheckBox*>("privato")->setChecked(true);
            options.accept();
        });
        program.toolkit.chooseFile(gedcom);
        program.choose("esportaGedcom");
        QCOMPARE(program.toolkit.modalWindows, QStringList({"opzioniEsportazione"}));
        QCOMPARE(program.toolkit.texts,
                 QStringList({"Persone esportate: 1; famiglie: 0; collegamenti genitore-figlio: 0; "
                              "matrimoni: 0.\rFile: " +
                              QDir::toNativeSeparators(gedcom)}));
        QFile written(gedcom);
        QVERIFY(written.open(QIODevice::ReadOnly) && !written.readAll().contains(key.toUtf8()));

        program.toolkit.texts.clear();
        program.toolkit.onNextModal([](QDialog& options) { options.reject(); });
        program.choose("esportaGedcom");  // cancelled before the file is asked
        const QString copy = database.folder() + "/copia.mdb";
        QFile::copy(gedcom, copy);
        for (bool replace : {false, true}) {
            program.toolkit.chooseFile(copy);
            program.toolkit.answer(replace);
            program.choose("copiaSicurezza");
        }
        const QString suggested =
            database.folder() + "/radicidb-" + QDate::currentDate().toString("yyyy-MM-dd") + ".mdb";
        QCOMPARE(
            program.toolkit.fileDialogs,
            QStringList({"Esporta GEDCOM " + database.folder() + "/radici.ged",
                         "Copia di sicurezza " + suggested, "Copia di sicurezza " + suggested}));
        const QString question =
            "Il file \"" + QDir::toNativeSeparators(copy) + "\" esiste già.\rSostituirlo?";
        QCOMPARE(program.toolkit.texts,
                 QStringList({question, question,
                              "Copia di sicurezza scritta in \"" + QDir::toNativeSeparators(copy) +
                                  "\" e controllata: è integra."}));
        DatabaseConnection copied;
        QVERIFY(copied.open(copy).ok());
        QVERIFY(copied.anagrafica().seek(key).value().has_value());
    }
};

}  // namespace radici

QTEST_MAIN(radici::MainWindowTest)
#include "MainWindowTest.moc"
