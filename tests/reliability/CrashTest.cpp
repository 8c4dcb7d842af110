// The program killed with SIGKILL at random moments while it saves and deletes, many times
// over: after each kill the file passes the engine's integrity check, and every "Salva" and
// every "Cancella" happened wholly or not at all.
#include "Session.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <cstdio>

namespace radici {
namespace {

// The family the program saves and deletes over and over.
const QString Paolo = QStringLiteral("PERPAO01/01/1950");
const QString Father = QStringLiteral("PADFRA01/01/1920");
const QString Mother = QStringLiteral("MADMAR01/01/1925");
const QString Wife = QStringLiteral("MOGLAU01/01/1952");
const QString Son = QStringLiteral("FIGPRI01/01/1975");
const QString Daughter = QStringLiteral("FIGSEC01/01/1978");
const QString WeddingDay = QStringLiteral("10/05/1974");

// The program, run as "reliability_crash --child FILE", saving and deleting until it is killed:
// the windows driven as a user drives them, the scripted toolkit answering yes. Each round
// creates Paolo Persona if he is missing, gives him a father, a mother, a wife and two children
// with one "Salva", then deletes him with all his links with "Cancella". Prints "ready" once the
// file is open, then one line for each operation done.
int Run(const QString& path) {
    Session session(path);
    session.registry.show();
    session.relations.show();
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);  // each whole line reaches the test at once
    std::printf("ready\n");
    for (;;) {
        const DatabaseConnection& connection = session.context.connection;
        const Result<std::optional<Person>> paolo = connection.anagrafica().seek(Paolo);
        const Result<std::vector<ParentLink>> parents = connection.relazioni().parentsOf(Paolo);
        if (!paolo.ok() || !parents.ok()) return 1;
        if (!paolo.value()) {  // created
            Click(session.registry, "Command5");
            Type(session.registry, "Text9", "Persona");
            Type(session.registry, "Text2", "Paolo");
            Type(session.registry, "Text3", "01/01/1950");
            Click(session.registry, "Command6");
        } else if (parents.value().empty()) {  // saved with his family
            for (const auto& [button, surname] : {std::pair{"Command6", "PERSONA"},
                                                  {"Command1", "PADRE"},
                                                  {"Command2", "MADRE"},
                                                  {"Command3", "MOGLIE"},
                                                  {"Command9", "FIGLIO"},
                                                  {"Command9", "FIGLIA"}})
                session.chooseWith(button, surname);
            Retype(session.relations, "Text9", WeddingDay);
            Click(session.relations, "Command10");
            Click(session.relations, "Command4");
        } else {  // deleted
            session.chooseWith("Command6", "PERSONA");
            session.toolkit.answer(true);
            session.toolkit.answer(true);
            Click(session.relations, "Command5");
        }
        std::printf("done\n");  // one line for each operation
        // Anything but the two questions of "Cancella" means an operation failed.
        if (session.toolkit.texts.size() != session.toolkit.questions) {
            std::fprintf(stderr, "unexpected message: %s\n",
                         qPrintable(session.toolkit.texts.join(" / ")));
            return 1;
        }
        session.toolkit.texts.clear();
        session.toolkit.questions = 0;
    }
}

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
            program.start(QCoreApplication::applicationFilePath(), {"--child", database.path()});
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

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return radici::Run(QString::fromLocal8Bit(argv[2]));
    radici::CrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CrashTest.moc"
