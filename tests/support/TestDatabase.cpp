#include "TestDatabase.h"

#include "store/DatabaseConnection.h"
#include "store/Schema.h"

#include <QDate>

namespace radici {
namespace {

void Require(const Status& status, const char* what) {
    if (!status.ok())
        qFatal("TestDatabase: %s failed: %d %s", what, status.number(),
               qPrintable(status.description()));
}

}  // namespace

TestDatabase::TestDatabase() {
    Result<Database> created =
        Database::open(path(), DatabaseConnection::Password, Database::Mode::CreateNew);
    Require(created.status(), "create");
    db_.emplace(std::move(created).value());
    Require(CreateSchema(*db_), "schema");
}

QString TestDatabase::addPerson(const QString& surname, const QString& givenName,
                                const QString& birthDate, SexCode sex, const QString& deathDate) {
    const auto day = [](const QString& text) {
        return QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
    };
    const QString key = surname.left(3) + givenName.left(3) + birthDate;
    addPerson({key, surname, givenName, sex, day(birthDate), QString(), QString(), day(deathDate),
               QString(), QString()});
    return key;
}

void TestDatabase::addPerson(const Person& person) {
    const auto iso = [](const QDate& date) {
        return date.isValid() ? date.toString(Qt::ISODate) : QString();
    };
    insert(
        "insert into anagrafica (idrecord, cognome, nome, sesso, datanasc, luogonasc, "
        "nazionenasc, datamorte, luogomorte, nazionemorte) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {person.idrecord, person.cognome, person.nome,
         person.sesso ? QString::number(*person.sesso) : QString(), iso(person.datanasc),
         person.luogonasc, person.nazionenasc, iso(person.datamorte), person.luogomorte,
         person.nazionemorte});
}

void TestDatabase::insert(const char* sql, const QStringList& values) {
    Result<Statement> insert = db_->prepare(sql);
    Require(insert.status(), sql);
    for (int column = 0; column < values.size(); ++column)
        insert.value().bind(column + 1, values[column]);
    Require(insert.value().run(), sql);
}

void TestDatabase::execute(const QString& sql) {
    Require(db_->execute(sql.toUtf8().constData()), "execute");
}

QStringList TestDatabase::column(const QString& sql, const QString& parameter) {
    const QByteArray utf8 = sql.toUtf8();
    Result<Statement> select = db_->prepare(utf8.constData());
    Require(select.status(), "prepare select");
    if (!parameter.isNull()) select.value().bind(1, parameter);
    QStringList rows;
    while (select.value().step()) rows.append(select.value().text(0));
    Require(select.value().status(), "select");
    return rows;
}

QString TestDatabase::person(const QString& key) {
    // printf shows NULL as an empty text.
    return column(
               "select printf('%s|%s|%s|%s|%s|%s|%s|%s|%s', cognome, nome, sesso, datanasc, "
               "luogonasc, nazionenasc, datamorte, luogomorte, nazionemorte) from anagrafica "
               "where idrecord = ?1",
               key)
        .join(u'/');
}

QString TestDatabase::links() {
    return column(
               "select idgenitori || '>' || idfigli || ':' || idsesso from relazioni "
               "order by rowid")
        .join(u' ');
}

QString TestDatabase::marriages() {
    return column(
               "select idmarito || '+' || idmoglie || '@' || ifnull(Data, '') from matrimoni "
               "order by rowid")
        .join(u' ');
}

int TestDatabase::personCount() { return column("select count(*) from anagrafica")[0].toInt(); }

}  // namespace radici
