#include "FakeSystemInfo.h"
#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "app/MainWindow.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace radici {

namespace {

// The program as main() builds it, with a scripted toolkit, on the database at the given path.
struct Program {
    explicit Program(const QString& databasePath)
        : context(toolkit, databasePath), window(context, platform) {}

    void choose(const QString& actionName) { window.findChild<QAction*>(actionName)->trigger(); }

    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AppContext context;
    MainWindow window;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuShowsEachWindowMadeOnceAndEsciClosesTheDatabase();
    void unopenedDatabaseIsExplainedByTheMenu_data();
    void unopenedDatabaseIsExplainedByTheMenu();
    void exportAndBackupAskForTheFileAndReport();
};

void MainWindowTest::menuShowsEachWindowMadeOnceAndEsciClosesTheDatabase() {
    TestDatabase database;
    Program program(database.path());
    MainWindow& window = program.window;
    QCOMPARE(window.windowTitle(), "Gestione di un albero genealogico personale");
    QStringList menu;
    for (const QAction* title : window.menuBar()->actions()) {
        menu.append(title->menu()->objectName() + ' ' + title->text());
        for (const QAction* item : title->menu()->actions())
            menu.append(item->objectName() + ' ' + (item->isSeparator() ? "-" : item->text()));
    }
    QCOMPARE(menu, QStringList({"file &File", "coll &Collegamenti", "e -", "esci &Esci   ALT+F4",
                                "strumenti &Strumenti", "esportaGedcom &Esporta GEDCOM...",
                                "importaGedcom &Importa GEDCOM...", "s -",
                                "copiaSicurezza &Copia di sicurezza...", "s2 -",
                                "albero &Albero...", "help &Informazioni",
                                "informa &Informazioni su..."}));
    QList<QDialog*> shown;
    for (const char* action : {"coll", "coll", "informa", "informa"}) {
        program.toolkit.onNextModal([&shown](QDialog& modal) { shown.append(&modal); });
        program.choose(action);
    }
    QCOMPARE(program.toolkit.modalWindows(),
             QStringList({"anagrafica", "anagrafica", "frmAbout", "frmAbout"}));
    QVERIFY(shown[0] == shown[1] && shown[2] == shown[3]);
    QVERIFY(program.toolkit.texts().isEmpty());

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(program.context.connection.isOpen());
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), "file");
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(!program.context.connection.isOpen());
}

void MainWindowTest::unopenedDatabaseIsExplainedByTheMenu_data() {
    QTest::addColumn<QString>("password");  // of the file made, none for no file
    QTest::addColumn<bool>("dropTable");
    QTest::addColumn<int>("beeps");
    QTest::newRow("missing file") << QString() << false << 0;
    QTest::newRow("wrong password") << "altra" << false << 1;
    QTest::newRow("missing table") << DatabaseConnection::Password << true << 1;
}

// A file that is there but unusable is reported at start, with a beep; the relations window
// then never opens without a database, and the About box still does.
void MainWindowTest::unopenedDatabaseIsExplainedByTheMenu() {
    QFETCH(QString, password);
    QFETCH(bool, dropTable);
    QFETCH(int, beeps);
    QTemporaryDir folder;
    const QString path = folder.filePath("radicidb.mdb");
    if (!password.isEmpty()) {
        auto made = Database::open(path, password, Database::Mode::CreateNew);
        QVERIFY(made.ok() && CreateSchema(made.value()).ok());
        if (dropTable) QVERIFY(made.value().execute("drop table matrimoni").ok());
    }
    Program program(path);
    QVERIFY(!program.context.connection.isOpen());
    QCOMPARE(program.toolkit.beeps(), beeps);
    const QStringList atStart = program.toolkit.texts();
    QCOMPARE(atStart.size(), beeps);
    QVERIFY(atStart.isEmpty() ||
            (atStart[0].startsWith(dropTable ? "3078 " : "3031 ") && atStart[0].size() > 5));

    program.toolkit.clearMessages();
    for (const char* action :
         {"coll", "informa", "esportaGedcom", "importaGedcom", "copiaSicurezza"})
        program.choose(action);
    QCOMPARE(program.toolkit.modalWindows(), QStringList({"frmAbout"}));
    QVERIFY(program.toolkit.fileDialogs().isEmpty());
    QCOMPARE(program.toolkit.texts().size(), 4);
    QCOMPARE(program.toolkit.texts().count(program.toolkit.texts()[0]), 4);
    const QString message = program.toolkit.texts()[0];
    QVERIFY2(message.contains("\"radicidb.mdb\"") &&
                 message.contains(QDir::toNativeSeparators(folder.path())) &&
                 message.contains("radici-db"),
             qPrintable(message));
    QCOMPARE(QFile::exists(path), !password.isEmpty());  // the program never makes the file
}

// Both suggest a file beside the database, ask before replacing one, and say what they wrote.
void MainWindowTest::exportAndBackupAskForTheFileAndReport() {
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
    QCOMPARE(program.toolkit.modalWindows(), QStringList({"opzioniEsportazione"}));
    QCOMPARE(program.toolkit.texts(),
             QStringList({"Persone esportate: 1; famiglie: 0; collegamenti genitore-figlio: 0; "
                          "matrimoni: 0.\rFile: " +
                          QDir::toNativeSeparators(gedcom)}));
    QFile written(gedcom);
    QVERIFY(written.open(QIODevice::ReadOnly) && !written.readAll().contains(key.toUtf8()));

    program.toolkit.clearMessages();
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
    QCOMPARE(program.toolkit.fileDialogs(),
             QStringList({"Esporta GEDCOM " + database.folder() + "/radici.ged",
                          "Copia di sicurezza " + suggested, "Copia di sicurezza " + suggested}));
    const QString question =
        "Il file \"" + QDir::toNativeSeparators(copy) + "\" esiste già.\rSostituirlo?";
    QCOMPARE(program.toolkit.texts(),
             QStringList({question, question,
                          "Copia di sicurezza scritta in \"" + QDir::toNativeSeparators(copy) +
                              "\" e controllata: è integra."}));
    DatabaseConnection copied;
    QVERIFY(copied.open(copy).ok());
    QVERIFY(copied.anagrafica().seek(key).value().has_value());
}

}  // namespace radici

QTEST_MAIN(radici::MainWindowTest)
#include "MainWindowTest.moc"
