#include "FakeSystemInfo.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace radici {
namespace {

// Root ignores permissions, so the folder is made immutable; anyone else loses the write right.
bool SetFolderFixed(const QString& folder, bool fixed) {
    if (geteuid() != 0)
        return QFile::setPermissions(folder,
                                     QFile::ReadOwner | QFile::ExeOwner |
                                         (fixed ? QFile::Permissions() : QFile::WriteOwner));
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY);
    int flags = 0;
    bool changed = handle >= 0 && ::ioctl(handle, FS_IOC_GETFLAGS, &flags) == 0;
    flags = fixed ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    changed = changed && ::ioctl(handle, FS_IOC_SETFLAGS, &flags) == 0;
    if (handle >= 0) ::close(handle);
    return changed;
}

QByteArray LockText(qint64 pid, const QString& host) {
    return QByteArray::number(pid) + "\nRadici\n" + host.toUtf8() + '\n';
}

}  // namespace

class StartTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyOpensNothingUntilTheFirstEnds() {
        TestDatabase db;
        auto first = std::make_unique<Program>(db.path());
        Program second(db.path());
        QVERIFY(first->context.connection.isOpen() && !second.context.connection.isOpen());
        QVERIFY(second.toolkit.texts.value(0).startsWith("3045 "));
        QVERIFY(second.toolkit.texts.value(0).contains(db.path() + ".lock"));
        QVERIFY(!second.showRelations());
        first.reset();  // the first copy ends
        QVERIFY(second.showRelations());
    }

    // What a power cut, a crash or a hand leaves there: no running copy can hold it.
    void locksNoCopyHoldsAreTakenOverSilently_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"empty", "garbage", "ended", "folder", "dangling", "link"})
            QTest::newRow(kind) << kind;
    }

    void locksNoCopyHoldsAreTakenOverSilently() {
        QFETCH(QString, kind);
        TestDatabase db;
        const QString lock = db.path() + ".lock";
        const QString other = db.folder() + "/altro.txt";
        WriteFile(other, "da non toccare");
        if (kind == "empty") WriteFile(lock, "");
        if (kind == "garbage") WriteFile(lock, "\x01\xff\x00zz\n\n");
        if (kind == "ended") WriteFile(lock, LockText(EndedProcess(), QSysInfo::machineHostName()));
        if (kind == "folder") QVERIFY(QDir().mkdir(lock));
        if (kind == "dangling") QVERIFY(QFile::link(db.folder() + "/sparito", lock));
        if (kind == "link") QVERIFY(QFile::link(other, lock));
        {
            Program program(db.path());
            QVERIFY(program.context.connection.isOpen());
            QCOMPARE(program.toolkit.texts, QStringList());
            QVERIFY(!QFileInfo(lock).isSymLink());
            QVERIFY(FileBytes(lock).startsWith(
                QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
        }
        QVERIFY(!QFileInfo(lock).exists() && !QFileInfo(lock).isSymLink());
        QCOMPARE(FileBytes(other), QByteArray("da non toccare"));
    }

    // A family folder carried over from another computer: asked about only at "Collegamenti".
    void lockOfAnotherComputerIsAskedAboutWhenTheTreeIsWanted() {
        TestDatabase db;
        const QString lock = db.path() + ".lock";
        WriteFile(lock, LockText(QCoreApplication::applicationPid(), "portatile-nonna"));
        Program program(db.path());
        QVERIFY(!program.context.connection.isOpen());
        QCOMPARE(program.toolkit.questions, 0);
        QCOMPARE(program.toolkit.texts.size(), 1);
        QVERIFY(program.toolkit.texts[0].startsWith("3045 "));
        QVERIFY(program.toolkit.texts[0].contains("\"portatile-nonna\""));
        QVERIFY(program.toolkit.texts[0].contains(lock));
        QVERIFY(!program.showRelations());  // answered No
        QCOMPARE(program.toolkit.questions, 1);
        QVERIFY(FileBytes(lock).contains("portatile-nonna"));
        program.toolkit.answer(true);
        QVERIFY(program.showRelations());
        QVERIFY(!FileBytes(lock).contains("portatile-nonna"));
    }

    void fileBusyAtStartIsTriedAgain() {
        TestDatabase db;
        db.execute("begin exclusive");  // another program holding the file
        Program program(db.path());
        QVERIFY(!program.context.connection.isOpen());
        db.execute("rollback");
        QVERIFY(program.showRelations());
    }

    void missingColumnIsReportedAtStart() {
        TestDatabase db;
        db.execute("drop table matrimoni; create table matrimoni (idmarito text, idmoglie text)");
        Program program(db.path());
        QVERIFY(!program.context.connection.isOpen());
        QVERIFY(program.toolkit.texts.value(0).startsWith("3078 "));
        QVERIFY(program.toolkit.texts.value(0).contains("\"Data\""));
    }

    void danglingLinkGetsAdviceThatWorks() {
        QTemporaryDir folder;
        QVERIFY(QFile::link(folder.filePath("sparito.mdb"), folder.filePath("radicidb.mdb")));
        Program program(folder.filePath("radicidb.mdb"));
        QVERIFY(!program.showRelations());
        QVERIFY(program.toolkit.texts.last().contains("cancellare il collegamento"));
    }

    void journalLeftInAFolderThatCannotChangeIsExplained() {
        TestDatabase db;
        // A small cache spills to the file mid-transaction, which makes the journal one to undo.
        db.execute(
            "pragma cache_size = 10; create table filler (x); begin; "
            "insert into filler values (zeroblob(400000))");
        QTemporaryDir crashed;  // the file and its journal as a crash in the middle leaves them
        const QString path = crashed.filePath("radicidb.mdb");
        QVERIFY(QFile::copy(db.path(), path) &&
                QFile::copy(db.path() + "-journal", path + "-journal"));
        if (!SetFolderFixed(crashed.path(), true)) QSKIP("this file system cannot fix a folder");
        Program program(path);
        SetFolderFixed(crashed.path(), false);
        QVERIFY(program.toolkit.texts.value(0).contains("Rendi scrivibile la cartella"));
    }
};

}  // namespace radici

QTEST_MAIN(radici::StartTest)
#include "StartTest.moc"
