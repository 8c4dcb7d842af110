#include "Schema.h"

namespace radici {

namespace {

// Dates are ISO text (NULL when absent) so that ordering by text is chronological. Each index
// is named after its table: index names share one namespace in SQLite. The relation tables'
// "key" indexes are not unique: the program never writes a second row for a pair, but files
// edited by hand may hold one, and every reader copes with it.
constexpr const char* SchemaSql = R"sql(
create table anagrafica (
    idrecord text not null,
    cognome text,
    nome text,
    sesso integer not null default 0,
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

}  // namespace

Status CreateSchema(Database& db) {
    if (Status begun = db.begin(); !begun.ok()) return begun;
    if (Status created = db.execute(SchemaSql); !created.ok()) return db.rollbackAfter(created);
    return db.commit();
}

Status CheckSchema(const Database& db) {
    Result<Statement> lookup =
        db.prepare("select 1 from sqlite_master where type = 'table' and name = ?1");
    if (!lookup.ok()) return lookup.status();
    Statement& statement = lookup.value();
    for (const char* table : {"anagrafica", "relazioni", "matrimoni"}) {
        statement.reset();
        statement.bind(1, QString::fromLatin1(table));
        const bool found = statement.step();
        if (!statement.status().ok()) return statement.status();
        statement.reset();
        if (!found)
            return Status::failure(
                EngineError::TableMissing,
                QStringLiteral("Nel database manca la tabella \"%1\": il file non è un database "
                               "di Radici oppure è danneggiato. Ripristina una copia di "
                               "sicurezza, oppure sposta altrove il file e creane uno nuovo con "
                               "\"radici-db init\".")
                    .arg(QLatin1String(table)));
    }
    return Status::success();
}

}  // namespace radici
