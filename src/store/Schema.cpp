#include "Schema.h"

#include <sqlite3.h>

namespace radici {

namespace {

// Dates are ISO text (NULL when absent) so that ordering by text is chronological; an unknown
// sex is NULL. Each index is named after its table: index names share one namespace in SQLite.
// The relation tables' "key" indexes are not unique: the program never writes a second row for a
// pair, but files edited by hand may hold one, and every reader copes with it.
constexpr const char* SchemaSql = R"sql(
create table anagrafica (
    idrecord text not null,
    cognome text,
    nome text,
    sesso integer default 0,
    datanasc text,
    luogonasc text,
    nazionenasc text,
    datamorte text,
    luogomorte text,
    nazionemorte text);
create unique index anagrafica_key on anagrafica (idrecord);
create index anagrafica_cognome on anagrafica (cognome, datanasc, nome);
create index anagrafica_nome on anagrafica (nome, datanasc, cognome);

create table relazioni (
    idgenitori text not null,
    idfigli text not null,
    idsesso integer not null default 0);
create index relazioni_key on relazioni (idgenitori, idfigli);
create index relazioni_figli on relazioni (idfigli);

create table matrimoni (
    idmarito text not null,
    idmoglie text not null,
    Data text);
create index matrimoni_key on matrimoni (idmarito, idmoglie);
create index matrimoni_moglie on matrimoni (idmoglie);
)sql";

// The dates as GEDCOM date values; "ordine" is the ISO text of their earliest day, for sorting
// (NULL when there is none). evento: 0 birth, 1 death. Without rowid: the search reads a birth
// row on its key alone, one tree rather than an index and a table.
constexpr const char* OwnTablesSql = R"sql(
create table if not exists radici_date_persone (
    idrecord text not null,
    evento integer not null,
    data text not null,
    ordine text,
    primary key (idrecord, evento)) without rowid;
create table if not exists radici_date_matrimoni (
    idmarito text not null,
    idmoglie text not null,
    data text not null,
    ordine text,
    primary key (idmarito, idmoglie)) without rowid;
create index if not exists radici_date_matrimoni_moglie on radici_date_matrimoni (idmoglie);
)sql";

}  // namespace

Status CreateSchema(Database& db) {
    if (Status begun = db.begin(); !begun.ok()) return begun;
    if (Status created = db.execute(SchemaSql); !created.ok()) return db.rollbackAfter(created);
    return db.commit();
}

Status CreateOwnTables(Database& db) { return db.execute(OwnTablesSql); }

Result<bool> HasTable(const Database& db, const char* table) {
    Result<Statement> lookup =
        db.prepare("select 1 from sqlite_master where type = 'table' and name = ?1");
    if (!lookup.ok()) return lookup.status();
    lookup.value().bind(1, QString::fromLatin1(table));
    const bool found = lookup.value().step();
    if (!lookup.value().status().ok()) return lookup.value().status();
    return found;
}

// The names are the program's own constants: the pragma takes no parameter for its table.
Result<bool> ColumnRequired(const Database& db, const char* table, const char* column) {
    const QByteArray sql = QByteArray("pragma table_info(") + table + ")";
    Result<Statement> columns = db.prepare(sql.constData());
    if (!columns.ok()) return columns.status();
    bool required = false;
    while (columns.value().step()) {
        if (columns.value().text(1) == QLatin1String(column))
            required = columns.value().integer(3) != 0;
    }
    if (!columns.value().status().ok()) return columns.value().status();
    return required;
}

namespace {

struct TableColumns {
    const char* table;
    std::initializer_list<const char*> columns;
};

// What the program reads and writes, table by table, in the order they are checked.
const TableColumns ExpectedTables[] = {
    {"anagrafica",
     {"idrecord", "cognome", "nome", "sesso", "datanasc", "luogonasc", "nazionenasc", "datamorte",
      "luogomorte", "nazionemorte"}},
    {"relazioni", {"idgenitori", "idfigli", "idsesso"}},
    {"matrimoni", {"idmarito", "idmoglie", "Data"}},
};

Status Unusable(const QString& what) {
    return Status::failure(
        EngineError::TableMissing,
        QStringLiteral("Nel database manca %1: il file non è un database di Radici oppure è "
                       "danneggiato. Ripristina una copia di sicurezza, oppure sposta altrove il "
                       "file e creane uno nuovo con \"radici-db init\".")
            .arg(what));
}

// Names of tables and columns are the program's own constants, never a value from outside. The
// engine refuses a statement naming a missing column with its plain error; anything else (a busy
// file) is a failure of its own.
Result<bool> HasColumn(const Database& db, const char* table, const char* column) {
    const QByteArray probe = QByteArray("select ") + column + " from " + table + " limit 0";
    const Result<Statement> prepared = db.prepare(probe.constData());
    if (prepared.ok()) return true;
    if (prepared.status().is(SQLITE_ERROR)) return false;
    return prepared.status();
}

}  // namespace

Status CheckSchema(const Database& db) {
    for (const TableColumns& expected : ExpectedTables) {
        const Result<bool> found = HasTable(db, expected.table);
        if (!found.ok()) return found.status();
        if (!found.value())
            return Unusable(QStringLiteral("la tabella \"%1\"").arg(QLatin1String(expected.table)));
        for (const char* column : expected.columns) {
            const Result<bool> has = HasColumn(db, expected.table, column);
            if (!has.ok()) return has.status();
            if (!has.value())
                return Unusable(QStringLiteral("la colonna \"%1\" della tabella \"%2\"")
                                    .arg(QLatin1String(column), QLatin1String(expected.table)));
        }
    }
    return Status::success();
}

}  // namespace radici
