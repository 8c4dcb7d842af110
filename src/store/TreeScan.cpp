#include "TreeScan.h"

#include "Dates.h"
#include "PersonRow.h"

namespace radici {

namespace {

template <typename Visit>
Status Scan(const Database& db, const char* sql, Visit visit) {
    Result<Statement> prepared = db.prepare(sql);
    if (!prepared.ok()) return prepared.status();
    Statement& statement = prepared.value();
    while (statement.step()) {
        if (!visit(statement)) {
            statement.reset();
            return Status::success();
        }
    }
    return statement.status();
}

}  // namespace

Result<TableSizes> TreeScan::sizes() const {
    TableSizes sizes;
    const Status counted =
        Scan(db_,
             "select (select count(*) from anagrafica), (select count(*) from relazioni), "
             "(select count(*) from matrimoni)",
             [&](const Statement& row) {
                 sizes = {row.integer(0), row.integer(1), row.integer(2)};
                 return true;
             });
    if (!counted.ok()) return counted;
    return sizes;
}

Status TreeScan::persons(
    const std::function<bool(std::int64_t rowId, const Person&, const StoredDates&)>& visit) const {
    return Scan(db_,
                "select idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, "
                "datamorte, luogomorte, nazionemorte, rowid from anagrafica order by rowid",
                [&](const Statement& row) {
                    return visit(row.integer(10), ReadPerson(row), {row.text(4), row.text(7)});
                });
}

Status TreeScan::personKeys(
    const std::function<bool(QByteArrayView key, std::int64_t rowId)>& visit) const {
    // The engine reads these from the key index alone.
    return Scan(db_, "select idrecord, rowid from anagrafica",
                [&](const Statement& row) { return visit(row.utf8(0), row.integer(1)); });
}

Status TreeScan::parentLinks(const std::function<bool(const ScannedLink&)>& visit) const {
    return Scan(db_, "select idgenitori, idfigli, idsesso from relazioni order by rowid",
                [&](const Statement& row) {
                    return visit({row.utf8(0), row.utf8(1), static_cast<SexCode>(row.integer(2))});
                });
}

Status TreeScan::marriages(const std::function<bool(const ScannedMarriage&)>& visit) const {
    return Scan(db_, "select idmarito, idmoglie, Data from matrimoni order by rowid",
                [&](const Statement& row) {
                    const QString data = row.text(2);
                    return visit({row.utf8(0), row.utf8(1), DateFromStorageText(data), data});
                });
}

}  // namespace radici
