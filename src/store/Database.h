#pragma once

#include "Status.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace radici {

class Database;

// A prepared statement with bound parameters. Values are never pasted into SQL text.
class Statement {
public:
    Statement() = default;
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool prepared() const { return stmt_ != nullptr; }

    // Clears earlier bindings and rewinds, so a cached statement can be run again.
    void reset();
    // A null QString binds NULL. The text is bound from the statement's own buffer for that
    // parameter, which keeps it until the parameter is bound again.
    void bind(int index, const QString& text);
    void bindUtf8(int index, const QByteArray& utf8);
    void bind(int index, std::int64_t value);
    void bindNull(int index);

    // Advances to the next row. True when a row is available; false at the end or on failure
    // (then status() tells which).
    bool step();
    // Runs a statement that returns no rows.
    Status run();
    const Status& status() const { return status_; }

    QString text(int column) const;  // NULL reads as a null QString
    // The text as the engine holds it, valid until the next step; empty for NULL.
    QByteArrayView utf8(int column) const;
    std::int64_t integer(int column) const;
    bool isNull(int column) const;
    // The value with the type the file holds it in; a null QVariant for NULL.
    QVariant value(int column) const;

private:
    friend class Database;
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    Status status_;
    // One buffer per parameter: bound in place, so the engine keeps no copy, and reused from row
    // to row. A QByteArray keeps its bytes where they are when the statement is moved.
    std::vector<QByteArray> texts_;
};

// Owns one SQLCipher connection.
class Database {
public:
    enum class Mode { OpenExisting, CreateNew };

    // Opens (or, with CreateNew, makes) the file, sets the password and checks it by reading the
    // schema. A missing file gives FileNotFound; a refused password or a file that is not a
    // database of ours gives PasswordRefused.
    static Result<Database> open(const QString& path, const QString& password, Mode mode);

    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    Result<Statement> prepare(const char* sql) const;
    Status execute(const char* sql) const;  // one or more statements without parameters

    Status begin() const { return execute("begin immediate"); }
    Status commit() const { return execute("commit"); }
    Status rollback() const;
    // Rolls back after the failure; when even that fails, the failure says so too.
    Status rollbackAfter(const Status& failure) const;
    // False once a transaction has ended, including when a failure (a full disk, say) ended it
    // by itself.
    bool inTransaction() const;

    // What the engine's integrity check finds wrong with the file; empty when it is sound.
    Result<QStringList> integrityProblems() const;

    sqlite3* handle() const { return db_; }

private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_ = nullptr;
};

// The Italian description of a SQLite failure on this connection, as a Status.
Status EngineFailure(sqlite3* db, int resultCode);

}  // namespace radici
