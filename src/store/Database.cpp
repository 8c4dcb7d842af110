#include "Database.h"

#include <sqlite3.h>
#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>

namespace radici {

namespace {

// How long an operation waits for another program that holds the file before it gives up.
constexpr int BusyTimeoutMilliseconds = 3000;

// The engine's count of the memory in use takes a lock at every allocation, and nothing reads it.
// The engine takes the setting only before its first use in the process and ignores it after.
void LeaveOutMemoryCount() {
    static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(configured);
}

QString EngineText(sqlite3* db) { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString(); }

// A crash can leave the journal of an unfinished write beside the file. The engine must undo that
// write before it reads anything, and it cannot while the folder refuses new and deleted files.
Status LeftOverJournal(const QString& path, const Status& failure) {
    const QFileInfo journal(path + QStringLiteral("-journal"));
    if (!journal.exists() || QFileInfo(journal.absolutePath()).isWritable()) return failure;
    return Status::failure(
        failure.number(),
        QStringLiteral("Accanto al database è rimasto il file \"%1\" di una modifica interrotta, "
                       "che va annullata prima di poter usare il database; la cartella \"%2\" "
                       "però non permette di creare né di cancellare file. Rendi scrivibile la "
                       "cartella (o chiedi a chi la gestisce), poi riavvia il programma: la "
                       "modifica interrotta verrà annullata e i dati torneranno come prima.")
            .arg(journal.fileName(), QDir::toNativeSeparators(journal.absolutePath())));
}

}  // namespace

Status EngineFailure(sqlite3* db, int resultCode) {
    // Each description says what went wrong and what the user can do about it.
    const QString detail = EngineText(db);
    switch (resultCode & 0xff) {
        case SQLITE_CONSTRAINT:
            if (resultCode == SQLITE_CONSTRAINT_UNIQUE ||
                resultCode == SQLITE_CONSTRAINT_PRIMARYKEY)
                return Status::failure(EngineError::DuplicateKey,
                                       QStringLiteral("Esiste già un dato con la stessa chiave: "
                                                      "controlla i dati inseriti."));
            return Status::failure(resultCode,
                                   QStringLiteral("Il database ha rifiutato la modifica (%1). "
                                                  "Controlla i dati inseriti e riprova.")
                                       .arg(detail));
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Status::failure(
                resultCode, QStringLiteral("Il database è in uso da un altro programma. Attendi "
                                           "che abbia finito e riprova."));
        case SQLITE_READONLY:
            // The engine opened the file for reading only: only a new start can write it.
            return Status::failure(
                resultCode,
                QStringLiteral("Il file del database è di sola lettura: le modifiche non possono "
                               "essere salvate. Rendi scrivibili il file e la sua cartella, poi "
                               "chiudi e riapri il programma."));
        case SQLITE_FULL:
            return Status::failure(
                resultCode, QStringLiteral("Il disco è pieno: le modifiche non possono essere "
                                           "salvate. Libera spazio e riprova."));
        case SQLITE_IOERR:
            return Status::failure(
                resultCode,
                QStringLiteral("Errore di lettura o scrittura del file del database. Controlla il "
                               "disco e riprova; se l'errore si ripete, ripristina una copia di "
                               "sicurezza del file."));
        case SQLITE_CORRUPT:
            return Status::failure(
                resultCode,
                QStringLiteral("Il file del database è danneggiato. Chiudi il programma e "
                               "ripristina una copia di sicurezza del file."));
        case SQLITE_NOTADB:
            return Status::failure(
                EngineError::PasswordRefused,
                QStringLiteral("La password non è valida oppure il file non è un database di "
                               "Radici. Controlla di avere il file giusto oppure ripristina una "
                               "copia di sicurezza."));
        case SQLITE_CANTOPEN:
            // Also when the journal that each write makes beside the file cannot be created.
            return Status::failure(
                resultCode,
                QStringLiteral("Il file del database non può essere aperto o scritto. Controlla "
                               "che il file e la sua cartella esistano e siano scrivibili, poi "
                               "riprova."));
        default:
            return Status::failure(
                resultCode, QStringLiteral("Errore del database (codice %1): %2. Riprova; se "
                                           "l'errore si ripete, chiudi e riapri il programma.")
                                .arg(resultCode)
                                .arg(detail));
    }
}

// --- Statement ---------------------------------------------------------------------------------

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_),
      stmt_(other.stmt_),
      status_(std::move(other.status_)),
      texts_(std::move(other.texts_)) {
    other.db_ = nullptr;
    other.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = other.stmt_;
        status_ = std::move(other.status_);
        texts_ = std::move(other.texts_);  // after the statement that pointed into them is gone
        other.db_ = nullptr;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    status_ = Status::success();
}

void Statement::bind(int index, const QString& text) {
    if (text.isNull()) {
        bindNull(index);
        return;
    }
    if (texts_.size() <= static_cast<std::size_t>(index)) texts_.resize(index + 1);
    QByteArray& utf8 = texts_[static_cast<std::size_t>(index)];
    // Qt's encoder writes a surrogate without its pair as U+FFFD and toUtf8 as '?': such a text
    // still goes through toUtf8, so it keeps the bytes Radici has always stored for it.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar unit) { return unit.isSurrogate(); })) {
        utf8 = text.toUtf8();
    } else {
        QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        utf8.resize(encoder.requiredSpace(text.size()));
        utf8.truncate(encoder.appendToBuffer(utf8.data(), text) - utf8.constData());
    }
    sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC);
}

void Statement::bindUtf8(int index, const QByteArray& utf8) {
    sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }

void Statement::bindNull(int index) { sqlite3_bind_null(stmt_, index); }

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) status_ = EngineFailure(db_, sqlite3_extended_errcode(db_));
    // Release the statement's read lock at once, so other programs are not kept waiting.
    sqlite3_reset(stmt_);
    return false;
}

Status Statement::run() {
    step();
    return status_;
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!bytes) return QString();
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column));
}

QByteArrayView Statement::utf8(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return bytes ? QByteArrayView(bytes, sqlite3_column_bytes(stmt_, column)) : QByteArrayView();
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(integer(column)));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt_, column);
        case SQLITE_TEXT:
            return text(column);
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                              sqlite3_column_bytes(stmt_, column));
        default:
            return {};
    }
}

// --- Database ----------------------------------------------------------------------------------

Result<Database> Database::open(const QString& path, const QString& password, Mode mode) {
    if (mode == Mode::OpenExisting && !QFileInfo::exists(path)) {
        return Status::failure(
            EngineError::FileNotFound,
            QStringLiteral("Il file del database \"%1\" non esiste. Crealo con \"radici-db init\" "
                           "oppure avvia il programma dalla cartella che lo contiene.")
                .arg(path));
    }
    LeaveOutMemoryCount();
    sqlite3* raw = nullptr;
    // A connection is used by one thread at a time, so its lock around every call only costs time.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (mode == Mode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    Database db(raw);  // owns the handle even when the open failed
    if (rc != SQLITE_OK) return EngineFailure(raw, rc);

    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, BusyTimeoutMilliseconds);
    // Without a password the file is read as plain SQLite, which an encrypted file is not.
    if (const QByteArray key = password.toUtf8(); !key.isEmpty()) {
        if (const int keyed = sqlite3_key(raw, key.constData(), static_cast<int>(key.size()));
            keyed != SQLITE_OK)
            return EngineFailure(raw, keyed);
    }

    // The key is only checked when the first page is read.
    if (Status check = db.execute("select count(*) from sqlite_master"); !check.ok())
        return LeftOverJournal(path, check);
    return db;
}

Database::Database(Database&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = other.db_;
        other.db_ = nullptr;
    }
    return *this;
}

Database::~Database() { sqlite3_close(db_); }

Result<Statement> Database::prepare(const char* sql) const {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return EngineFailure(db_, sqlite3_extended_errcode(db_));
    return Statement(db_, stmt);
}

Status Database::execute(const char* sql) const {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return EngineFailure(db_, sqlite3_extended_errcode(db_));
    return Status::success();
}

Status Database::rollback() const {
    if (!inTransaction()) return Status::success();
    return execute("rollback");
}

Status Database::rollbackAfter(const Status& failure) const {
    const Status rolledBack = rollback();
    if (rolledBack.ok()) return failure;
    return Status::failure(
        failure.number(),
        QStringLiteral("%1 Inoltre non è stato possibile annullare le modifiche: %2")
            .arg(failure.description(), rolledBack.description()));
}

bool Database::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

Result<QStringList> Database::integrityProblems() const {
    Result<Statement> check = prepare("pragma integrity_check");
    if (!check.ok()) return check.status();
    QStringList problems;
    while (check.value().step()) problems.append(check.value().text(0));
    if (!check.value().status().ok()) return check.value().status();
    if (problems == QStringList{QStringLiteral("ok")}) problems.clear();
    return problems;
}

}  // namespace radici
