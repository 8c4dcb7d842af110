// bench-process: the figures of a whole process, each beside its floor. From process start to the
// main window shown with the database open (process-probe startup, beside floor-probe startup,
// which only opens the database), and the peak resident memory with the tree open and the largest
// search result held (process-probe memory, beside floor-probe memory).
#include "BenchSupport.h"

#include "store/DatabaseConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace radici::bench {
namespace {

using benchmark::State;

QString Probe(const char* name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

void TimeStartup(State& state, const QString& probe, const QStringList& arguments,
                 const QString& folder, const char* expected) {
    for (auto _ : state) {
        const ProbeRun run = RunProbe(probe, arguments, folder);
        if (run.line != expected) {
            state.SkipWithError(("the probe said \"" + run.line.toStdString() + "\"").c_str());
            break;
        }
        state.SetIterationTime(run.seconds);
    }
}

int Run(int argc, char** argv) {
    const BenchTree chosen = RequireTree(argc, argv);
    const TreeFacts& facts = chosen.facts;
    const QString& tree = chosen.path;
    // The program looks for radicidb.mdb in its working folder; it only reads it here.
    const QTemporaryDir folder;
    if (!folder.isValid() ||
        !QFile::link(tree, QDir(folder.path()).filePath(DatabaseConnection::FileName))) {
        QTextStream(stderr) << "bench-process: cannot prepare a working folder\n";
        return 1;
    }
    const QString password = DatabaseConnection::Password;
    const QString largest =
        facts.scanCount > facts.commonCount ? facts.scanText : facts.commonPrefix;

    const std::string startup = "start to main window";
    const std::string peak = "peak memory, " + largest.toStdString() + " held";
    const auto timed = [](const std::string& name, auto function) {
        benchmark::RegisterBenchmark(name.c_str(), function)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    };
    timed(startup + "/program", [&](State& s) {
        TimeStartup(s, Probe("process-probe"), {QStringLiteral("startup")}, folder.path(), "shown");
    });
    timed(startup + "/floor", [&](State& s) {
        TimeStartup(s, Probe("floor-probe"), {QStringLiteral("startup"), tree, password},
                    folder.path(), "open");
    });
    const auto once = [](const std::string& name, auto function) {
        benchmark::RegisterBenchmark(name.c_str(), function)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    once(peak + "/program", [&](State& s) {
        MeasurePeak(s, Probe("process-probe"), {QStringLiteral("memory"), largest}, folder.path());
    });
    once(peak + "/floor", [&](State& s) {
        MeasurePeak(s, Probe("floor-probe"), {QStringLiteral("memory"), tree, password, largest},
                    folder.path());
    });
    return RunBenchmarks(argc, argv,
                         "Whole processes, tree of " + std::to_string(facts.persons) + " persons",
                         {startup, peak});
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    return radici::bench::Run(argc, argv);
}
