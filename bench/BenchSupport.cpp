#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string_view>

#include <unistd.h>

namespace radici::bench {
namespace {

constexpr std::string_view ProgramSuffix = "/program";
constexpr std::string_view FloorSuffix = "/floor";
constexpr const char* MemoryCounter = "peak_MiB";
constexpr const char* PaintCounter = "paint_ms";

std::optional<std::string_view> ValueOf(std::string_view argument, std::string_view option) {
    if (!argument.starts_with(option) || argument.size() == option.size() ||
        argument[option.size()] != '=')
        return std::nullopt;
    return argument.substr(option.size() + 1);
}

std::string Shown(double value, bool memory) {
    std::ostringstream text;
    if (memory) {
        text << std::fixed << std::setprecision(1) << value << " MiB";
    } else if (value >= 100) {
        text << std::fixed << std::setprecision(0) << value << " ms";
    } else if (value >= 1) {
        text << std::fixed << std::setprecision(2) << value << " ms";
    } else {
        text << std::fixed << std::setprecision(1) << value * 1000 << " µs";
    }
    return text.str();
}

constexpr int ProbeTimeoutMilliseconds = 300000;

}  // namespace

ProbeRun RunProbe(const QString& probe, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ProbeRun run;
    QElapsedTimer clock;
    clock.start();
    process.start(probe, arguments);
    while (!process.canReadLine() && process.waitForReadyRead(ProbeTimeoutMilliseconds)) {
    }
    if (process.canReadLine()) {
        run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        run.line = process.readLine().trimmed();
    }
    if (!process.waitForFinished(ProbeTimeoutMilliseconds)) process.kill();
    return run;
}

void MeasurePeak(benchmark::State& state, const QString& probe, const QStringList& arguments,
                 const QString& folder) {
    double peak = -1;
    for (auto _ : state) {
        const ProbeRun run = RunProbe(probe, arguments, folder);
        if (run.line.startsWith("peak ")) peak = run.line.mid(5).toDouble();
        state.SetIterationTime(std::max(run.seconds, 0.0));
    }
    if (peak <= 0) state.SkipWithError("the probe gave no peak");
    state.counters["peak_MiB"] = peak;
}

void RegisterPeakMemory(const std::string& figure, const QStringList& arguments,
                        const QString& folder) {
    const QString self = QCoreApplication::applicationFilePath();
    for (const char* side : {"program", "floor"}) {
        const QStringList probe =
            QStringList{QStringLiteral("probe"), QString::fromLatin1(side)} + arguments;
        benchmark::RegisterBenchmark(
            (figure + '/' + side).c_str(),
            [self, probe, folder](benchmark::State& s) { MeasurePeak(s, self, probe, folder); })
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}

namespace {

struct TreeChoice {
    int size = 10000;
    quint32 seed = 1;
    int birthsInPart = 0;
    QString folder;
};

std::optional<TreeChoice> TakeTreeChoice(int& argc, char** argv) {
    TreeChoice choice;
    choice.folder = QStringLiteral(RADICI_BENCH_TREES);
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        bool read = true;
        if (const auto size = ValueOf(argument, "--tree-size")) {
            choice.size = QString::fromUtf8(size->data(), std::ssize(*size)).toInt(&read);
        } else if (const auto seed = ValueOf(argument, "--tree-seed")) {
            choice.seed = QString::fromUtf8(seed->data(), std::ssize(*seed)).toUInt(&read);
        } else if (const auto share = ValueOf(argument, "--tree-births-in-part")) {
            choice.birthsInPart = QString::fromUtf8(share->data(), std::ssize(*share)).toInt(&read);
            read = read && choice.birthsInPart >= 0 && choice.birthsInPart <= 100;
        } else if (const auto folder = ValueOf(argument, "--tree-folder")) {
            choice.folder = QString::fromUtf8(folder->data(), std::ssize(*folder));
        } else {
            argv[kept++] = argv[i];
            continue;
        }
        if (!read) return std::nullopt;
    }
    argc = kept;
    return choice;
}

}  // namespace

BenchTree RequireTree(int& argc, char** argv) {
    QTextStream err(stderr);
    const std::optional<TreeChoice> choice = TakeTreeChoice(argc, argv);
    if (!choice) {
        err << QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()
            << ": --tree-size and --tree-seed take whole numbers, --tree-births-in-part a "
               "percentage\n";
        err.flush();  // exit() runs no destructor
        std::exit(2);
    }
    err << "tree of " << choice->size << " persons (seed " << choice->seed << ") in "
        << QDir::toNativeSeparators(choice->folder) << "...\n";
    err.flush();
    Result<TreeFacts> tree =
        CachedTree(choice->folder, choice->seed, choice->size, choice->birthsInPart);
    if (!tree.ok()) {
        err << "cannot make the tree: " << tree.status().description() << '\n';
        err.flush();
        std::exit(1);
    }
    return {std::move(tree).value(),
            CachedTreePath(choice->folder, choice->seed, choice->size, choice->birthsInPart)};
}

void RegisterTimedPair(const std::string& figure, std::function<bool()> program,
                       std::function<bool()> floor, std::function<void()> prepare) {
    for (const auto& [side, work] : {std::pair{"program", program}, std::pair{"floor", floor}}) {
        if (!work) continue;
        benchmark::RegisterBenchmark((figure + '/' + side).c_str(),
                                     [work, prepare](benchmark::State& state) {
                                         for (auto _ : state) {
                                             if (prepare) {
                                                 state.PauseTiming();
                                                 prepare();
                                                 state.ResumeTiming();
                                             }
                                             if (!work()) state.SkipWithError("the work failed");
                                         }
                                     })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

int ProbeOrRun(int argc, char** argv, int (*probe)(const std::vector<std::string>& arguments),
               int (*run)(int argc, char** argv)) {
    const std::vector<std::string> arguments(argv, argv + argc);
    if (arguments.size() == 6 && arguments[1] == "probe") return probe(arguments);
    QCoreApplication application(argc, argv);
    return run(argc, argv);
}

FiguresReporter::FiguresReporter(std::string title, std::vector<std::string> figures)
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular),
      title_(std::move(title)),
      order_(std::move(figures)) {}

void FiguresReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const bool aggregate = run.run_type == Run::RT_Aggregate;
        if (aggregate && run.aggregate_name != "median") continue;
        const std::string& name = run.run_name.function_name;
        const bool floor = name.ends_with(FloorSuffix);
        if (!floor && !name.ends_with(ProgramSuffix)) continue;
        const std::string figure =
            name.substr(0, name.size() - (floor ? FloorSuffix : ProgramSuffix).size());
        const auto memory = run.counters.find(MemoryCounter);
        const double value = memory != run.counters.end()
                                 ? memory->second.value
                                 : run.GetAdjustedRealTime() * 1000 /
                                       benchmark::GetTimeUnitMultiplier(run.time_unit);
        const auto paint = run.counters.find(PaintCounter);
        Figure& slot = (floor ? floors_ : programs_)[figure];
        // The median of the repetitions wins over any single repetition.
        if (aggregate || !slot.median)
            slot = {value, paint != run.counters.end() ? paint->second.value : -1, aggregate};
        if (memory != run.counters.end()) memoryFigures_[figure] = true;
        if (std::find(order_.begin(), order_.end(), figure) == order_.end())
            order_.push_back(figure);
    }
}

void FiguresReporter::Finalize() {
    std::ostream& out = GetOutputStream();
    out << "\n"
        << title_ << "\n\n"
        << "| figure | program | floor | ratio | then painting |\n"
        << "|---|---:|---:|---:|---:|\n";
    for (const std::string& figure : order_) {
        if (!programs_.contains(figure) && !floors_.contains(figure)) continue;  // filtered out
        const bool memory = memoryFigures_.contains(figure);
        const auto program = programs_.find(figure);
        const auto floor = floors_.find(figure);
        out << "| " << figure << " | "
            << (program != programs_.end() ? Shown(program->second.value, memory) : "-") << " | "
            << (floor != floors_.end() ? Shown(floor->second.value, memory) : "-") << " | ";
        if (program != programs_.end() && floor != floors_.end() && floor->second.value > 0) {
            out << std::fixed << std::setprecision(2)
                << program->second.value / floor->second.value;
        } else {
            out << "-";
        }
        const bool painted = program != programs_.end() && program->second.painting >= 0;
        out << " | " << (painted ? Shown(program->second.painting, false) : "-") << " |\n";
    }
    out.flush();
    ConsoleReporter::Finalize();
}

int RunBenchmarks(int argc, char** argv, const std::string& title,
                  std::vector<std::string> figures) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    FiguresReporter reporter(title, std::move(figures));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace radici::bench
