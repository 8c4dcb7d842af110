// bench-wide-chart: the descendant chart of a father with 10 000, 40 000 and 100 000 children of
// one marriage, made in memory (no tree file), laid out, and laid out then written as SVG.
#include "chart/ChartExport.h"
#include "chart/ChartLayout.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

namespace radici::bench {
namespace {

constexpr int Generations = 2;  // the couple and their children

Person Someone(const QString& key, SexCode sex, const QDate& born) {
    Person person;
    person.idrecord = key;
    person.cognome = QStringLiteral("AFFOLLATI");
    person.nome = key;
    person.sesso = sex;
    person.datanasc = born;
    return person;
}

// The children are born one a day, so the order of birth is the order written.
ChartFamily LargeFamily(int children) {
    ChartFamily family;
    const QString father = QStringLiteral("PADRE");
    const QString mother = QStringLiteral("MADRE");
    family.persons.insert(father, Someone(father, Male, QDate(1700, 1, 1)));
    family.persons.insert(mother, Someone(mother, Female, QDate(1701, 1, 1)));
    family.marriages.push_back({father, mother, QDate(1720, 1, 1)});
    for (int i = 0; i < children; ++i) {
        const QString child = QStringLiteral("FIGLIO%1").arg(i, 6, 10, QLatin1Char('0'));
        family.persons.insert(child,
                              Someone(child, i % 2 ? Female : Male, QDate(1721, 1, 1).addDays(i)));
        family.links.push_back({father, child, Male});
        family.links.push_back({mother, child, Female});
    }
    return family;
}

void Layout(benchmark::State& state) {
    const ChartFamily family = LargeFamily(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            LayoutChart(ChartKind::Descendants, family, QStringLiteral("PADRE"), Generations));
    }
}

void LayoutAndSvg(benchmark::State& state) {
    const ChartFamily family = LargeFamily(static_cast<int>(state.range(0)));
    const QTemporaryDir folder;
    for (auto _ : state) {
        const ChartLayout layout =
            LayoutChart(ChartKind::Descendants, family, QStringLiteral("PADRE"), Generations);
        if (const Status saved = ExportChart(layout, folder.filePath(QStringLiteral("a.svg")));
            !saved.ok()) {
            state.SkipWithError("the SVG was not written");
        }
        QFile::remove(folder.filePath(QStringLiteral("a.svg")));
    }
}

BENCHMARK(Layout)->Arg(10000)->Arg(40000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(LayoutAndSvg)->Arg(10000)->Arg(40000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace radici::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
