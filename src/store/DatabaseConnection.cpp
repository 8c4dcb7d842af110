#include "DatabaseConnection.h"

#include "Dates.h"
#include "PartialDate.h"
#include "PersonKey.h"
#include "PersonRow.h"
#include "Schema.h"
#include "SearchPattern.h"

#include <sqlite3.h>
#include <algorithm>
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

// The same on one of Radici's own tables; a file without it holds no such row.
Status RunOnOwnTable(const Database* db, const char* table, const char* sql,
                     std::initializer_list<QString> keys) {
    if (!db) return ConnectionClosed();
    const Result<bool> present = HasTable(*db, table);
    if (!present.ok()) return present.status();
    return present.value() ? RunWithKeys(db, sql, keys) : Status::success();
}

// Runs the work in a transaction of its own, committed when it succeeds and rolled back when it
// fails.
template <typename Work>
Status InTransaction(const Database& db, Work work) {
    if (Status begun = db.begin(); !begun.ok()) return begun;
    Status done = work();
    if (done.ok()) done = db.commit();
    if (!done.ok()) return db.rollbackAfter(done);
    return done;
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
// wildcards narrows the range and filters; a leading wildcard scans. Each comes in two forms: on
// a file with Radici's own dates, a birth known in part sorts by its earliest day; on a file
// without them, by datanasc alone.
struct SearchSql {
    const char* ownDates;
    const char* plain;
};

struct SearchStatements {
    SearchSql range;
    SearchSql rangeAndMatch;
    SearchSql scan;
};

// The birth row is read only for a person whose datanasc is empty, on its primary key.
#define OWN_DATES_SEARCH(where)                                                        \
    "select rowid, idrecord from anagrafica where " where                              \
    " order by coalesce(datanasc, (select ordine from radici_date_persone as nascita " \
    "where nascita.idrecord = anagrafica.idrecord and nascita.evento = 0)), cognome, nome, rowid"
#define PLAIN_SEARCH(where)                   \
    "select rowid, idrecord from anagrafica " \
    "where " where " order by datanasc, cognome, nome, rowid"
#define SEARCH_SQL(where) \
    SearchSql { OWN_DATES_SEARCH(where), PLAIN_SEARCH(where) }

constexpr SearchStatements SurnameSearch{
    SEARCH_SQL("cognome >= ?1 and cognome < ?2"),
    SEARCH_SQL("cognome >= ?1 and cognome < ?2 and radici_match(?3, cognome)"),
    SEARCH_SQL("radici_match(?3, cognome)")};

constexpr SearchStatements GivenNameSearch{
    SEARCH_SQL("nome >= ?1 and nome < ?2"),
    SEARCH_SQL("nome >= ?1 and nome < ?2 and radici_match(?3, nome)"),
    SEARCH_SQL("radici_match(?3, nome)")};

#undef SEARCH_SQL
#undef PLAIN_SEARCH
#undef OWN_DATES_SEARCH

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

// Which fields of a person, in column order from cognome to nazionemorte, differ. An unknown sex
// given for another unknown one (9, NULL, a code another program wrote) keeps the stored one.
std::array<bool, 9> ChangedFields(const Person& was, const Person& now) {
    return {was.cognome != now.cognome,
            was.nome != now.nome,
            was.sesso != now.sesso && (IsKnownSex(was.sesso) || IsKnownSex(now.sesso)),
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
    const Result<Person> stored = storable(edited);
    if (!stored.ok()) return stored.status();
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
    BindPerson(update, stored.value());
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
    const Result<Person> stored = storable(person);
    if (!stored.ok()) return stored.status();
    Result<Statement*> statement = Cached(db_, cache, sql);
    if (!statement.ok()) return statement.status();
    BindPerson(*statement.value(), stored.value());
    return statement.value()->run();
}

Result<Person> PersonTable::storable(const Person& person) const {
    if (!db_) return ConnectionClosed();
    Person stored = NormalizedForStorage(person);
    if (stored.sesso) return stored;
    if (!sexRequired_) {
        const Result<bool> required = ColumnRequired(*db_, "anagrafica", "sesso");
        if (!required.ok()) return required.status();
        sexRequired_ = required.value();
    }
    if (*sexRequired_) stored.sesso = NotApplicableSex;
    return stored;
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

const SearchSql& SearchStatement(SearchField field, const SearchPattern& pattern) {
    const SearchStatements& statements =
        field == SearchField::Surname ? SurnameSearch : GivenNameSearch;
    if (pattern.prefix.isEmpty()) return statements.scan;
    return pattern.hasWildcards() ? statements.rangeAndMatch : statements.range;
}

// The statement in the form the file can run: one the engine refuses on its own dates (a file
// without Radici's tables, or with a table of that name made otherwise) sorts by datanasc alone.
Result<Statement> PrepareSearch(const Database& db, const SearchSql& sql) {
    Result<Statement> prepared = db.prepare(sql.ownDates);
    if (prepared.ok() || !prepared.status().is(SQLITE_ERROR)) return prepared;
    return db.prepare(sql.plain);
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
    Result<Statement> prepared = PrepareSearch(*db_, SearchStatement(field, pattern));
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

// The range of the prefix's four-digit numbers, read from the top on the key index; a key in
// that range that does not end in four digits (made by hand) is passed over.
Result<int> PersonTable::highestOwnNumber(const QString& prefix) const {
    Result<Statement*> statement = Cached(db_, ownNumberStatement_,
                                          "select idrecord from anagrafica where idrecord >= ?1 "
                                          "and idrecord <= ?2 order by idrecord desc");
    if (!statement.ok()) return statement.status();
    Statement& read = *statement.value();
    Rewind rewind(read);
    read.bind(1, OwnKey(prefix, 0));
    read.bind(2, OwnKey(prefix, 9999));
    while (read.step()) {
        const QString key = read.text(0);
        const QStringView number = QStringView(key).right(4);
        if (key.size() == prefix.size() + 4 &&
            std::all_of(number.begin(), number.end(),
                        [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return number.toInt();
    }
    if (!read.status().ok()) return read.status();
    return 0;
}

void PersonTable::close() {
    sexRequired_.reset();
    ownNumberStatement_ = Statement();
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

Result<bool> PersonTable::isEmpty() const {
    return HoldsNoRow(db_, "select 1 from anagrafica limit 1");
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
    if (!db_) return ConnectionClosed();
    const auto removeRows = [&] {
        const Status removed =
            RunWithKeys(db_, "delete from matrimoni where idmarito = ?1 and idmoglie = ?2",
                        {husbandKey, wifeKey});
        if (!removed.ok()) return removed;
        return RunOnOwnTable(
            db_, MarriageDatesTable,
            "delete from radici_date_matrimoni where idmarito = ?1 and idmoglie = ?2",
            {husbandKey, wifeKey});
    };
    return db_->inTransaction() ? removeRows() : InTransaction(*db_, removeRows);
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

// --- Radici's own tables of dates known in part -----------------------------------------------

struct DatesInPartTable::RowSql {
    const char* update;
    const char* insert;
    const char* erase;
};

namespace {

constexpr const char* PersonDatesSql =
    "select evento, data from radici_date_persone where idrecord = ?1";
constexpr const char* MarriageDatesSql =
    "select data from radici_date_matrimoni where idmarito = ?1 and idmoglie = ?2";

}  // namespace

Result<Statement*> DatesInPartTable::reading(Statement& cache, const char* sql) const {
    Result<Statement*> statement = Cached(db_, cache, sql);
    if (statement.ok() || !statement.status().is(SQLITE_ERROR)) return statement;
    const Result<bool> present = exists();
    if (!present.ok()) return present.status();
    if (present.value()) return statement.status();
    Statement* missing = nullptr;
    return missing;
}

Result<Statement*> DatesInPartTable::writing(Statement& cache, const char* sql) {
    if (db_ && !cache.prepared()) {
        if (Status made = create(); !made.ok()) return made;
    }
    return Cached(db_, cache, sql);
}

Result<PersonDatesInPart> DatesInPartTable::ofPerson(const QString& key) const {
    Result<Statement*> statement = reading(personStatement_, PersonDatesSql);
    if (!statement.ok()) return statement.status();
    PersonDatesInPart dates;
    if (!statement.value()) return dates;
    Statement& read = *statement.value();
    Rewind rewind(read);
    read.bind(1, KeyParameter(key));
    while (read.step()) dates.take(read.integer(0), read.text(1));
    if (!read.status().ok()) return read.status();
    return dates;
}

Result<QString> DatesInPartTable::ofMarriage(const QString& husbandKey,
                                             const QString& wifeKey) const {
    Result<Statement*> statement = reading(marriageStatement_, MarriageDatesSql);
    if (!statement.ok()) return statement.status();
    if (!statement.value()) return QString();
    Statement& read = *statement.value();
    Rewind rewind(read);
    read.bind(1, KeyParameter(husbandKey));
    read.bind(2, KeyParameter(wifeKey));
    const QString text = read.step() ? read.text(0) : QString();
    if (!read.status().ok()) return read.status();
    return text;
}

constexpr DatesInPartTable::RowSql PersonRowSql{
    "update radici_date_persone set data = ?3, ordine = ?4 where idrecord = ?1 and evento = ?2",
    "insert into radici_date_persone (idrecord, evento, data, ordine) values (?1, ?2, ?3, ?4)",
    "delete from radici_date_persone where idrecord = ?1 and evento = ?2"};
constexpr DatesInPartTable::RowSql MarriageRowSql{
    "update radici_date_matrimoni set data = ?3, ordine = ?4 where idmarito = ?1 and "
    "idmoglie = ?2",
    "insert into radici_date_matrimoni (idmarito, idmoglie, data, ordine) values (?1, ?2, ?3, ?4)",
    "delete from radici_date_matrimoni where idmarito = ?1 and idmoglie = ?2"};

// The update or the insert of a row holding the date, with its earliest day to sort by.
template <typename BindKeys>
Status DatesInPartTable::writeRow(Statement& cache, const char* sql, BindKeys bindKeys,
                                  const QString& data) {
    Result<Statement*> statement = writing(cache, sql);
    if (!statement.ok()) return statement.status();
    Statement& row = *statement.value();
    bindKeys(row);
    row.bind(3, data);
    row.bind(4, orderOf(data));
    return row.run();
}

// The earliest day as the row keeps it to sort by; an import writes the same few texts ("1850",
// "ABT 1900") over and over, so each is worked out once.
const QString& DatesInPartTable::orderOf(const QString& data) {
    if (const auto found = orders_.constFind(HashedText::borrowing(data)); found != orders_.cend())
        return *found;
    return *orders_.insert({data}, StorageDateText(EarliestDay(data)));
}

// An empty text deletes the row; otherwise it is rewritten, or added when there is none
// ("insert or replace" would keep a statement journal for every row, which slows an import down).
template <typename BindKeys>
Status DatesInPartTable::setRow(RowStatements& statements, const RowSql& sql, BindKeys bindKeys,
                                const QString& text) {
    const QString data = text.trimmed();
    if (data.isEmpty()) {
        Result<Statement*> erase = writing(statements.erase, sql.erase);
        if (!erase.ok()) return erase.status();
        bindKeys(*erase.value());
        return erase.value()->run();
    }
    const Status updated = writeRow(statements.update, sql.update, bindKeys, data);
    if (!updated.ok() || ChangedRows(db_) > 0) return updated;
    return writeRow(statements.insert, sql.insert, bindKeys, data);
}

// Each of the person's two rows, with the text for it.
template <typename Write>
Status DatesInPartTable::eachPersonRow(const QString& key, const PersonDatesInPart& dates,
                                       Write write) {
    // Not a structured binding: clang before 16 cannot capture one in a lambda.
    for (const auto& row : {std::pair{0, dates.birth}, std::pair{1, dates.death}}) {
        const std::int64_t event = row.first;
        const auto bindKeys = [&](Statement& statement) {
            statement.bind(1, KeyParameter(key));
            statement.bind(2, event);
        };
        if (Status written = write(bindKeys, row.second); !written.ok()) return written;
    }
    return Status::success();
}

Status DatesInPartTable::setPerson(const QString& key, const PersonDatesInPart& dates) {
    return eachPersonRow(key, dates, [&](const auto& bindKeys, const QString& text) {
        return setRow(personRows_, PersonRowSql, bindKeys, text);
    });
}

Status DatesInPartTable::addPerson(const QString& key, const PersonDatesInPart& dates) {
    return eachPersonRow(key, dates, [&](const auto& bindKeys, const QString& text) {
        const QString data = text.trimmed();
        return data.isEmpty() ? Status::success()
                              : writeRow(personRows_.insert, PersonRowSql.insert, bindKeys, data);
    });
}

Status DatesInPartTable::setMarriage(const QString& husbandKey, const QString& wifeKey,
                                     const QString& text) {
    const auto bindKeys = [&](Statement& row) {
        row.bind(1, KeyParameter(husbandKey));
        row.bind(2, KeyParameter(wifeKey));
    };
    return setRow(marriageRows_, MarriageRowSql, bindKeys, text);
}

Result<bool> DatesInPartTable::isEmpty() const {
    if (!db_) return ConnectionClosed();
    for (const auto& [table, sql] :
         {std::pair{PersonDatesTable, "select 1 from radici_date_persone limit 1"},
          std::pair{MarriageDatesTable, "select 1 from radici_date_matrimoni limit 1"}}) {
        const Result<bool> present = HasTable(*db_, table);
        if (!present.ok()) return present.status();
        if (!present.value()) continue;
        const Result<bool> empty = HoldsNoRow(db_, sql);
        if (!empty.ok() || !empty.value()) return empty;
    }
    return true;
}

Result<bool> DatesInPartTable::exists() const {
    if (!db_) return ConnectionClosed();
    for (const char* table : {PersonDatesTable, MarriageDatesTable}) {
        const Result<bool> present = HasTable(*db_, table);
        if (!present.ok() || !present.value()) return present;
    }
    return true;
}

Status DatesInPartTable::create() {
    const Result<bool> present = exists();
    if (!present.ok()) return present.status();
    return present.value() ? Status::success() : CreateOwnTables(*db_);
}

void DatesInPartTable::close() {
    personStatement_ = Statement();
    marriageStatement_ = Statement();
    personRows_ = RowStatements();
    marriageRows_ = RowStatements();
    orders_.clear();
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
    datesInPart_.db_ = &*database_;
    return Status::success();
}

void DatabaseConnection::close() {
    // Statements first: the database closes only once none is left.
    datesInPart_.close();
    matrimoni_.close();
    relazioni_.close();
    anagrafica_.close();
    database_.reset();
}

void DatabaseConnection::takeOver(DatabaseConnection& other) {
    close();
    // The other's statements belong to the handle that moves: they go before it does.
    other.datesInPart_.close();
    other.matrimoni_.close();
    other.relazioni_.close();
    other.anagrafica_.close();
    database_ = std::move(other.database_);
    other.database_.reset();
    if (!database_) return;
    anagrafica_.db_ = &*database_;
    relazioni_.db_ = &*database_;
    matrimoni_.db_ = &*database_;
    datesInPart_.db_ = &*database_;
}

bool DatabaseConnection::hasWritten() const {
    return database_ && sqlite3_total_changes(database_->handle()) > 0;
}

Status DatabaseConnection::runInTransaction(const std::function<Status()>& work) {
    if (!database_) return ConnectionClosed();
    return InTransaction(*database_, work);
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
    // The three tables' five deletions, then the rows of Radici's own tables (of which a file may
    // have none).
    static constexpr std::pair<const char*, const char*> Deletions[] = {
        {nullptr, "delete from relazioni where idfigli = ?1"},
        {nullptr, "delete from relazioni where idgenitori = ?1"},
        {nullptr, "delete from matrimoni where idmarito = ?1"},
        {nullptr, "delete from matrimoni where idmoglie = ?1"},
        {nullptr, "delete from anagrafica where idrecord = ?1"},
        {PersonDatesTable, "delete from radici_date_persone where idrecord = ?1"},
        {MarriageDatesTable, "delete from radici_date_matrimoni where idmarito = ?1"},
        {MarriageDatesTable, "delete from radici_date_matrimoni where idmoglie = ?1"},
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
    for (const auto& [ownTable, deletion] : Deletions) {
        const Status s = ownTable ? RunOnOwnTable(&*database_, ownTable, deletion, {key})
                                  : RunWithKeys(&*database_, deletion, {key});
        if (!s.ok()) {
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
