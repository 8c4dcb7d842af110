#pragma once

#include "Database.h"
#include "HashedText.h"
#include "Records.h"
#include "SearchResult.h"
#include "Status.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace radici {

enum class SearchField { Surname = 0, GivenName = 1 };

// Indexed access to anagrafica. Names, places and keys are stored trimmed and upper-cased.
class PersonTable {
public:
    // The person whose idrecord equals the trimmed key; no value when there is none.
    Result<std::optional<Person>> seek(const QString& key) const;
    // The same, with every column as the file holds it.
    Result<std::optional<StoredPerson>> seekStored(const QString& key) const;
    // DuplicateKey when the key is already in use.
    Status add(const Person& person);
    // Rewrites the row with the person's idrecord; NoCurrentRecord when there is none.
    Status rewrite(const Person& person);
    // DatabaseConnection::correctPerson, for a writer that runs it in a transaction of its own.
    Status correct(const StoredPerson& loaded, const Person& edited);

    // Persons whose surname (or given name) begins with the text, any letter case; "*" stands
    // for any run of characters and "?" for one, everything else is literal. Ordered by birth
    // date, then surname, given name and creation order.
    Result<SearchResult> search(SearchField field, const QString& text) const;

    // The highest number of a stored own key "prefix + nnnn" (OwnKey); 0 when there is none.
    Result<int> highestOwnNumber(const QString& prefix) const;
    Result<bool> isEmpty() const;

private:
    friend class DatabaseConnection;
    Result<Person> readRow(std::int64_t rowId, const QString& key) const;
    Status write(const char* sql, const Person& person, Statement& cache);
    // The person as the file takes it: normalized, an unknown sex as the file can hold it.
    Result<Person> storable(const Person& person) const;
    void close();

    Database* db_ = nullptr;
    mutable Statement seekStatement_;
    Statement addStatement_;
    Statement rewriteStatement_;
    mutable Statement readRowStatement_;
    Statement correctStatement_;
    mutable Statement ownNumberStatement_;
    // Whether sesso refuses NULL, as files made before an unknown sex existed do; read once.
    mutable std::optional<bool> sexRequired_;
};

// Access to relazioni, the parent-child links. Rows come back in the order they were written.
class RelationTable {
public:
    Result<std::vector<ParentLink>> parentsOf(const QString& childKey) const;
    Result<std::vector<ParentLink>> childrenOf(const QString& parentKey) const;
    Result<bool> contains(const QString& parentKey, const QString& childKey) const;
    Result<bool> isEmpty() const;
    // Deletes every row of the pair.
    Status remove(const QString& parentKey, const QString& childKey);
    // Rewrites the row of the pair if there is one, else adds it; never a second row.
    Status upsert(const ParentLink& link);
    // Adds the row of a pair the caller knows is not there: no rewrite is tried first.
    Status add(const ParentLink& link);

private:
    friend class DatabaseConnection;
    void close();

    Database* db_ = nullptr;
    mutable Statement parentsStatement_;
    mutable Statement childrenStatement_;
    mutable Statement containsStatement_;
    Statement updateStatement_;
    Statement insertStatement_;
};

// Access to matrimoni. Rows come back in the order they were written.
class MarriageTable {
public:
    Result<std::vector<Marriage>> ofHusband(const QString& husbandKey) const;
    Result<std::vector<Marriage>> ofWife(const QString& wifeKey) const;
    Result<bool> contains(const QString& husbandKey, const QString& wifeKey) const;
    Result<bool> isEmpty() const;
    // Deletes every row of the pair, and its date known in part, together.
    Status remove(const QString& husbandKey, const QString& wifeKey);
    // Rewrites the row of the pair if there is one, else adds it; never a second row.
    Status upsert(const Marriage& marriage);
    // Adds the row of a pair the caller knows is not there: no rewrite is tried first.
    Status add(const Marriage& marriage);

private:
    friend class DatabaseConnection;
    void close();

    Database* db_ = nullptr;
    mutable Statement husbandStatement_;
    mutable Statement wifeStatement_;
    mutable Statement containsStatement_;
    Statement updateStatement_;
    Statement insertStatement_;
};

// Dates known in part, in Radici's own tables: a person's birth and death, a marriage. A file
// without the tables reads as holding none; a write makes them. Keys are trimmed.
class DatesInPartTable {
public:
    Result<PersonDatesInPart> ofPerson(const QString& key) const;
    Result<QString> ofMarriage(const QString& husbandKey, const QString& wifeKey) const;
    // Writes the person's birth and death rows; an empty text deletes that row.
    Status setPerson(const QString& key, const PersonDatesInPart& dates);
    // Adds the rows of a person the caller knows has none: nothing is looked for first.
    Status addPerson(const QString& key, const PersonDatesInPart& dates);
    // Writes the marriage's row; an empty text deletes it.
    Status setMarriage(const QString& husbandKey, const QString& wifeKey, const QString& text);
    // Whether the file holds both tables.
    Result<bool> exists() const;
    // Makes the tables when missing.
    Status create();
    // Whether neither table holds a row; true when the file has no such tables.
    Result<bool> isEmpty() const;

    struct RowSql;

private:
    friend class DatabaseConnection;
    struct RowStatements {
        Statement update;
        Statement insert;
        Statement erase;
    };
    // The cached statement, or null when its table is missing.
    Result<Statement*> reading(Statement& cache, const char* sql) const;
    // The cached statement, once the tables are there.
    Result<Statement*> writing(Statement& cache, const char* sql);
    template <typename BindKeys>
    Status writeRow(Statement& cache, const char* sql, BindKeys bindKeys, const QString& data);
    template <typename BindKeys>
    Status setRow(RowStatements& statements, const RowSql& sql, BindKeys bindKeys,
                  const QString& text);
    template <typename Write>
    Status eachPersonRow(const QString& key, const PersonDatesInPart& dates, Write write);
    const QString& orderOf(const QString& data);
    void close();

    Database* db_ = nullptr;
    mutable Statement personStatement_;
    mutable Statement marriageStatement_;
    RowStatements personRows_;
    RowStatements marriageRows_;
    QHash<HashedText, QString> orders_;  // by date text: its earliest day, as stored
};

// What "Salva" writes, in this order.
struct RelationsToSave {
    std::vector<ParentLink> parentLinks;
    std::vector<Marriage> marriages;
    std::vector<ParentLink> childLinks;
};

// The outcome of deleting a person with every link: one failure per deletion that failed.
struct CascadeOutcome {
    std::vector<Status> failures;
    bool committed() const { return failures.empty(); }
};

// The program's one connection to its database file, with its three tables.
class DatabaseConnection {
public:
    static inline const QString FileName = QStringLiteral("radicidb.mdb");
    static inline const QString Password = QStringLiteral("tqzrwvk");

    DatabaseConnection() = default;
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;
    ~DatabaseConnection() { close(); }

    // Opens an existing file with the program's password and checks its three tables.
    Status open(const QString& path);
    // Closes matrimoni, relazioni, anagrafica, then the database.
    void close();
    bool isOpen() const { return database_.has_value(); }
    // Closes this connection, then takes over the other's open database, which the other gives up.
    void takeOver(DatabaseConnection& other);
    // Whether any row was added, changed or deleted since the file was opened.
    bool hasWritten() const;

    const PersonTable& anagrafica() const { return anagrafica_; }
    const RelationTable& relazioni() const { return relazioni_; }
    const MarriageTable& matrimoni() const { return matrimoni_; }
    const DatesInPartTable& datesInPart() const { return datesInPart_; }
    PersonTable& anagrafica() { return anagrafica_; }
    RelationTable& relazioni() { return relazioni_; }
    MarriageTable& matrimoni() { return matrimoni_; }
    DatesInPartTable& datesInPart() { return datesInPart_; }

    // Runs the work in one transaction: committed when it succeeds, rolled back when it fails.
    Status runInTransaction(const std::function<Status()>& work);
    // Runs reads in one read transaction: the file is locked and checked once, not on every
    // read, and every read sees the same state of the file. Inside a transaction already open
    // the work joins it; on a closed connection it runs as it is and each read fails on its own.
    // Returns what the work returns (a Status or a Result).
    template <typename Work>
    auto runReading(Work work) const -> decltype(work()) {
        const Result<bool> began = beginReading();
        if (!began.ok()) return began.status();
        auto done = work();
        if (!began.value()) return done;
        if (Status ended = endReading(); !ended.ok() && done.ok()) return ended;
        return done;
    }

    // The open database, for the store's readers that run statements of their own (charts,
    // exchange files, copies); null while the connection is closed.
    const Database* database() const { return database_ ? &*database_ : nullptr; }

    // Writes every row in one transaction: all of them, or none when one fails. Nothing is
    // written when a person the rows name is no longer in anagrafica.
    Status saveRelations(const RelationsToSave& rows);

    // Writes the fields in which edited differs from the loaded person; every other column keeps
    // what the file holds. ChangedElsewhere, writing nothing, when the row no longer holds what
    // was loaded; NoCurrentRecord when it is gone.
    Status correctPerson(const StoredPerson& loaded, const Person& edited);

    // Deletes the person's links as child and as parent, marriages as husband and as wife, and
    // the person's own row, then the person's dates and marriage dates known in part (none when
    // the file has no such tables), in one transaction. Every deletion is attempted; any failure
    // rolls all of them back.
    CascadeOutcome deletePersonCascade(const QString& key);

private:
    // True when it began a read transaction, which endReading then ends.
    Result<bool> beginReading() const;
    Status endReading() const;

    std::optional<Database> database_;
    PersonTable anagrafica_;
    RelationTable relazioni_;
    MarriageTable matrimoni_;
    DatesInPartTable datesInPart_;
};

// The status every operation returns while the connection is closed.
Status ConnectionClosed();

}  // namespace radici
