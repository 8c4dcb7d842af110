#include "TreeScan.h"

#include "Dates.h"
#include "Schema.h"

#include <algorithm>

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
             "select (select max(rowid) from anagrafica), (select max(rowid) from relazioni), "
             "(select max(rowid) from matrimoni)",
             [&](const Statement& row) {
                 // A row id set by hand far beyond the rows is no guess worth more.
                 const auto guess = [&](int column) {
                     return std::clamp<std::int64_t>(row.integer(column), 0, 1 << 28);
                 };
                 sizes = {guess(0), guess(1), guess(2)};
                 return true;
             });
    if (!counted.ok()) return counted;
    return sizes;
}

Status TreeScan::persons(const std::function<bool(const ScannedPerson&)>& visit) const {
    return Scan(db_,
                "select idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, "
                "datamorte, luogomorte, nazionemorte, rowid from anagrafica order by rowid",
                [&](const Statement& row) {
                    return visit({.rowId = row.integer(10),
                                  .idrecord = row.utf8(0),
                                  .cognome = row.utf8(1),
                                  .nome = row.utf8(2),
                                  .sesso = row.isNull(3) ? std::nullopt
                                                         : std::optional(SexCode{row.integer(3)}),
                                  .datanasc = DateFromStorageText(row.utf8(4)),
                                  .storedDatanasc = row.utf8(4),
                                  .luogonasc = row.utf8(5),
                                  .nazionenasc = row.utf8(6),
                                  .datamorte = DateFromStorageText(row.utf8(7)),
                                  .storedDatamorte = row.utf8(7),
                                  .luogomorte = row.utf8(8),
                                  .nazionemorte = row.utf8(9)});
                });
}

Status TreeScan::personDatesInPart(const std::function<bool(QByteArrayView key, std::int64_t evento,
                                                            QByteArrayView date)>& visit) const {
    // An old file has no such table, so no such dates.
    const Result<bool> own = HasTable(db_, PersonDatesTable);
    if (!own.ok() || !own.value()) return own.status();
    return Scan(
        db_, "select idrecord, evento, data from radici_date_persone",
        [&](const Statement& row) { return visit(row.utf8(0), row.integer(1), row.utf8(2)); });
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
    const Result<bool> own = HasTable(db_, MarriageDatesTable);
    if (!own.ok()) return own.status();
    return Scan(
        db_,
        own.value() ? "select m.idmarito, m.idmoglie, m.Data, r.data from matrimoni m left "
                      "join radici_date_matrimoni r on r.idmarito = m.idmarito and "
                      "r.idmoglie = m.idmoglie order by m.rowid"
                    : "select idmarito, idmoglie, Data, null from matrimoni order by rowid",
        [&](const Statement& row) {
            const QByteArrayView data = row.utf8(2);
            return visit({row.utf8(0), row.utf8(1), DateFromStorageText(data), data, row.utf8(3)});
        });
}

}  // namespace radici
