#include "TestDatabase.h"

#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PersonKey.h"
#include "store/PersonRow.h"
#include "store/Schema.h"

#include <QDir>
#include <QTest>

namespace radici {

namespace {

QDate DayFirst(const QString& text) {
    if (text.isEmpty()) return QDate();
    const std::optional<QDate> date = ReadDayFirstDate(text);
    if (!date) qFatal("TestDatabase: not a date: %s", qPrintable(text));
    return *date;
}

void Require(const Status& status, const char* what) {
    if (!status.ok())
        qFatal("TestDatabase: %s failed: %d %s", what, status.number(),
               qPrintable(status.description()));
}

Statement Prepare(const Database& db, const char* sql) {
    Result<Statement> statement = db.prepare(sql);
    Require(statement.status(), sql);
    return std::move(statement).value();
}

}  // namespace

TestDatabase::TestDatabase() {
    Result<Database> created =
        Database::open(path(), DatabaseConnection::Password, Database::Mode::CreateNew);
    Require(created.status(), "create");
    db_.emplace(std::move(created).value());
    Require(CreateSchema(*db_), "schema");
}

QString TestDatabase::path() const {
    return QDir(dir_.path()).filePath(DatabaseConnection::FileName);
}

QString TestDatabase::addPerson(const QString& surname, const QString& givenName,
                                const QString& birthDate, SexCode sex, const QString& deathDate) {
    Person person;
    person.idrecord = UpperCase(ComposeKey(surname, givenName, birthDate, DateRule::AnyLength));
    person.cognome = surname;
    person.nome = givenName;
    person.sesso = sex;
    person.datanasc = DayFirst(birthDate);
    person.datamorte = DayFirst(deathDate);
    addPerson(person);
    return person.idrecord;
}

void TestDatabase::addPerson(const Person& person) {
    Statement insert = Prepare(*db_,
                               "insert into anagrafica (idrecord, cognome, nome, sesso, datanasc, "
                               "luogonasc, nazionenasc, datamorte, luogomorte, nazionemorte) "
                               "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    BindPerson(insert, person);
    Require(insert.run(), "insert person");
}

void TestDatabase::link(const QString& parentKey, const QString& childKey, SexCode idsesso) {
    Statement insert =
        Prepare(*db_, "insert into relazioni (idgenitori, idfigli, idsesso) values (?1, ?2, ?3)");
    insert.bind(1, parentKey);
    insert.bind(2, childKey);
    insert.bind(3, std::int64_t{idsesso});
    Require(insert.run(), "insert link");
}

void TestDatabase::marry(const QString& husbandKey, const QString& wifeKey, const QString& date) {
    Statement insert =
        Prepare(*db_, "insert into matrimoni (idmarito, idmoglie, Data) values (?1, ?2, ?3)");
    insert.bind(1, husbandKey);
    insert.bind(2, wifeKey);
    insert.bind(3, StorageDateText(DayFirst(date)));
    Require(insert.run(), "insert marriage");
}

void TestDatabase::execute(const QString& sql) {
    Require(db_->execute(sql.toUtf8().constData()), "execute");
}

std::optional<Person> TestDatabase::person(const QString& key) {
    Statement select = Prepare(*db_,
                               "select idrecord, cognome, nome, sesso, datanasc, luogonasc, "
                               "nazionenasc, datamorte, luogomorte, nazionemorte "
                               "from anagrafica where idrecord = ?1");
    select.bind(1, key);
    if (!select.step()) {
        Require(select.status(), "select person");
        return std::nullopt;
    }
    Person found = ReadPerson(select);
    select.reset();
    return found;
}

std::vector<ParentLink> TestDatabase::links() {
    Statement select =
        Prepare(*db_, "select idgenitori, idfigli, idsesso from relazioni order by rowid");
    std::vector<ParentLink> rows;
    while (select.step())
        rows.push_back({select.text(0), select.text(1), static_cast<SexCode>(select.integer(2))});
    Require(select.status(), "select links");
    return rows;
}

std::vector<Marriage> TestDatabase::marriages() {
    Statement select =
        Prepare(*db_, "select idmarito, idmoglie, Data from matrimoni order by rowid");
    std::vector<Marriage> rows;
    while (select.step())
        rows.push_back({select.text(0), select.text(1), DateFromStorageText(select.text(2))});
    Require(select.status(), "select marriages");
    return rows;
}

int TestDatabase::personCount() {
    Statement count = Prepare(*db_, "select count(*) from anagrafica");
    count.step();
    const int persons = static_cast<int>(count.integer(0));
    count.reset();
    return persons;
}

}  // namespace radici
