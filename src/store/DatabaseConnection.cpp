#include "DatabaseConnection.h"

#include "Dates.h"
#include "PersonKey.h"
#include "PersonRow.h"
#include "Schema.h"
#include "SearchPattern.h"

#include <sqlite3.h>
#include <array>

namespace radici {

Status ConnectionClosed() {
    return Status::failure(EngineError::NotOpen,
                           QStringLiteral("Il database non è aperto: nella cartella di lavoro "
                                          "manca il file \"%1\" oppure non è stato possibile "
                                          "aprirlo. Chiudi il programma e riavvialo dalla "
                                          "cartella che contiene il file.")
                               .arg(DatabaseConnection::FileName));
}

namespace {

Status PersonGone() {
    return Status::failure(
        EngineError::NoCurrentRecord,
        QStringLiteral("La persona non è più presente in archivio: ripeti la ricerca."));
}

// Keys are compared exactly, letter case included, after trimming.
QString KeyParameter(const QString& key) { return key.trimmed(); }

QString StoredText(const QString& text) {
    return text.isNull() ? QString() : UpperCase(text.trimmed());
}

// Names, places and keys are kept trimmed and upper-cased whoever writes them, so a prefix
// search on the upper-cased text finds every person.
Person NormalizedForStorage(const Person& person) {
    Person stored = person;
    stored.idrecord = StoredText(person.idrecord);
    stored.cognome = StoredText(person.cognome);
    stored.nome = StoredText(person.nome);
    stored.luogonasc = StoredText(person.luogonasc);
    stored.nazionenasc = StoredText(person.nazionenasc);
    stored.luogomorte = StoredText(person.luogomorte);
    stored.nazionemorte = StoredText(person.nazionemorte);
    return stored;
}

// The columns of a person, in the order BindPerson binds and ReadPerson reads them.
#define PERSON_COLUMNS                                                                          \
    "idrecord, cognome, nome, sesso, datanasc, luogonasc, nazionenasc, datamorte, luogomorte, " \
    "nazionemorte"

// Prepares a statement on its first use and rewinds it on every later one.
Result<Statement*> Cached(const Database* db, Statement& cache, const char* sql) {
    if (!db) return ConnectionClosed();
    if (!cache.prepared()) {
        Result<Statement> prepared = db->prepare(sql);
        if (!prepared.ok()) return prepared.status();
        cache = std::move(prepared).value();
    }
    cache.reset();
    return &cache;
}

// Rewinds a statement when the operation that used it ends, releasing its read lock.
class Rewind {
public:
    explicit Rewind(Statement& statement) : statement_(statement) {}
    ~Rewind() { statement_.reset(); }
    Rewind(const Rewind&) = delete;
    Rewind& operator=(const Rewind&) = delete;

private:
    Statement& statement_;
};

int ChangedRows(const Database* db) { return sqlite3_changes(db->handle()); }

template <typename Row, typename ReadRow>
Result<std::vector<Row>> ReadAll(Statement& statement, ReadRow readRow) {
    std::vector<Row> rows;
    while (statement.step()) rows.push_back(readRow(statement));
    if (!statement.status().ok()) return statement.status();
    return rows;
}

ParentLink ReadLink(const Statement& row) {
    return {row.text(0), row.text(1), static_cast<SexCode>(row.integer(2))};
}

Marriage ReadMarriage(const Statement& row) {
    return {row.text(0), row.text(1), DateFromStorageText(row.text(2))};
}

Result<bool> Exists(Statement& statement, const QString& first, const QString& second) {
    Rewind rewind(statement);
    statement.bind(1, KeyParameter(first));
    statement.bind(2, KeyParameter(second));
    const bool found = statement.step();
    if (!statement.status().ok()) return statement.status();
    return found;
}

Result<bool> HoldsNoRow(const Database* db, const char* sql) {
    if (!db) return ConnectionClosed();
    Result<Statement> statement = db->prepare(sql);
    if (!statement.ok()) return statement.status();
    const bool found = statement.value().step();
    if (!statement.value().status().ok()) return statement.value().status();
    return !found;
}

constexpr const char* InsertLink =
    "insert into relazioni (idgenitori, idfigli, idsesso) values (?1, ?2, ?3)";
constexpr const char* InsertMarriage =
    "insert into matrimoni (idmarito, idmoglie, Data) values (?1, ?2, ?3)";

template <typename BindThird>
Status WritePair(Statement& statement, const QString& first, const QString& second,
                 BindThird bindThird) {
    statement.bind(1, KeyParameter(first));
    statement.bind(2, KeyParameter(second));
    bindThird(statement);
    return statement.run();
}

// Rewrites the rows of the pair, or adds one when there is none.
template <typename BindThird>
Status Upsert(const Database* db, Statement& update, Statement& insert, const QString& first,
              const QString& second, BindThird bindThird) {
    for (Statement* statement : {&update, &insert}) {
        if (Status written = WritePair(*statement, first, second, bindThird); !written.ok())
            return written;
        if (ChangedRows(db) > 0) return Status::success();
    }
    return Status::success();
}

Status RunWithKeys(const Database* db, const char* sql, std::initializer_list<QString> keys) {
    if (!db) return ConnectionClosed();
    Result<Statement> prepared = db->prepare(sql);
    if (!prepared.ok()) return prepared.status();
    int index = 1;
    for (const QString& key : keys) prepared.value().bind(index++, KeyParameter(key));
    return prepared.value().run();
}

// The text of an argument read whole, with its length: a NUL inside a name must not end it.
QString WholeText(const unsigned char* text, sqlite3_value* argument) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text), sqlite3_value_bytes(argument));
}

// radici_match(pattern, value): the wildcard comparison of the registry search.
void MatchFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    const unsigned char* pattern = sqlite3_value_text(arguments[0]);
    const unsigned char* value = sqlite3_value_text(arguments[1]);
    const bool matches =
        pattern && value &&
        MatchesSearchPattern(WholeText(pattern, arguments[0]), WholeText(value, arguments[1]));
    sqlite3_result_int(context, matches ? 1 : 0);
}

Status RegisterMatchFunction(const Database& db) {
    const int rc = sqlite3_create_function_v2(db.handle(), "radici_match", 2,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                              &MatchFunction, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Status::success() : EngineFailure(db.handle(), rc);
}

// Search statements by field: a literal prefix uses the index range alone; a prefix followed by
// wildcards narrows the range and filters; a leading wildcard scans.
struct SearchStatements {
    const char* range;
    const char* rangeAndMatch;
    const char* scan;
};

constexpr SearchStatements SurnameSearch{
    "select rowid, idrecord from anagrafica where cognome >= ?1 and cognome < ?2 "
    "order by datanasc, cognome, nome, rowid",
    "select rowid, idrecord from anagrafica where cognome >= ?1 and cognome < ?2 "
    "and radici_match(?3, cognome) order by datanasc, cognome, nome, rowid",
    "select rowid, idrecord from anagrafica where radici_match(?3, cognome) "
    "order by datanasc, cognome, nome, rowid"};

constexpr SearchStatements GivenNameSearch{
    "select rowid, idrecord from anagrafica where nome >= ?1 and nome < ?2 "
    "order by datanasc, cognome, nome, rowid",
    "select rowid, idrecord from anagrafica where nome >= ?1 and nome < ?2 "
    "and radici_match(?3, nome) order by datanasc, cognome, nome, rowid",
    "select rowid, idrecord from anagrafica where radici_match(?3, nome) "
    "order by datanasc, cognome, nome, rowid"};

}  // namespace

// --- anagrafica --------------------------------------------------------------------------------

namespace {

// Reads the row of the key with readRow; no value when there is none.
template <typename Row, typename ReadRow>
Result<std::optional<Row>> SeekRow(const Database* db, Statement& cache, const QString& key,
                                   ReadRow readRow) {
    Result<Statement*> statement =
        Cached(db, cache, "select " PERSON_COLUMNS " from anagrafica where idrecord = ?1");
    if (!statement.ok()) return statement.status();
    Statement& seek = *statement.value();
    Rewind rewind(seek);
    seek.bind(1, KeyParameter(key));
    if (seek.step()) return std::optional<Row>(readRow(seek));
    if (!seek.status().ok()) return seek.status();
    return std::optional<Row>();
}

Status ChangedElsewhere() {
    return Status::failure(EngineError::ChangedElsewhere,
                           QStringLiteral("Nel frattempo un altro programma ha modificato questa "
                                          "persona: le correzioni non sono state salvate. Annulla, "
                                          "ripeti la ricerca e correggi di nuovo."));
}

// Which fields of a person, in column order from cognome to nazionemorte, differ.
std::array<bool, 9> ChangedFields(const Person& was, const Person& now) {
    return {was.cognome != now.cognome,
            was.nome != now.nome,
            was.sesso != now.sesso,
            was.datanasc != now.datanasc,
            was.luogonasc != now.luogonasc,
            was.nazionenasc != now.nazionenasc,
            was.datamorte != now.datamorte,
            was.luogomorte != now.luogomorte,
            was.nazionemorte != now.nazionemorte};
}

}  // namespace

Result<std::optional<Person>> PersonTable::seek(const QString& key) const {
    return SeekRow<Person>(db_, seekStatement_, key, ReadPerson);
}

Result<std::optional<StoredPerson>> PersonTable::seekStored(const QString& key) const {
    return SeekRow<StoredPerson>(db_, seekStatement_, key, ReadStoredPerson);
}

// Each column the user did not change is set to itself, so it keeps its stored value and type.
Status PersonTable::correct(const StoredPerson& loaded, const Person& edited) {
    const Result<std::optional<StoredPerson>> now = seekStored(loaded.person.idrecord);
    if (!now.ok()) return now.status();
    if (!now.value()) return PersonGone();
    if (now.value()->columns != loaded.columns) return ChangedElsewhere();
    Result<Statement*> statement = Cached(
        db_, correctStatement_,
        "update anagrafica set cognome = case when ?11 then ?2 else cognome end, "
        "nome = case when ?12 then ?3 else nome end, sesso = case when ?13 then ?4 else sesso end, "
        "datanasc = case when ?14 then ?5 else datanasc end, "
        "luogonasc = case when ?15 then ?6 else luogonasc end, "
        "nazionenasc = case when ?16 then ?7 else nazionenasc end, "
        "datamorte = case when ?17 then ?8 else datamorte end, "
        "luogomorte = case when ?18 then ?9 else luogomorte end, "
        "nazionemorte = case when ?19 then ?10 else nazionemorte end where idrecord = ?1");
    if (!statement.ok()) return statement.status();
    Statement& update = *statement.value();
    BindPerson(update, NormalizedForStorage(edited));
    update.bind(1, loaded.person.idrecord);  // the key never changes
    int flag = 11;
    for (const bool changed : ChangedFields(loaded.person, edited))
        update.bind(flag++, std::int64_t{changed});
    return update.run();
}

Status PersonTable::add(const Person& person) {
    return write("insert into anagrafica (" PERSON_COLUMNS
                 ") values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
                 person, addStatement_);
}

Status PersonTable::rewrite(const Person& person) {
    const Status written = write(
        "update anagrafica set cognome = ?2, nome = ?3, sesso = ?4, datanasc = ?5, "
        "luogonasc = ?6, nazionenasc = ?7, datamorte = ?8, luogomorte = ?9, nazionemorte = ?10 "
        "where idrecord = ?1",
        person, rewriteStatement_);
    if (written.ok() && ChangedRows(db_) == 0) return PersonGone();
    return written;
}

Status PersonTable::write(const char* sql, const Person& person, Statement& cache) {
    Result<Statement*> statement = Cached(db_, cache, sql);
    if (!statement.ok()) return statement.status();
    BindPerson(*statement.value(), NormalizedForStorage(person));
    return statement.value()->run();
}

// A freed row id is given to the next new person, so the key must match too.
Result<Person> PersonTable::readRow(std::int64_t rowId, const QString& key) const {
    Result<Statement*> statement =
        Cached(db_, readRowStatement_,
               "select " PERSON_COLUMNS " from anagrafica where rowid = ?1 and idrecord = ?2");
    if (!statement.ok()) return statement.status();
    Statement& read = *statement.value();
    Rewind rewind(read);
    read.bind(1, rowId);
    read.bind(2, key);
    if (read.step()) return ReadPerson(read);
    if (!read.status().ok()) return read.status();
    return PersonGone();
}

namespace {

const char* SearchSql(SearchField field, const SearchPattern& pattern) {
    const SearchStatements& statements =
        field == SearchField::Surname ? SurnameSearch : GivenNameSearch;
    if (pattern.prefix.isEmpty()) return statements.scan;
    return pattern.hasWildcards() ? statements.rangeAndMatch : statements.range;
}

void BindSearch(Statement& search, const SearchPattern& pattern) {
    if (!pattern.prefix.isEmpty()) {
        const QByteArray prefix = pattern.prefix.toUtf8();
        search.bindUtf8(1, prefix);
        search.bindUtf8(2, PrefixUpperBound(prefix));
    }
    if (pattern.prefix.isEmpty() || pattern.hasWildcards()) search.bind(3, pattern.pattern);
}

}  // namespace

Result<SearchResult> PersonTable::search(SearchField field, const QString& text) const {
    if (!db_) return ConnectionClosed();
    const SearchPattern pattern = TranslateSearchText(text);
    Result<Statement> prepared = db_->prepare(SearchSql(field, pattern));
    if (!prepared.ok()) return prepared.status();
    BindSearch(prepared.value(), pattern);
    Result<std::vector<SearchResult::Found>> rows =
        ReadAll<SearchResult::Found>(prepared.value(), [](const Statement& row) {
            return SearchResult::Found{row.integer(0), row.text(1)};
        });
    if (!rows.ok()) return rows.status();
    return SearchResult(std::move(rows).value(), [this](const SearchResult::Found& found) {
        return readRow(found.rowId, found.key);
    });
}

void PersonTable::close() {
    seekStatement_ = Statement();
    addStatement_ = Statement();
    rewriteStatement_ = Statement();
    readRowStatement_ = Statement();
    correctStatement_ = Statement();
    db_ = nullptr;
}

// --- relazioni ---------------------------------------------------------------------------------

Result<std::vector<ParentLink>> RelationTable::parentsOf(const QString& childKey) const {
    Result<Statement*> statement = Cached(db_, parentsStatement_,
                                          "select idgenitori, idfigli, idsesso from relazioni "
                                          "where idfigli = ?1 order by rowid");
    if (!statement.ok()) return statement.status();
    statement.value()->bind(1, KeyParameter(childKey));
    return ReadAll<ParentLink>(*statement.value(), ReadLink);
}

Result<std::vector<ParentLink>> RelationTable::childrenOf(const QString& parentKey) const {
    Result<Statement*> statement = Cached(db_, childrenStatement_,
                                          "select idgenitori, idfigli, idsesso from relazioni "
                                          "where idgenitori = ?1 order by rowid");
    if (!statement.ok()) return statement.status();
    statement.value()->bind(1, KeyParameter(parentKey));
    return ReadAll<ParentLink>(*statement.value(), ReadLink);
}

Result<bool> RelationTable::contains(const QString& parentKey, const QString& childKey) const {
    Result<Statement*> statement =
        Cached(db_, containsStatement_,
               "select 1 from relazioni where idgenitori = ?1 and idfigli = ?2 limit 1");
    if (!statement.ok()) return statement.status();
    return Exists(*statement.value(), parentKey, childKey);
}

Result<bool> RelationTable::isEmpty() const {
    return HoldsNoRow(db_, "select 1 from relazioni limit 1");
}

Status RelationTable::remove(const QString& parentKey, const QString& childKey) {
    return RunWithKeys(db_, "delete from relazioni where idgenitori = ?1 and idfigli = ?2",
                       {parentKey, childKey});
}

Status RelationTable::upsert(const ParentLink& link) {
    Result<Statement*> update =
        Cached(db_, updateStatement_,
               "update relazioni set idsesso = ?3 where idgenitori = ?1 and idfigli = ?2");
    if (!update.ok()) return update.status();
    Result<Statement*> insert = Cached(db_, insertStatement_, InsertLink);
    if (!insert.ok()) return insert.status();
    return Upsert(db_, *update.value(), *insert.value(), link.idgenitori, link.idfigli,
                  [&](Statement& s) { s.bind(3, std::int64_t{link.idsesso}); });
}

Status RelationTable::add(const ParentLink& link) {
    Result<Statement*> insert = Cached(db_, insertStatement_, InsertLink);
    if (!insert.ok()) return insert.status();
    return WritePair(*insert.value(), link.idgenitori, link.idfigli,
                     [&](Statement& s) { s.bind(3, std::int64_t{link.idsesso}); });
}

void RelationTable::close() {
    parentsStatement_ = Statement();
    childrenStatement_ = Statement();
    containsStatement_ = Statement();
    updateStatement_ = Statement();
    insertStatement_ = Statement();
    db_ = nullptr;
}

// --- matrimoni ---------------------------------------------------------------------------------

Result<std::vector<Marriage>> MarriageTable::ofHusband(const QString& husbandKey) const {
    Result<Statement*> statement = Cached(db_, husbandStatement_,
                                          "select idmarito, idmoglie, Data from matrimoni "
                                          "where idmarito = ?1 order by rowid");
    if (!statement.ok()) return statement.status();
    statement.value()->bind(1, KeyParameter(husbandKey));
    return ReadAll<Marriage>(*statement.value(), ReadMarriage);
}

Result<std::vector<Marriage>> MarriageTable::ofWife(const QString& wifeKey) const {
    Result<Statement*> statement = Cached(db_, wifeStatement_,
                                          "select idmarito, idmoglie, Data from matrimoni "
                                          "where idmoglie = ?1 order by rowid");
    if (!statement.ok()) return statement.status();
    statement.value()->bind(1, KeyParameter(wifeKey));
    return ReadAll<Marriage>(*statement.value(), ReadMarriage);
}

Result<bool> MarriageTable::contains(const QString& husbandKey, const QString& wifeKey) const {
    Result<Statement*> statement =
        Cached(db_, containsStatement_,
               "select 1 from matrimoni where idmarito = ?1 and idmoglie = ?2 limit 1");
    if (!statement.ok()) return statement.status();
    return Exists(*statement.value(), husbandKey, wifeKey);
}

Result<bool> MarriageTable::isEmpty() const {
    return HoldsNoRow(db_, "select 1 from matrimoni limit 1");
}

Status MarriageTable::remove(const QString& husbandKey, const QString& wifeKey) {
    return RunWithKeys(db_, "delete from matrimoni where idmarito = ?1 and idmoglie = ?2",
                       {husbandKey, wifeKey});
}

Status MarriageTable::upsert(const Marriage& marriage) {
    Result<Statement*> update =
        Cached(db_, updateStatement_,
               "update matrimoni set Data = ?3 where idmarito = ?1 and idmoglie = ?2");
    if (!update.ok()) return update.status();
    Result<Statement*> insert = Cached(db_, insertStatement_, InsertMarriage);
    if (!insert.ok()) return insert.status();
    return Upsert(db_, *update.value(), *insert.value(), marriage.idmarito, marriage.idmoglie,
                  [&](Statement& s) { s.bind(3, StorageDateText(marriage.data)); });
}

Status MarriageTable::add(const Marriage& marriage) {
    Result<Statement*> insert = Cached(db_, insertStatement_, InsertMarriage);
    if (!insert.ok()) return insert.status();
    return WritePair(*insert.value(), marriage.idmarito, marriage.idmoglie,
                     [&](Statement& s) { s.bind(3, StorageDateText(marriage.data)); });
}

void MarriageTable::close() {
    husbandStatement_ = Statement();
    wifeStatement_ = Statement();
    containsStatement_ = Statement();
    updateStatement_ = Statement();
    insertStatement_ = Statement();
    db_ = nullptr;
}

// --- the connection ----------------------------------------------------------------------------

Status DatabaseConnection::open(const QString& path) {
    close();
    Result<Database> opened = Database::open(path, Password, Database::Mode::OpenExisting);
    if (!opened.ok()) return opened.status();
    if (Status schema = CheckSchema(opened.value()); !schema.ok()) return schema;
    if (Status match = RegisterMatchFunction(opened.value()); !match.ok()) return match;
    database_.emplace(std::move(opened).value());
    anagrafica_.db_ = &*database_;
    relazioni_.db_ = &*database_;
    matrimoni_.db_ = &*database_;
    return Status::success();
}

void DatabaseConnection::close() {
    // Statements first: the database closes only once none is left.
    matrimoni_.close();
    relazioni_.close();
    anagrafica_.close();
    database_.reset();
}

void DatabaseConnection::takeOver(DatabaseConnection& other) {
    close();
    // The other's statements belong to the handle that moves: they go before it does.
    other.matrimoni_.close();
    other.relazioni_.close();
    other.anagrafica_.close();
    database_ = std::move(other.database_);
    other.database_.reset();
    if (!database_) return;
    anagrafica_.db_ = &*database_;
    relazioni_.db_ = &*database_;
    matrimoni_.db_ = &*database_;
}

bool DatabaseConnection::hasWritten() const {
    return database_ && sqlite3_total_changes(database_->handle()) > 0;
}

Status DatabaseConnection::runInTransaction(const std::function<Status()>& work) {
    if (!database_) return ConnectionClosed();
    if (Status begun = database_->begin(); !begun.ok()) return begun;
    Status done = work();
    if (done.ok()) done = database_->commit();
    if (!done.ok()) return database_->rollbackAfter(done);
    return done;
}

// Deferred: a read lock only, so the program's own writes are never blocked by a long read.
Result<bool> DatabaseConnection::beginReading() const {
    if (!database_ || database_->inTransaction()) return false;
    if (Status begun = database_->execute("begin"); !begun.ok()) return begun;
    return true;
}

// Ending a read loses nothing; a read left open would only keep writers waiting.
Status DatabaseConnection::endReading() const {
    const Status ended = database_->commit();
    if (!ended.ok()) static_cast<void>(database_->rollback());
    return ended;
}

namespace {

// Every key the rows name, each once.
QStringList NamedKeys(const RelationsToSave& rows) {
    QStringList keys;
    for (const std::vector<ParentLink>* links : {&rows.parentLinks, &rows.childLinks})
        for (const ParentLink& link : *links)
            keys << KeyParameter(link.idgenitori) << KeyParameter(link.idfigli);
    for (const Marriage& marriage : rows.marriages)
        keys << KeyParameter(marriage.idmarito) << KeyParameter(marriage.idmoglie);
    keys.removeDuplicates();
    return keys;
}

Status PersonMissing(const QString& key) {
    return Status::failure(
        EngineError::NoCurrentRecord,
        QStringLiteral("La persona %1 non è più presente in archivio: forse è stata cancellata "
                       "da un altro programma. Non è stato salvato nulla; ricarica la persona "
                       "e ripeti i collegamenti.")
            .arg(key));
}

}  // namespace

Status DatabaseConnection::correctPerson(const StoredPerson& loaded, const Person& edited) {
    return runInTransaction([&] { return anagrafica_.correct(loaded, edited); });
}

// Another program may have deleted a person since the window loaded it: a link to them would
// point at nobody.
Status DatabaseConnection::saveRelations(const RelationsToSave& rows) {
    return runInTransaction([&] {
        for (const QString& key : NamedKeys(rows)) {
            const Result<std::optional<Person>> person = anagrafica_.seek(key);
            if (!person.ok()) return person.status();
            if (!person.value()) return PersonMissing(key);
        }
        for (const ParentLink& link : rows.parentLinks)
            if (Status s = relazioni_.upsert(link); !s.ok()) return s;
        for (const Marriage& marriage : rows.marriages)
            if (Status s = matrimoni_.upsert(marriage); !s.ok()) return s;
        for (const ParentLink& link : rows.childLinks)
            if (Status s = relazioni_.upsert(link); !s.ok()) return s;
        return Status::success();
    });
}

CascadeOutcome DatabaseConnection::deletePersonCascade(const QString& key) {
    static constexpr const char* Deletions[] = {
        "delete from relazioni where idfigli = ?1",   "delete from relazioni where idgenitori = ?1",
        "delete from matrimoni where idmarito = ?1",  "delete from matrimoni where idmoglie = ?1",
        "delete from anagrafica where idrecord = ?1",
    };
    CascadeOutcome outcome;
    if (!database_) {
        outcome.failures.push_back(ConnectionClosed());
        return outcome;
    }
    if (Status begun = database_->begin(); !begun.ok()) {
        outcome.failures.push_back(begun);
        return outcome;
    }
    // Every deletion is attempted, so the user learns of every failure at once, unless a failure
    // ended the transaction by itself: a deletion after it would be committed alone.
    for (const char* deletion : Deletions) {
        if (Status s = RunWithKeys(&*database_, deletion, {key}); !s.ok()) {
            outcome.failures.push_back(s);
            if (!database_->inTransaction()) break;
        }
    }
    if (outcome.committed()) {
        if (Status committed = database_->commit(); !committed.ok())
            outcome.failures.push_back(committed);
    }
    if (!outcome.committed()) {
        if (Status rolledBack = database_->rollback(); !rolledBack.ok())
            outcome.failures.push_back(rolledBack);
    }
    return outcome;
}

}  // namespace radici
