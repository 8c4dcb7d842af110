#include "FakeSystemInfo.h"
#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "relations/RelationsWindow.h"
#include "shell/AboutBox.h"
#include "shell/AppContext.h"
#include "shell/MainWindow.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace radici {

namespace {

const QString MainCaption = QStringLiteral("Gestione di un albero genealogico personale");

// The program as main() builds it, with a scripted toolkit, on the database at the given path.
struct Program {
    explicit Program(const QString& databasePath)
        : context(toolkit, databasePath), window(context, platform) {}

    void choose(const char* actionName) {
        QAction* action = window.findChild<QAction*>(QString::fromLatin1(actionName));
        QVERIFY(action);
        action->trigger();
    }

    ScriptedToolkit toolkit;
    FakeSystemInfo platform;
    AppContext context;
    MainWindow window;
};

QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* action : actions)
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QStringList Names(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* action : actions) names.append(action->objectName());
    return names;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowAndMenuAreAsDesigned();
    void missingFileOpensSilentlyAndTheMenuExplains();
    void refusedPasswordBeepsAndSaysSo();
    void missingTableIsReportedAtStart();
    void goodFileShowsOneRelationsWindow();
    void aboutBoxIsShownAndReused();
    void closingTheWindowClosesTheConnection();
    void esciClosesTheWindowFromTheKeyboard();

private:
    QTemporaryDir emptyFolder_;
};

void MainWindowTest::windowAndMenuAreAsDesigned() {
    Program program(emptyFolder_.filePath(QStringLiteral("radicidb.mdb")));
    MainWindow& window = program.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.objectName(), QStringLiteral("principale"));
    QCOMPARE(window.windowTitle(), MainCaption);
    QCOMPARE(window.centralWidget()->size(), QSize(746, 544));
    QVERIFY(window.minimumSize() != window.maximumSize());  // resizable

    const QList<QAction*> menus = window.menuBar()->actions();
    QCOMPARE(Captions(menus), QStringList({"&File", "&Informazioni"}));
    QCOMPARE(menus[0]->menu()->objectName(), QStringLiteral("file"));
    QCOMPARE(menus[1]->menu()->objectName(), QStringLiteral("help"));

    const QList<QAction*> fileItems = menus[0]->menu()->actions();
    QCOMPARE(Captions(fileItems), QStringList({"&Collegamenti", "-", "&Esci   ALT+F4"}));
    QCOMPARE(Names(fileItems), QStringList({"coll", "e", "esci"}));
    const QList<QAction*> helpItems = menus[1]->menu()->actions();
    QCOMPARE(Captions(helpItems), QStringList({"&Informazioni su..."}));
    QCOMPARE(Names(helpItems), QStringList({"informa"}));
}

void MainWindowTest::missingFileOpensSilentlyAndTheMenuExplains() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("radicidb.mdb"));
    Program program(path);

    QVERIFY(!program.context.connection.isOpen());
    QVERIFY(program.toolkit.texts().isEmpty());
    QCOMPARE(program.toolkit.beeps(), 0);
    QVERIFY(!QFile::exists(path));  // the program never makes the file

    program.choose("coll");
    QCOMPARE(program.toolkit.texts().size(), 1);
    const QString message = program.toolkit.texts().first();
    QVERIFY2(message.contains(QStringLiteral("\"radicidb.mdb\"")), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(folder.path())), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("radici-db")), qPrintable(message));
    QVERIFY(program.toolkit.modalWindows().isEmpty());

    program.choose("informa");
    QCOMPARE(program.toolkit.modalWindows(), QStringList({"frmAbout"}));
}

void MainWindowTest::refusedPasswordBeepsAndSaysSo() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("radicidb.mdb"));
    {
        auto made = Database::open(path, QStringLiteral("other"), Database::Mode::CreateNew);
        QVERIFY(made.ok());
        QVERIFY(CreateSchema(made.value()).ok());
    }
    Program program(path);

    QCOMPARE(program.toolkit.beeps(), 1);
    QCOMPARE(program.toolkit.texts().size(), 1);
    const QString message = program.toolkit.texts().first();
    QVERIFY2(message.startsWith(QStringLiteral("3031 ")), qPrintable(message));
    QVERIFY2(message.size() > 5, "the engine's description follows the number");
    QVERIFY(!program.context.connection.isOpen());

    program.toolkit.clearMessages();
    program.choose("coll");
    QCOMPARE(program.toolkit.texts().size(), 1);
    QVERIFY(program.toolkit.texts().first().contains(QStringLiteral("radicidb.mdb")));
    QVERIFY(program.toolkit.modalWindows().isEmpty());
    QCOMPARE(program.toolkit.beeps(), 1);
}

// A file that is there but unusable is reported at start, like a refused password.
void MainWindowTest::missingTableIsReportedAtStart() {
    TestDatabase database;
    database.execute(QStringLiteral("drop table matrimoni"));
    Program program(database.path());

    QCOMPARE(program.toolkit.beeps(), 1);
    QCOMPARE(program.toolkit.texts().size(), 1);
    const QString message = program.toolkit.texts().first();
    QVERIFY2(message.startsWith(QStringLiteral("3078 ")) && message.contains(u"\"matrimoni\""),
             qPrintable(message));
    QVERIFY(!program.context.connection.isOpen());
    program.choose("coll");
    QVERIFY(program.toolkit.modalWindows().isEmpty());
}

void MainWindowTest::goodFileShowsOneRelationsWindow() {
    TestDatabase database;
    Program program(database.path());
    QVERIFY(program.context.connection.isOpen());
    QVERIFY(program.toolkit.texts().isEmpty());

    QList<QPointer<QDialog>> shown;
    const auto remember = [&shown](QDialog& window) {
        QVERIFY(window.isVisible());
        shown.append(&window);
    };
    program.toolkit.onNextModal(remember);
    program.choose("coll");
    program.toolkit.onNextModal(remember);
    program.choose("coll");

    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[0], "the first window is kept for reuse");
    QVERIFY(qobject_cast<RelationsWindow*>(shown[0].data()));
    QCOMPARE(shown[1].data(), shown[0].data());
    QVERIFY(!shown[0]->isVisible());
    QVERIFY(program.toolkit.texts().isEmpty());
}

void MainWindowTest::aboutBoxIsShownAndReused() {
    Program program(emptyFolder_.filePath(QStringLiteral("radicidb.mdb")));

    QList<QPointer<QDialog>> shown;
    const auto remember = [&shown](QDialog& window) { shown.append(&window); };
    program.toolkit.onNextModal(remember);
    program.choose("informa");
    program.toolkit.onNextModal(remember);
    program.choose("informa");

    QCOMPARE(program.toolkit.modalWindows(), QStringList({"frmAbout", "frmAbout"}));
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[0], "the first About box is kept for reuse");
    QVERIFY(qobject_cast<AboutBox*>(shown[0].data()));
    QCOMPARE(shown[1].data(), shown[0].data());
}

void MainWindowTest::closingTheWindowClosesTheConnection() {
    TestDatabase database;
    Program program(database.path());
    program.window.show();
    QVERIFY(program.context.connection.isOpen());

    QVERIFY(program.window.close());
    QVERIFY(!program.context.connection.isOpen());
}

void MainWindowTest::esciClosesTheWindowFromTheKeyboard() {
    TestDatabase database;
    Program program(database.path());
    MainWindow& window = program.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QCOMPARE(popup->objectName(), QStringLiteral("file"));
    QTest::keyClick(popup, Qt::Key_E);

    QTRY_VERIFY(!window.isVisible());
    QVERIFY(!program.context.connection.isOpen());
}

}  // namespace radici

QTEST_MAIN(radici::MainWindowTest)
#include "MainWindowTest.moc"
