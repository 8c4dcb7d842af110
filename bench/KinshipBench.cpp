// bench-kinship: how two persons are related, on a generated tree, read from the file included.
// Two pairs: fifth cousins (six generations up from one, six down to the other), and two young
// persons with no relationship at all, so every line of ancestors of both, and of their spouses,
// is walked to its end. The floor walks the same ancestors with one prepared statement a person
// instead of one query a generation.
#include "BenchSupport.h"
#include "Floor.h"
#include "kinship/KinshipFinder.h"
#include "store/DatabaseConnection.h"

#include <QCoreApplication>
#include <QTextStream>
#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace radici::bench {
namespace {

using benchmark::State;

constexpr int Generations = 6;  // up from the first person, and down to the second

// The floor's walk: the spouses, then every ancestor of the two and of their spouses, each read
// with a prepared statement per person, then the persons met on both sides.
class FloorKinship {
public:
    explicit FloorKinship(sqlite3* db)
        : db_(db),
          parents_(db, "select idgenitori from relazioni where idfigli = ?"),
          husbands_(db, "select idmarito from matrimoni where idmoglie = ?"),
          wives_(db, "select idmoglie from matrimoni where idmarito = ?"),
          person_(db, "select " FLOOR_PERSON_COLUMNS " from anagrafica where idrecord = ?") {}

    // The number of persons both sides of some pair share.
    std::size_t find(const std::string& first, const std::string& second) {
        sqlite3_exec(db_, "begin", nullptr, nullptr, nullptr);
        const Ancestors a = climb(first);
        const Ancestors b = climb(second);
        std::size_t shared = common(a, b);
        for (const std::string& spouse : spousesOf(first)) shared += common(climb(spouse), b);
        for (const std::string& spouse : spousesOf(second)) shared += common(a, climb(spouse));
        sqlite3_exec(db_, "commit", nullptr, nullptr, nullptr);
        return shared;
    }

private:
    using Ancestors = std::unordered_map<std::string, int>;

    std::vector<std::string> spousesOf(const std::string& key) {
        std::vector<std::string> spouses;
        for (FloorStatement* side : {&husbands_, &wives_}) {
            side->text(1, key);
            while (side->row()) spouses.emplace_back(side->column(0));
        }
        return spouses;
    }

    Ancestors climb(const std::string& key) {
        Ancestors seen{{key, 0}};
        std::vector<std::string> frontier{key};
        for (int generation = 1; generation <= MaxKinshipGenerations && !frontier.empty();
             ++generation) {
            std::vector<std::string> next;
            for (const std::string& child : frontier) {
                parents_.text(1, child);
                while (parents_.row()) {
                    std::string parent(parents_.column(0));
                    if (seen.emplace(parent, generation).second) next.push_back(std::move(parent));
                }
            }
            frontier = std::move(next);
        }
        return seen;
    }

    std::size_t common(const Ancestors& a, const Ancestors& b) {
        std::size_t shared = 0;
        for (const auto& [key, depth] : a) {
            if (!b.count(key)) continue;
            person_.text(1, key);
            while (person_.row()) shared += person_.readAll() > 0;
        }
        return shared;
    }

    sqlite3* db_;
    FloorStatement parents_;
    FloorStatement husbands_;
    FloorStatement wives_;
    FloorStatement person_;
};

struct Pair {
    QString first;
    QString second;
};

struct KinshipBench {
    DatabaseConnection connection;
    std::unique_ptr<FloorDatabase> floor;
    Pair related;
    Pair unrelated;
};

std::vector<std::string> Column(sqlite3* db, const char* sql, const std::string& key = {}) {
    FloorStatement statement(db, sql);
    if (!key.empty()) statement.text(1, key);
    std::vector<std::string> values;
    while (statement.row()) values.emplace_back(statement.column(0));
    return values;
}

// A descendant that many generations below key, not through the child avoided.
std::string DescendantBelow(sqlite3* db, const std::string& key, int generations,
                            const std::string& avoided) {
    if (generations == 0) return key;
    for (const std::string& child :
         Column(db, "select idfigli from relazioni where idgenitori = ?", key)) {
        if (child == avoided) continue;
        if (std::string found = DescendantBelow(db, child, generations - 1, {}); !found.empty())
            return found;
    }
    return {};
}

// Fifth cousins: from a young person six generations up the first parent each time, then six
// down through another child.
Pair ChooseRelated(sqlite3* db, const std::vector<std::string>& young) {
    for (const std::string& start : young) {
        std::vector<std::string> line{start};
        while (static_cast<int>(line.size()) <= Generations) {
            const std::vector<std::string> parents =
                Column(db, "select idgenitori from relazioni where idfigli = ?", line.back());
            if (parents.empty()) break;
            line.push_back(parents.front());
        }
        if (static_cast<int>(line.size()) <= Generations) continue;
        const std::string cousin =
            DescendantBelow(db, line.back(), Generations, line[line.size() - 2]);
        if (!cousin.empty()) return {QString::fromStdString(start), QString::fromStdString(cousin)};
    }
    return {};
}

// Two young persons, each with a long line of ancestors, whom nothing relates.
Pair ChooseUnrelated(const DatabaseConnection& connection, const std::vector<std::string>& young) {
    const QString first = QString::fromStdString(young.front());
    for (auto it = young.rbegin(); it != young.rend(); ++it) {
        const Result<Kinship> kinship = FindKinship(connection, first, QString::fromStdString(*it));
        if (kinship.ok() && kinship.value().relationships.empty())
            return {first, QString::fromStdString(*it)};
    }
    return {};
}

void Program(State& state, KinshipBench& bench, const Pair& pair) {
    std::size_t found = 0;
    for (auto _ : state) {
        const Result<Kinship> kinship = FindKinship(bench.connection, pair.first, pair.second);
        if (!kinship.ok()) {
            state.SkipWithError(kinship.status().description().toStdString().c_str());
            break;
        }
        found = kinship.value().relationships.size();
    }
    state.counters["relationships"] = static_cast<double>(found);
}

void Floor(State& state, KinshipBench& bench, const Pair& pair) {
    FloorKinship floor(bench.floor->handle());
    const std::string first = pair.first.toStdString();
    const std::string second = pair.second.toStdString();
    for (auto _ : state) benchmark::DoNotOptimize(floor.find(first, second));
}

std::vector<std::string> Register(KinshipBench& bench) {
    std::vector<std::string> figures;
    const auto add = [&](const std::string& figure, const Pair& pair) {
        benchmark::RegisterBenchmark((figure + "/program").c_str(), [&bench, pair](State& s) {
            Program(s, bench, pair);
        })->UseRealTime();
        benchmark::RegisterBenchmark((figure + "/floor").c_str(), [&bench, pair](State& s) {
            Floor(s, bench, pair);
        })->UseRealTime();
        figures.push_back(figure);
    };
    add("fifth cousins", bench.related);
    add("no relationship", bench.unrelated);
    return figures;
}

int Run(int argc, char** argv) {
    QTextStream err(stderr);
    const BenchTree tree = RequireTree(argc, argv);
    KinshipBench bench;
    const QString& path = tree.path;
    if (const Status opened = bench.connection.open(path); !opened.ok()) {
        err << "bench-kinship: " << opened.description() << '\n';
        return 1;
    }
    bench.floor = std::make_unique<FloorDatabase>(path.toStdString(),
                                                  DatabaseConnection::Password.toStdString());
    if (!bench.floor->ok()) {
        err << "bench-kinship: " << QString::fromStdString(bench.floor->error()) << '\n';
        return 1;
    }
    // The youngest have the longest lines of ancestors.
    const std::vector<std::string> young =
        Column(bench.floor->handle(),
               "select idrecord from anagrafica order by datanasc desc "
               "limit 400");
    bench.related = ChooseRelated(bench.floor->handle(), young);
    bench.unrelated = ChooseUnrelated(bench.connection, young);
    err << "fifth cousins: " << bench.related.first << " and " << bench.related.second
        << "; no relationship: " << bench.unrelated.first << " and " << bench.unrelated.second
        << '\n';
    err.flush();
    if (bench.related.first.isEmpty() || bench.unrelated.first.isEmpty()) {
        err << "bench-kinship: no such pair in this tree\n";
        return 1;
    }
    std::vector<std::string> figures = Register(bench);
    return RunBenchmarks(argc, argv,
                         "Kinship on a tree of " + std::to_string(tree.facts.persons) + " persons",
                         std::move(figures));
}

}  // namespace
}  // namespace radici::bench

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    return radici::bench::Run(argc, argv);
}
