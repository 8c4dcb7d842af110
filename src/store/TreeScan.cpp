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

TreeScan::~TreeScan() {
    if (reading_) db_.rollback();
}

Status TreeScan::begin() {
    // Deferred: a read lock only, so the program's own writes are never blocked by an export.
    Status begun = db_.execute("begin");
    reading_ = begun.ok();
    return begun;
}

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
    const std::function<bool(std::int64_t rowId, const Person&)>& visit) const {
    return Scan(db_,
                "select idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, "
                "datamorte, luogomorte, nazionemorte, rowid from anagrafica order by rowid",
                [&](const Statement& row) { return visit(row.integer(10), ReadPerson(row)); });
}

Status TreeScan::parentLinks(const std::function<bool(const ScannedLink&)>& visit) const {
    return Scan(db_,
                "select r.idgenitori, r.idfigli, r.idsesso, p.rowid, c.rowid from relazioni r "
                "left join anagrafica p on p.idrecord = r.idgenitori "
                "left join anagrafica c on c.idrecord = r.idfigli order by r.rowid",
                [&](const Statement& row) {
                    return visit(ScannedLink{
                        {row.text(0), row.text(1), static_cast<SexCode>(row.integer(2))},
                        row.integer(3),
                        row.integer(4)});
                });
}

Status TreeScan::marriages(const std::function<bool(const ScannedMarriage&)>& visit) const {
    return Scan(db_,
                "select m.idmarito, m.idmoglie, m.Data, h.rowid, w.rowid from matrimoni m "
                "left join anagrafica h on h.idrecord = m.idmarito "
                "left join anagrafica w on w.idrecord = m.idmoglie order by m.rowid",
                [&](const Statement& row) {
                    return visit(ScannedMarriage{
                        {row.text(0), row.text(1), DateFromStorageText(row.text(2))},
                        row.integer(3),
                        row.integer(4)});
                });
}

Result<QString> TreeScan::keyOfPerson(std::int64_t rowId) const {
    Result<Statement> prepared = db_.prepare("select idrecord from anagrafica where rowid = ?1");
    if (!prepared.ok()) return prepared.status();
    Statement& statement = prepared.value();
    statement.bind(1, rowId);
    QString key;
    if (statement.step()) key = statement.text(0);
    if (!statement.status().ok()) return statement.status();
    statement.reset();
    return key;
}

}  // namespace radici
