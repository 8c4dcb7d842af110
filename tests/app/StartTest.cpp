#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace radici {
namespace {

// A copy of the program on the file, with a scripted toolkit.
struct Copy {
    explicit Copy(const QString& path) : context(toolkit, path), window(context, platform) {}
    // Chooses "Collegamenti"; true when the relations window was shown.
    bool showRelations() {
        const qsizetype shown = toolkit.modalWindows.size();
        window.findChild<QAction*>("coll")->trigger();
        return toolkit.modalWindows.size() > shown;
    }

    ScriptedToolkit toolkit;
    HostSystemInfo platform;  // never asked: the About box stays shut
    AppContext context;
    MainWindow window;
};

}  // namespace

class StartTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyOpensNothingUntilTheFirstEnds();
    void fileBusyAtStartIsTriedAgain();
    void missingColumnIsReportedAtStart();
    void danglingLinkGetsAdviceThatWorks();
};

void StartTest::secondCopyOpensNothingUntilTheFirstEnds() {
    TestDatabase db;
    auto first = std::make_unique<Copy>(db.path());
    Copy second(db.path());
    QVERIFY(first->context.connection.isOpen());
    QVERIFY(!second.context.connection.isOpen());
    QCOMPARE(second.toolkit.texts.size(), 1);
    QVERIFY(second.toolkit.texts[0].startsWith("3045 "));
    QVERIFY(second.toolkit.texts[0].contains(db.path()));
    QVERIFY(!second.showRelations());

    first.reset();  // the first copy ends
    QVERIFY(second.showRelations());
    QVERIFY(second.context.connection.isOpen());
}

void StartTest::fileBusyAtStartIsTriedAgain() {
    TestDatabase db;
    db.execute("begin exclusive");  // another program holding the file
    Copy program(db.path());
    QVERIFY(!program.context.connection.isOpen());
    db.execute("rollback");
    QVERIFY(program.showRelations());
}

void StartTest::missingColumnIsReportedAtStart() {
    TestDatabase db;
    db.execute("drop table matrimoni; create table matrimoni (idmarito text, idmoglie text)");
    Copy program(db.path());
    QVERIFY(!program.context.connection.isOpen());
    QCOMPARE(program.toolkit.texts.size(), 1);
    QVERIFY(program.toolkit.texts[0].startsWith("3078 "));
    QVERIFY(program.toolkit.texts[0].contains("\"Data\""));
}

void StartTest::danglingLinkGetsAdviceThatWorks() {
    QTemporaryDir folder;
    const QString path = folder.filePath("radicidb.mdb");
    QVERIFY(QFile::link(folder.filePath("sparito.mdb"), path));
    Copy program(path);
    QVERIFY(!program.showRelations());
    QVERIFY(program.toolkit.texts.last().contains("cancellare il collegamento"));
}

}  // namespace radici

QTEST_MAIN(radici::StartTest)
#include "StartTest.moc"
