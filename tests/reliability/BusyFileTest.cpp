// Another program holds the database file: every operation waits a bounded time, then says the
// file is in use; nothing on screen or in the file is lost, and the same operation succeeds once
// the other program lets go.
#include "Operations.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

namespace radici {
namespace {

const QString InUse = QStringLiteral("in uso da un altro programma");
// The wait for the other program is bounded: at least a moment, never long.
constexpr qint64 ShortestWait = 1000;
constexpr qint64 LongestWait = 10000;

// The other program: reliability_lock_holder, holding the file while it lives.
class OtherProgram {
public:
    ~OtherProgram() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    // "exclusive" keeps readers out too; "reserved" keeps out only writers.
    void lock(const QString& path, const QString& mode) {
        process_.start(QStringLiteral(LOCK_HOLDER), {path, mode});
        QVERIFY2(process_.waitForReadyRead(10000), process_.readAllStandardError().constData());
        QCOMPARE(process_.readLine().trimmed(), QByteArray("locked"));
    }

    void release() {
        process_.write("\n");
        QVERIFY(process_.waitForFinished(10000));
        QCOMPARE(process_.exitCode(), 0);
    }

private:
    QProcess process_;
};

void AddOperationRows() {
    QTest::addColumn<QString>("operation");
    for (const char* name : {"search", "create", "correct", "load", "save", "remove", "delete"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

bool IsWrite(const QString& operation) {
    return operation != QStringLiteral("search") && operation != QStringLiteral("load");
}

}  // namespace

class BusyFileTest : public QObject {
    Q_OBJECT

private slots:
    void exclusiveLockHoldsBackEveryOperation_data() { AddOperationRows(); }
    void exclusiveLockHoldsBackEveryOperation() { holdsBack(QStringLiteral("exclusive")); }
    void writeUnderWayHoldsBackOnlyWrites_data() { AddOperationRows(); }
    void writeUnderWayHoldsBackOnlyWrites() { holdsBack(QStringLiteral("reserved")); }

private:
    void holdsBack(const QString& lockMode);
};

// Under a reserved lock reading goes on at once; everything else is held back, reported, and
// done when tried again after the other program let go.
void BusyFileTest::holdsBack(const QString& lockMode) {
    QFETCH(QString, operation);
    TestDatabase database;
    const Family family(database);
    Session session(database.path());
    const Operation chosen = Named(Operations(family), operation);
    chosen.prepare(session);
    const QStringList file = FileContents(database, family);
    const QStringList screen = chosen.screen(session);

    OtherProgram other;
    const auto lock = [&] { other.lock(database.path(), lockMode); };
    // Loading reads the person chosen in the registry window: the other program comes in after
    // the choice, or the search would be the one held back.
    if (operation == QStringLiteral("load"))
        session.whenChosen = lock;
    else
        lock();
    if (QTest::currentTestFailed()) return;
    session.toolkit.clearMessages();
    QElapsedTimer waited;
    waited.start();
    chosen.act(session);
    const qint64 waitedFor = waited.elapsed();
    session.whenChosen = nullptr;
    const QString messages = session.toolkit.texts().join(QStringLiteral(" / "));

    if (lockMode == QStringLiteral("reserved") && !IsWrite(operation)) {
        QVERIFY2(waitedFor < ShortestWait, qPrintable(QString::number(waitedFor)));
        QVERIFY2(chosen.done(session, database), qPrintable(messages));
        other.release();
        return;
    }
    QVERIFY2(messages.contains(InUse), qPrintable(messages));
    QVERIFY2(waitedFor >= ShortestWait && waitedFor < LongestWait,
             qPrintable(QString::number(waitedFor)));
    QCOMPARE(chosen.screen(session), screen);
    other.release();
    QCOMPARE(FileContents(database, family), file);
    QVERIFY(!chosen.done(session, database));

    session.toolkit.clearMessages();
    chosen.act(session);
    QVERIFY2(chosen.done(session, database), qPrintable(session.toolkit.texts().join(" / ")));
}

}  // namespace radici

QTEST_MAIN(radici::BusyFileTest)
#include "BusyFileTest.moc"
