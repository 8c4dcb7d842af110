#pragma once

#include "store/Database.h"
#include "store/DatabaseConnection.h"
#include "store/Records.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

namespace radici {

// A real encrypted database file with the program's schema and password in a fresh temporary
// folder. It writes and reads rows with its own SQL, column by column, so that a fault in how the
// program binds or reads a row cannot hide itself.
class TestDatabase {
public:
    TestDatabase();

    QString folder() const { return dir_.path(); }
    QString path() const { return dir_.filePath(QStringLiteral("radicidb.mdb")); }

    // Adds a person with the key made of three letters of each name and the birth date
    // ("dd/mm/yyyy"), names stored as given, and returns the key.
    QString addPerson(const QString& surname, const QString& givenName, const QString& birthDate,
                      SexCode sex = Male, const QString& deathDate = QString());
    // Every column as given; an invalid date is NULL.
    void addPerson(const Person& person);
    void link(const QString& parentKey, const QString& childKey, SexCode idsesso) {
        insert("insert into relazioni (idgenitori, idfigli, idsesso) values (?, ?, ?)",
               {parentKey, childKey, QString::number(idsesso)});
    }
    // The date as the file holds it, "yyyy-mm-dd"; none is NULL.
    void marry(const QString& husbandKey, const QString& wifeKey, const QString& date = QString()) {
        insert("insert into matrimoni (idmarito, idmoglie, Data) values (?, ?, ?)",
               {husbandKey, wifeKey, date});
    }
    // Binds the values as ?1, ?2 and so on; a null QString binds NULL.
    void insert(const char* sql, const QStringList& values);
    void execute(const QString& sql);
    // The first column of every row the query returns, NULL as an empty text; the parameter,
    // when given, is bound as ?1.
    QStringList column(const QString& sql, const QString& parameter = QString());

    // "cognome|nome|sesso|datanasc|luogonasc|nazionenasc|datamorte|luogomorte|nazionemorte" with
    // ISO dates; empty when there is no such person.
    QString person(const QString& key);
    QString links();      // "parent>child:idsesso" in row order, separated by blanks
    QString marriages();  // "husband+wife@yyyy-mm-dd" in row order, separated by blanks
    int personCount();

private:
    QTemporaryDir dir_;
    std::optional<Database> db_;
};

// The bytes of the file; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the bytes in place of what the file held; returns its path.
inline QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

// The persons of the tree file as the program finds them; -1 when it does not open.
inline int PersonsIn(const QString& path) {
    DatabaseConnection connection;
    if (!connection.open(path).ok()) return -1;
    return static_cast<int>(
        connection.anagrafica().search(SearchField::Surname, "*").value().count());
}

// The id of a process that has ended, which no running program has.
inline qint64 EndedProcess() {
    QProcess ended;
    ended.start("true");
    const qint64 pid = ended.processId();
    ended.waitForFinished();
    return pid;
}

}  // namespace radici
