#pragma once

#include "store/Database.h"
#include "store/Records.h"

#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <vector>

namespace radici {

// A real encrypted database file, made with the program's schema and password in a fresh
// temporary folder, with builders for known families. Its own connection is separate from the
// program's and holds no transaction between calls.
class TestDatabase {
public:
    TestDatabase();

    QString folder() const { return dir_.path(); }
    QString path() const;  // <folder>/radicidb.mdb

    // Adds a person with the key made from the names and the birth date ("dd/mm/yyyy") and
    // returns the key. Names are stored as given (tests pass them upper-case).
    QString addPerson(const QString& surname, const QString& givenName, const QString& birthDate,
                      SexCode sex = Male, const QString& deathDate = QString());
    void addPerson(const Person& person);
    void link(const QString& parentKey, const QString& childKey, SexCode idsesso);
    void marry(const QString& husbandKey, const QString& wifeKey, const QString& date = QString());

    // Raw SQL for what only a test does (a trigger that makes a write fail, a dropped table).
    void execute(const QString& sql);

    std::optional<Person> person(const QString& key);
    std::vector<ParentLink> links();    // every row of relazioni, in row order
    std::vector<Marriage> marriages();  // every row of matrimoni, in row order
    int personCount();

private:
    QTemporaryDir dir_;
    std::optional<Database> db_;
};

}  // namespace radici
