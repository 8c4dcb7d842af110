#pragma once

#include "TreeGenerator.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace radici::bench {

// The tree a benchmark program works on, chosen on its command line, whose options are taken out
// of it: --tree-size=N (default 10000), --tree-seed=N (default 1), --tree-births-in-part=PERCENT
// (default 0), --tree-folder=DIR (default the trees folder of the build). It is made on first use
// and kept; a bad choice, or a tree that cannot be made, stops the program with a message.
struct BenchTree {
    TreeFacts facts;
    QString path;  // of the cached file
};
BenchTree RequireTree(int& argc, char** argv);

// A run of a helper process that writes one line and ends.
struct ProbeRun {
    double seconds = -1;  // from the start until the first line arrived
    QByteArray line;
};

// Starts the probe in the folder and waits for its first line, then for its end (not timed).
ProbeRun RunProbe(const QString& probe, const QStringList& arguments, const QString& folder);

// Runs the probe, which ends by writing "peak <MiB>", and reports that as the counter peak_MiB.
void MeasurePeak(benchmark::State& state, const QString& probe, const QStringList& arguments,
                 const QString& folder);

// Registers "<figure>/program" and "<figure>/floor": this program started again, once for each
// side, as a probe with the arguments "probe", the side and the given ones.
void RegisterPeakMemory(const std::string& figure, const QStringList& arguments,
                        const QString& folder);

// Registers "<figure>/program" and "<figure>/floor", each timed in milliseconds of real time;
// prepare, when given, runs before each iteration without being timed. A side that returns false
// is reported as failed; a side without work is not registered.
void RegisterTimedPair(const std::string& figure, std::function<bool()> program,
                       std::function<bool()> floor, std::function<void()> prepare = {});

// The main() of a benchmark program that is also its own peak-memory probe: run as
// "NAME probe program|floor A B C" it runs probe with those arguments, otherwise run.
int ProbeOrRun(int argc, char** argv, int (*probe)(const std::vector<std::string>& arguments),
               int (*run)(int argc, char** argv));

// Benchmarks come in pairs named "<figure>/program" and "<figure>/floor". After the usual
// console output this prints one table row a figure: the program's median, the floor's median
// and their ratio. A benchmark that sets the counter "peak_MiB" is a memory figure; every other
// one is a time per iteration. A window's figure also has the counter "paint_ms": the painting
// that followed the operation, shown in a column of its own.
class FiguresReporter : public benchmark::ConsoleReporter {
public:
    // The table lists the figures in the order given (the order of registration), whatever
    // order they ran in. Colours only on a terminal, so results written to a file stay plain.
    FiguresReporter(std::string title, std::vector<std::string> figures);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Figure {
        double value = 0;
        double painting = -1;  // ms; only the windows' figures have it
        bool median = false;
    };
    std::string title_;
    std::vector<std::string> order_;
    std::map<std::string, Figure> programs_;  // by figure
    std::map<std::string, Figure> floors_;
    std::map<std::string, bool> memoryFigures_;
};

// Runs the registered benchmarks with that reporter; returns the program's exit code.
int RunBenchmarks(int argc, char** argv, const std::string& title,
                  std::vector<std::string> figures);

}  // namespace radici::bench
