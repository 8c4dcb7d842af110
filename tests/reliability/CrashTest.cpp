// The program killed with SIGKILL at random moments while it saves and deletes, many times
// over: after each kill the file passes the engine's integrity check, and every "Salva" and
// every "Cancella" happened wholly or not at all.
#include "CrashChild.h"
#include "TestDatabase.h"
#include "store/DatabaseConnection.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

namespace radici {
namespace {

using namespace crash;

// RADICI_CRASH_KILLS asks for a longer (or shorter) run.
const int Kills = qEnvironmentVariableIntValue("RADICI_CRASH_KILLS") > 0
                      ? qEnvironmentVariableIntValue("RADICI_CRASH_KILLS")
                      : 200;
// How long the program may work before it is killed, once it is ready.
constexpr int LongestLifeMilliseconds = 300;

const QString SavedRows = QStringList{Father + '>' + Paolo + ":0", Mother + '>' + Paolo + ":1",
                                      Paolo + '>' + Son + ":0", Paolo + '>' + Daughter + ":0"}
                              .join(u' ') +
                          '/' + Paolo + '+' + Wife + "@1974-05-10";

// The three states a whole number of operations leaves behind.
enum State { PaoloMissing, PaoloAlone, PaoloSaved, StateCount };

// Opens the file, which rolls back a write left half done, and tells what is wrong with it;
// empty when it holds one of the three states.
QString Problem(TestDatabase& database, State& state) {
    const Result<Database> opened =
        Database::open(database.path(), DatabaseConnection::Password, Database::Mode::OpenExisting);
    if (!opened.ok()) return opened.status().description();
    const Result<QStringList> problems = opened.value().integrityProblems();
    if (!problems.ok()) return problems.status().description();
    if (!problems.value().isEmpty()) return problems.value().join(u'\n');

    for (const QString& key : {Father, Mother, Wife, Son, Daughter})
        if (database.person(key).isEmpty()) return key + QStringLiteral(" is gone");
    const bool paolo = !database.person(Paolo).isEmpty();
    const QString rows = database.links() + u'/' + database.marriages();
    if (rows == "/") {
        state = paolo ? PaoloAlone : PaoloMissing;
        return {};
    }
    if (paolo && rows == SavedRows) {
        state = PaoloSaved;
        return {};
    }
    return QStringLiteral("half an operation: Paolo %1, rows %2")
        .arg(paolo ? "present" : "missing", rows);
}

}  // namespace

class CrashTest : public QObject {
    Q_OBJECT

private slots:
    void killedAtRandomMomentsLosesNothing() {
        TestDatabase database;
        QCOMPARE(database.addPerson("PADRE", "FRANCO", "01/01/1920"), Father);
        QCOMPARE(database.addPerson("MADRE", "MARIA", "01/01/1925", Female), Mother);
        QCOMPARE(database.addPerson("MOGLIE", "LAURA", "01/01/1952", Female), Wife);
        QCOMPARE(database.addPerson("FIGLIO", "PRIMO", "01/01/1975"), Son);
        QCOMPARE(database.addPerson("FIGLIA", "SECONDA", "01/01/1978", Female), Daughter);

        const quint32 seed = qEnvironmentVariableIsSet("RADICI_CRASH_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("RADICI_CRASH_SEED"))
                                 : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int seen[StateCount] = {};

        for (int kill = 0; kill < Kills; ++kill) {
            QProcess program;
            program.start(QStringLiteral(CRASH_CHILD), {database.path()});
            QVERIFY2(program.waitForReadyRead(30000), program.readAllStandardError().constData());
            QCOMPARE(program.readLine(), QByteArray("ready\n"));
            QThread::msleep(random.bounded(LongestLifeMilliseconds));
            program.kill();
            QVERIFY(program.waitForFinished(30000));
            // Killed while at work: a program that stopped by itself failed an operation.
            QVERIFY2(program.exitStatus() == QProcess::CrashExit,
                     program.readAllStandardError().constData());
            State state = StateCount;
            const QString problem = Problem(database, state);
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("after kill %1 (seed %2): %3")
                                                       .arg(kill + 1)
                                                       .arg(seed)
                                                       .arg(problem)));
            ++seen[state];
        }
        qInfo("%d kills survived (seed %u): Paolo found missing %d, alone %d, saved %d times",
              Kills, seed, seen[PaoloMissing], seen[PaoloAlone], seen[PaoloSaved]);
        // Kills landed all along the cycle, or the test proved little.
        QVERIFY(seen[PaoloMissing] > 0 && seen[PaoloAlone] > 0 && seen[PaoloSaved] > 0);
    }
};

}  // namespace radici

QTEST_MAIN(radici::CrashTest)
#include "CrashTest.moc"
