#include "FamilyReader.h"

#include "Dates.h"
#include "PersonRow.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace radici {
namespace {

// Well below the engine's limit of 999 parameters a statement.
constexpr qsizetype BatchSize = 400;

template <typename Row>
struct Numbered {
    std::int64_t rowId;
    Row row;
};

// "?1, ?2, ... ?n)": the keys are always bound, never written into the text.
QByteArray Placeholders(qsizetype count) {
    QByteArray text;
    for (qsizetype i = 1; i <= count; ++i) {
        text += '?' + QByteArray::number(i) + (i < count ? ", " : ")");
    }
    return text;
}

// Runs "<select> in (keys)" batch by batch. The select's column rowIdColumn is the rowid; readRow
// reads the row. Rows are returned in rowid order, as written.
template <typename Row, typename ReadRow>
Result<std::vector<Numbered<Row>>> ReadByKeys(const DatabaseConnection& connection,
                                              const char* select, int rowIdColumn,
                                              const QStringList& keys, ReadRow readRow) {
    const Database* db = connection.database();
    if (!db) return ConnectionClosed();
    std::vector<Numbered<Row>> rows;
    for (qsizetype first = 0; first < keys.size(); first += BatchSize) {
        const qsizetype count = std::min(BatchSize, keys.size() - first);
        const QByteArray sql = QByteArray(select) + " in (" + Placeholders(count);
        Result<Statement> prepared = db->prepare(sql.constData());
        if (!prepared.ok()) return prepared.status();
        Statement& statement = prepared.value();
        for (qsizetype i = 0; i < count; ++i) {
            statement.bind(static_cast<int>(i + 1), keys[first + i].trimmed());
        }
        while (statement.step())
            rows.push_back({statement.integer(rowIdColumn), readRow(statement)});
        if (!statement.status().ok()) return statement.status();
    }
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.rowId < b.rowId; });
    return rows;
}

template <typename Row>
std::vector<Row> RowsOnly(std::vector<Numbered<Row>>&& numbered) {
    std::vector<Row> rows;
    rows.reserve(numbered.size());
    for (Numbered<Row>& entry : numbered) rows.push_back(std::move(entry.row));
    return rows;
}

ParentLink ReadLink(const Statement& row) {
    return {row.text(0), row.text(1), static_cast<SexCode>(row.integer(2))};
}

Marriage ReadMarriage(const Statement& row) {
    return {row.text(0), row.text(1), DateFromStorageText(row.text(2))};
}

Result<std::vector<ParentLink>> Links(const DatabaseConnection& connection, const char* select,
                                      const QStringList& keys) {
    auto rows = ReadByKeys<ParentLink>(connection, select, 3, keys, ReadLink);
    if (!rows.ok()) return rows.status();
    return RowsOnly(std::move(rows).value());
}

}  // namespace

Result<std::vector<Person>> FamilyReader::persons(const QStringList& keys) const {
    auto rows = ReadByKeys<Person>(
        connection_,
        "select idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, datamorte, "
        "luogomorte, nazionemorte, rowid from anagrafica where idrecord",
        10, keys, ReadPerson);
    if (!rows.ok()) return rows.status();
    return RowsOnly(std::move(rows).value());
}

Result<QHash<QString, PersonDatesInPart>> FamilyReader::datesInPart(const QStringList& keys) const {
    QHash<QString, PersonDatesInPart> dates;
    const Result<bool> present = connection_.datesInPart().exists();
    if (!present.ok()) return present.status();
    if (!present.value()) return dates;
    struct EventRow {
        QString key;
        std::int64_t event;
        QString text;
    };
    auto rows = ReadByKeys<EventRow>(
        // The table has no rowid, and the order of a person's two dates does not matter.
        connection_,
        "select idrecord, evento, data, evento from radici_date_persone where idrecord", 3, keys,
        [](const Statement& row) -> EventRow {
            return {row.text(0).trimmed(), row.integer(1), row.text(2)};
        });
    if (!rows.ok()) return rows.status();
    for (const Numbered<EventRow>& row : rows.value()) {
        dates[row.row.key].take(row.row.event, row.row.text);
    }
    return dates;
}

Result<std::vector<ParentLink>> FamilyReader::parentLinks(const QStringList& childKeys) const {
    return Links(connection_,
                 "select idgenitori, idfigli, idsesso, rowid from relazioni where idfigli",
                 childKeys);
}

// The index on (idgenitori, idfigli) answers this alone, without reading the table's rows.
Result<QStringList> FamilyReader::children(const QStringList& parentKeys) const {
    auto rows =
        ReadByKeys<QString>(connection_, "select idfigli, rowid from relazioni where idgenitori", 1,
                            parentKeys, [](const Statement& row) { return row.text(0).trimmed(); });
    if (!rows.ok()) return rows.status();
    QStringList children;
    for (const Numbered<QString>& row : rows.value()) children.append(row.row);
    children.removeDuplicates();
    return children;
}

Result<std::vector<Marriage>> FamilyReader::marriages(const QStringList& husbandKeys,
                                                      const QStringList& wifeKeys) const {
    std::vector<Numbered<Marriage>> rows;
    const std::pair<const char*, const QStringList*> sides[] = {
        {"select idmarito, idmoglie, Data, rowid from matrimoni where idmarito", &husbandKeys},
        {"select idmarito, idmoglie, Data, rowid from matrimoni where idmoglie", &wifeKeys}};
    for (const auto& [select, keys] : sides) {
        auto side = ReadByKeys<Marriage>(connection_, select, 3, *keys, ReadMarriage);
        if (!side.ok()) return side.status();
        rows.insert(rows.end(), side.value().begin(), side.value().end());
    }
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.rowId < b.rowId; });
    // A marriage between two of the keys is found from both sides.
    rows.erase(std::unique(rows.begin(), rows.end(),
                           [](const auto& a, const auto& b) { return a.rowId == b.rowId; }),
               rows.end());
    return RowsOnly(std::move(rows));
}

}  // namespace radici
