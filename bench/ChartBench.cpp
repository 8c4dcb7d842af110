// bench-chart: the charts on a generated tree. The descendant chart of a person with about
// 2 000 descendants and spouses in the six generations below them (seven rows), and the same
// person's chart of six rows; a pedigree of twelve generations; each read, laid out and painted
// whole in the chart window's canvas at "fit to window". Then the repaint after a zoom and after
// a pan, fitted and at 100 %.
#include "BenchSupport.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartReader.h"
#include "store/DatabaseConnection.h"

#include <QApplication>
#include <QTextStream>
#include <cstdlib>
#include <memory>

namespace radici::bench {
namespace {

using benchmark::State;

constexpr int DescendantGenerations = 6;
constexpr int WideGenerations = 7;  // the person and six generations below
constexpr int AncestorGenerations = 12;
constexpr int WantedDescendants = 2000;

struct ChartBench {
    DatabaseConnection connection;
    QString descendantsOf;
    QString ancestorsOf;
    int descendantBoxes = 0;
    int ancestorBoxes = 0;
    std::unique_ptr<ChartCanvas> canvas;
};

int Boxes(const DatabaseConnection& connection, ChartKind kind, const QString& key,
          int generations) {
    const Result<ChartFamily> family = ReadChartFamily(connection, kind, key, generations);
    if (!family.ok()) return 0;
    return static_cast<int>(LayoutChart(kind, family.value(), key, generations).boxes.size());
}

// Every person, oldest first (the registry's search for any surname).
std::vector<QString> KeysByBirth(const DatabaseConnection& connection) {
    std::vector<QString> keys;
    Result<SearchResult> all = connection.anagrafica().search(SearchField::Surname, "*");
    if (!all.ok() || !all.value().moveFirst()) return keys;
    do {
        if (Result<Person> person = all.value().current(); person.ok()) {
            keys.push_back(person.value().idrecord);
        }
    } while (all.value().moveNext());
    return keys;
}

// The persons the figures use: among a sample of the older 60 % of the tree the one whose
// seven-row descendant chart comes nearest 2 000 boxes, and among the youngest the one with the
// largest pedigree.
void ChoosePersons(ChartBench& bench) {
    const std::vector<QString> keys = KeysByBirth(bench.connection);
    const std::size_t stride = std::max<std::size_t>(1, keys.size() * 6 / 10 / 1500);
    for (std::size_t i = 0; i < keys.size() * 6 / 10; i += stride) {
        const int boxes = Boxes(bench.connection, ChartKind::Descendants, keys[i], WideGenerations);
        if (std::abs(boxes - WantedDescendants) <
            std::abs(bench.descendantBoxes - WantedDescendants)) {
            bench.descendantBoxes = boxes;
            bench.descendantsOf = keys[i];
        }
    }
    for (std::size_t i = keys.size() - std::min<std::size_t>(keys.size(), 300); i < keys.size();
         ++i) {
        const int boxes =
            Boxes(bench.connection, ChartKind::Ancestors, keys[i], AncestorGenerations);
        if (boxes > bench.ancestorBoxes) {
            bench.ancestorBoxes = boxes;
            bench.ancestorsOf = keys[i];
        }
    }
}

// Read, laid out and painted whole, as the window shows it fitted.
void ShowChart(State& state, ChartBench& bench, ChartKind kind, const QString& key,
               int generations) {
    for (auto _ : state) {
        const Result<ChartFamily> family =
            ReadChartFamily(bench.connection, kind, key, generations);
        if (!family.ok()) {
            state.SkipWithError(family.status().description().toStdString().c_str());
            break;
        }
        bench.canvas->setChart(LayoutChart(kind, family.value(), key, generations));
        bench.canvas->fitToWindow();
        bench.canvas->repaint();
    }
    state.counters["boxes"] = static_cast<double>(bench.canvas->chart().boxes.size());
}

void ReadOnly(State& state, ChartBench& bench, ChartKind kind, const QString& key,
              int generations) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadChartFamily(bench.connection, kind, key, generations));
    }
}

void LayoutOnly(State& state, ChartBench& bench, ChartKind kind, const QString& key,
                int generations) {
    const Result<ChartFamily> family = ReadChartFamily(bench.connection, kind, key, generations);
    for (auto _ : state)
        benchmark::DoNotOptimize(LayoutChart(kind, family.value(), key, generations));
}

// The descendant chart shown, then each step zooms in or out (or pans) and repaints.
void Repaint(State& state, ChartBench& bench, bool fitted, bool zoom) {
    const Result<ChartFamily> family = ReadChartFamily(bench.connection, ChartKind::Descendants,
                                                       bench.descendantsOf, WideGenerations);
    bench.canvas->setChart(
        LayoutChart(ChartKind::Descendants, family.value(), bench.descendantsOf, WideGenerations));
    const QPointF middle(bench.canvas->width() / 2.0, bench.canvas->height() / 2.0);
    if (fitted) {
        bench.canvas->fitToWindow();
    } else {
        bench.canvas->zoomBy(1 / bench.canvas->zoom(), middle);
    }
    double step = 1.1;
    for (auto _ : state) {
        step = 1 / step;
        if (zoom) {
            bench.canvas->zoomBy(step, middle);
        } else {
            bench.canvas->centreOn(bench.canvas->toChart(middle + QPointF(step > 1 ? 40 : -40, 0)));
        }
        bench.canvas->repaint();
    }
}

std::vector<std::string> Register(ChartBench& bench) {
    std::vector<std::string> figures;
    const auto add = [&](const std::string& figure, auto run) {
        benchmark::RegisterBenchmark((figure + "/program").c_str(), run)->UseRealTime();
        figures.push_back(figure);
    };
    const struct {
        std::string name;
        ChartKind kind;
        QString key;
        int generations;
    } charts[] = {
        {"descendants 7", ChartKind::Descendants, bench.descendantsOf, WideGenerations},
        {"descendants 6", ChartKind::Descendants, bench.descendantsOf, DescendantGenerations},
        {"ancestors 12", ChartKind::Ancestors, bench.ancestorsOf, AncestorGenerations}};
    for (const auto& chart : charts) {
        add(chart.name + ": read, layout, paint", [&bench, chart](State& s) {
            ShowChart(s, bench, chart.kind, chart.key, chart.generations);
        });
        add(chart.name + ": read", [&bench, chart](State& s) {
            ReadOnly(s, bench, chart.kind, chart.key, chart.generations);
        });
        add(chart.name + ": layout", [&bench, chart](State& s) {
            LayoutOnly(s, bench, chart.kind, chart.key, chart.generations);
        });
    }
    add("zoom repaint, fitted", [&bench](State& s) { Repaint(s, bench, true, true); });
    add("pan repaint, fitted", [&bench](State& s) { Repaint(s, bench, true, false); });
    add("zoom repaint, 100 %", [&bench](State& s) { Repaint(s, bench, false, true); });
    add("pan repaint, 100 %", [&bench](State& s) { Repaint(s, bench, false, false); });
    return figures;
}

int Run(int argc, char** argv) {
    QTextStream err(stderr);
    const BenchTree tree = RequireTree(argc, argv);
    ChartBench bench;
    if (const Status opened = bench.connection.open(tree.path); !opened.ok()) {
        err << "bench-chart: " << opened.description() << '\n';
        return 1;
    }
    // Persons already chosen on this tree can be given, to spare the search.
    bench.descendantsOf = qEnvironmentVariable("RADICI_BENCH_DESCENDANTS_OF");
    bench.ancestorsOf = qEnvironmentVariable("RADICI_BENCH_ANCESTORS_OF");
    if (bench.descendantsOf.isEmpty() || bench.ancestorsOf.isEmpty()) ChoosePersons(bench);
    err << "descendants of " << bench.descendantsOf << ": " << bench.descendantBoxes
        << " boxes; ancestors of " << bench.ancestorsOf << ": " << bench.ancestorBoxes
        << " boxes\n";
    err.flush();
    bench.canvas = std::make_unique<ChartCanvas>();
    bench.canvas->resize(1280, 800);
    bench.canvas->show();
    QCoreApplication::processEvents();
    std::vector<std::string> figures = Register(bench);
    return RunBenchmarks(argc, argv,
                         "Charts on a tree of " + std::to_string(tree.facts.persons) + " persons",
                         std::move(figures));
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return radici::bench::Run(argc, argv);
}
