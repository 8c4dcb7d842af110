#include "ChartReader.h"

#include "ChartLayout.h"
#include "store/FamilyReader.h"

#include <QSet>
#include <algorithm>

namespace radici {
namespace {

// The keys not in seen, which now holds them too.
QStringList Unseen(QSet<QString>& seen, const QStringList& keys) {
    QStringList fresh;
    for (const QString& key : keys) {
        if (!seen.contains(key)) {
            seen.insert(key);
            fresh.append(key);
        }
    }
    return fresh;
}

class FamilyCollector {
public:
    explicit FamilyCollector(const DatabaseConnection& connection) : reader_(connection) {}

    // Reads the persons not read yet.
    Status readPersons(const QStringList& keys) {
        const QStringList fresh = Unseen(requested_, keys);
        Result<std::vector<Person>> persons = reader_.persons(fresh);
        if (!persons.ok()) return persons.status();
        for (Person& person : persons.value()) {
            const QString key = person.idrecord.trimmed();
            family_.persons.insert(key, std::move(person));
        }
        Result<QHash<QString, PersonDatesInPart>> inPart = reader_.datesInPart(fresh);
        if (!inPart.ok()) return inPart.status();
        family_.datesInPart.insert(inPart.value());
        return Status::success();
    }

    // The keys not followed yet, now marked as followed: a cycle ends here.
    QStringList follow(const QStringList& keys) { return Unseen(followed_, keys); }

    // The parent links of the children, kept; returns the parents they name.
    Result<QStringList> addParentLinks(const QStringList& children) {
        Result<std::vector<ParentLink>> links = reader_.parentLinks(children);
        if (!links.ok()) return links.status();
        QStringList parents;
        for (ParentLink& link : links.value()) {
            parents.append(link.idgenitori.trimmed());
            family_.links.push_back(std::move(link));
        }
        return parents;
    }

    // Each person's marriages in either role: a pair may be stored both ways round.
    Result<QStringList> addMarriages(const QStringList& keys) {
        Result<std::vector<Marriage>> marriages = reader_.marriages(keys, keys);
        if (!marriages.ok()) return marriages.status();
        QStringList spouses;
        for (Marriage& marriage : marriages.value()) {
            spouses << marriage.idmarito.trimmed() << marriage.idmoglie.trimmed();
            family_.marriages.push_back(std::move(marriage));
        }
        return spouses;
    }

    Result<QStringList> childrenOf(const QStringList& parents) const {
        return reader_.children(parents);
    }

    // Once every person is read: one row for each pair, the man as husband.
    ChartFamily take() {
        QHash<QString, std::size_t> pairs;
        std::vector<Marriage> kept;
        for (Marriage& marriage : family_.marriages) {
            if (sex(marriage.idmarito) != Male && sex(marriage.idmoglie) == Male)
                std::swap(marriage.idmarito, marriage.idmoglie);
            const QString husband = marriage.idmarito.trimmed();
            const QString wife = marriage.idmoglie.trimmed();
            const QString pair = std::min(husband, wife) + u'\n' + std::max(husband, wife);
            if (const auto seen = pairs.constFind(pair); seen != pairs.constEnd()) {
                if (!kept[*seen].data.isValid()) kept[*seen].data = marriage.data;
                continue;
            }
            pairs.insert(pair, kept.size());
            kept.push_back(std::move(marriage));
        }
        family_.marriages = std::move(kept);
        return std::move(family_);
    }

private:
    std::optional<SexCode> sex(const QString& key) const {
        const auto person = family_.persons.constFind(key.trimmed());
        if (person == family_.persons.constEnd()) return std::nullopt;
        return person->sesso;
    }

    FamilyReader reader_;
    ChartFamily family_;
    QSet<QString> requested_;
    QSet<QString> followed_;
};

Status ReadAncestors(FamilyCollector& collector, QStringList frontier, int generations) {
    for (int generation = 1; generation < generations && !frontier.isEmpty(); ++generation) {
        Result<QStringList> parents = collector.addParentLinks(collector.follow(frontier));
        if (!parents.ok()) return parents.status();
        if (Status read = collector.readPersons(parents.value()); !read.ok()) return read;
        frontier = parents.value();
    }
    return Status::success();
}

Status ReadDescendants(FamilyCollector& collector, QStringList frontier, int generations) {
    for (int generation = 1; generation <= generations && !frontier.isEmpty(); ++generation) {
        frontier = collector.follow(frontier);
        Result<QStringList> named = collector.addMarriages(frontier);
        if (!named.ok()) return named.status();
        QStringList children;
        if (generation < generations) {
            Result<QStringList> found = collector.childrenOf(frontier);
            if (!found.ok()) return found.status();
            children = found.value();
            Result<QStringList> parents = collector.addParentLinks(children);
            if (!parents.ok()) return parents.status();
            named.value() << children << parents.value();
        }
        if (Status read = collector.readPersons(named.value()); !read.ok()) return read;
        frontier = children;
    }
    return Status::success();
}

}  // namespace

Result<ChartFamily> ReadChartFamily(const DatabaseConnection& connection, ChartKind kind,
                                    const QString& key, int generations) {
    generations = std::clamp(generations, MinGenerations, MaxGenerations);
    // One state of the file for every query of the chart.
    return connection.runReading([&]() -> Result<ChartFamily> {
        FamilyCollector collector(connection);
        const QStringList root{key.trimmed()};
        Status read = collector.readPersons(root);
        if (read.ok()) {
            read = kind == ChartKind::Ancestors ? ReadAncestors(collector, root, generations)
                                                : ReadDescendants(collector, root, generations);
        }
        if (!read.ok()) return read;
        return collector.take();
    });
}

}  // namespace radici
