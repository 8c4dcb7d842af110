#include "TestDatabase.h"
#include "store/DatabaseConnection.h"
#include "store/Schema.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace radici;

namespace {

Person MakePerson(const QString& key, const QString& surname, const QString& givenName) {
    Person person;
    person.idrecord = key;
    person.cognome = surname;
    person.nome = givenName;
    person.datanasc = QDate(1920, 7, 15);
    return person;
}

}  // namespace

class DatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnlyGoodFilesWithThePassword();
    void reportsAMissingTable();
    void keepsPersonsUniqueAndNormalized();
    void rewritesAPersonInPlace();
    void storesQuotesAndSqlAsData();
    void upsertsLinksAndMarriagesWithoutSecondRows();
    void removesEveryRowOfOnePairOnly();
    void savesAllRelationsOrNone();
    void deletesAPersonWithExactlyItsLinksOrNothing();
    void answersEveryOperationWhenClosed();
};

void DatabaseTest::opensOnlyGoodFilesWithThePassword() {
    QTemporaryDir dir;
    DatabaseConnection connection;

    const QString missing = dir.filePath(QStringLiteral("radicidb.mdb"));
    QCOMPARE(connection.open(missing).number(), EngineError::FileNotFound);
    QVERIFY(!QFile::exists(missing));  // nothing is created
    QVERIFY(!connection.isOpen());

    const QString otherPassword = dir.filePath(QStringLiteral("other.mdb"));
    {
        Result<Database> made =
            Database::open(otherPassword, QStringLiteral("altro"), Database::Mode::CreateNew);
        QVERIFY(made.ok());
        QVERIFY(CreateSchema(made.value()).ok());
    }
    const Status refused = connection.open(otherPassword);
    QCOMPARE(refused.number(), EngineError::PasswordRefused);
    QVERIFY(!refused.description().isEmpty());

    // A plain SQLite file with the right tables, made by the sqlcipher command without a key.
    const QString plain = dir.filePath(QStringLiteral("plain.mdb"));
    QCOMPARE(QProcess::execute(QStringLiteral("sqlcipher"),
                               {plain, QStringLiteral("create table anagrafica (idrecord text);"
                                                      "create table relazioni (idfigli text);"
                                                      "create table matrimoni (idmarito text);")}),
             0);
    {
        QFile file(plain);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(15) == "SQLite format 3");
    }
    QCOMPARE(connection.open(plain).number(), EngineError::PasswordRefused);

    const QString noise = dir.filePath(QStringLiteral("noise.mdb"));
    {
        QFile file(noise);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(8192, '\0');
        QRandomGenerator generator(42);
        for (char& byte : bytes) byte = static_cast<char>(generator.bounded(256));
        file.write(bytes);
    }
    QVERIFY(!connection.open(noise).ok());
    QVERIFY(!connection.isOpen());

    TestDatabase good;
    QVERIFY(connection.open(good.path()).ok());
    QVERIFY(connection.isOpen());
    connection.close();
    QVERIFY(!connection.isOpen());
}

void DatabaseTest::reportsAMissingTable() {
    TestDatabase db;
    db.execute(QStringLiteral("drop table matrimoni"));
    DatabaseConnection connection;
    const Status opened = connection.open(db.path());
    QCOMPARE(opened.number(), EngineError::TableMissing);
    QVERIFY(opened.description().contains(QStringLiteral("matrimoni")));
    QVERIFY(!connection.isOpen());
}

void DatabaseTest::keepsPersonsUniqueAndNormalized() {
    TestDatabase db;
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());

    Person maria = MakePerson(QStringLiteral("RosMar15/07/1920"), QStringLiteral("  Rossi "),
                              QString::fromUtf8("maria nicolò"));
    maria.luogonasc = QStringLiteral(" Roma capitale ");
    maria.luogomorte = QStringLiteral("");
    QVERIFY(connection.anagrafica().add(maria).ok());

    const std::optional<Person> stored = db.person(QStringLiteral("ROSMAR15/07/1920"));
    QVERIFY(stored.has_value());
    QCOMPARE(stored->cognome, QStringLiteral("ROSSI"));
    QCOMPARE(stored->nome, QString::fromUtf8("MARIA NICOLÒ"));
    QCOMPARE(stored->luogonasc, QStringLiteral("ROMA CAPITALE"));
    QCOMPARE(stored->datanasc, QDate(1920, 7, 15));
    QVERIFY(!stored->datamorte.isValid());

    // Rossetti Mario born the same day makes the same key.
    const Status duplicate = connection.anagrafica().add(MakePerson(
        QStringLiteral("ROSMAR15/07/1920"), QStringLiteral("Rossetti"), QStringLiteral("Mario")));
    QCOMPARE(duplicate.number(), EngineError::DuplicateKey);
    QCOMPARE(db.personCount(), 1);

    Result<std::optional<Person>> seek =
        connection.anagrafica().seek(QStringLiteral(" ROSMAR15/07/1920 "));
    QVERIFY(seek.ok() && seek.value().has_value());
    QCOMPARE(seek.value()->cognome, QStringLiteral("ROSSI"));
    // Keys compare exactly, letter case included.
    Result<std::optional<Person>> lower =
        connection.anagrafica().seek(QStringLiteral("rosmar15/07/1920"));
    QVERIFY(lower.ok() && !lower.value().has_value());
}

void DatabaseTest::rewritesAPersonInPlace() {
    TestDatabase db;
    const QString key = db.addPerson(QStringLiteral("ROSSI"), QStringLiteral("MARIA"),
                                     QStringLiteral("15/07/1920"));
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());

    Person corrected = *db.person(key);
    corrected.luogonasc = QStringLiteral("Roma Capitale");
    corrected.datamorte = QDate(1990, 3, 1);
    QVERIFY(connection.anagrafica().rewrite(corrected).ok());
    QCOMPARE(db.person(key)->luogonasc, QStringLiteral("ROMA CAPITALE"));
    QCOMPARE(db.person(key)->datamorte, QDate(1990, 3, 1));

    corrected.datamorte = QDate();  // an empty death date clears it
    QVERIFY(connection.anagrafica().rewrite(corrected).ok());
    QVERIFY(!db.person(key)->datamorte.isValid());
    QCOMPARE(db.personCount(), 1);

    corrected.idrecord = QStringLiteral("NOBODY01/01/1900");
    QCOMPARE(connection.anagrafica().rewrite(corrected).number(), EngineError::NoCurrentRecord);
}

void DatabaseTest::storesQuotesAndSqlAsData() {
    TestDatabase db;
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());
    const QString key = QStringLiteral("\"X'\"); DROP T");
    Person tricky = MakePerson(key, QStringLiteral("\"x'\"); drop table anagrafica; --"),
                               QStringLiteral("o'\"brien"));
    QVERIFY(connection.anagrafica().add(tricky).ok());

    Result<std::optional<Person>> found = connection.anagrafica().seek(key);
    QVERIFY(found.ok() && found.value().has_value());
    QCOMPARE(found.value()->cognome, QStringLiteral("\"X'\"); DROP TABLE ANAGRAFICA; --"));
    QCOMPARE(found.value()->nome, QStringLiteral("O'\"BRIEN"));

    Result<SearchResult> search =
        connection.anagrafica().search(SearchField::Surname, QStringLiteral("\"x'\"); drop"));
    QVERIFY(search.ok());
    QCOMPARE(search.value().count(), 1);
    QVERIFY(connection.relazioni().upsert({key, key, Female}).ok());
    QCOMPARE(connection.relazioni().parentsOf(key).value().size(), std::size_t{1});
    QCOMPARE(db.personCount(), 1);
}

void DatabaseTest::upsertsLinksAndMarriagesWithoutSecondRows() {
    TestDatabase db;
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());
    const QString father = QStringLiteral("BIAGIO01/01/1900");
    const QString child = QStringLiteral("BIACAR02/02/1930");

    QVERIFY(connection.relazioni().upsert({father, child, Male}).ok());
    QVERIFY(connection.relazioni().upsert({QStringLiteral(" ") + father, child, Female}).ok());
    QCOMPARE(db.links().size(), std::size_t{1});
    QCOMPARE(db.links().front(), (ParentLink{father, child, Female}));
    QVERIFY(connection.relazioni().contains(father, child).value());
    QVERIFY(!connection.relazioni().contains(child, father).value());

    QVERIFY(connection.matrimoni().upsert({father, child, QDate(1950, 6, 1)}).ok());
    QVERIFY(connection.matrimoni().upsert({father, child, QDate()}).ok());
    QCOMPARE(db.marriages().size(), std::size_t{1});
    QVERIFY(!db.marriages().front().data.isValid());  // an empty date is stored as absent
    QCOMPARE(connection.matrimoni().ofHusband(father).value().size(), std::size_t{1});
    QCOMPARE(connection.matrimoni().ofWife(child).value().size(), std::size_t{1});
    QVERIFY(connection.matrimoni().ofWife(father).value().empty());
}

void DatabaseTest::removesEveryRowOfOnePairOnly() {
    TestDatabase db;
    db.link(QStringLiteral("P"), QStringLiteral("C"), Male);
    db.link(QStringLiteral("P"), QStringLiteral("C"), Male);  // a hand-made duplicate
    db.link(QStringLiteral("P"), QStringLiteral("D"), Male);
    db.link(QStringLiteral("Q"), QStringLiteral("C"), Female);
    db.marry(QStringLiteral("H"), QStringLiteral("W"));
    db.marry(QStringLiteral("H"), QStringLiteral("W"), QStringLiteral("01/01/1950"));
    db.marry(QStringLiteral("W"), QStringLiteral("H"));
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());

    QVERIFY(connection.relazioni().remove(QStringLiteral("P"), QStringLiteral("C")).ok());
    const std::vector<ParentLink> expectedLinks{{QStringLiteral("P"), QStringLiteral("D"), Male},
                                                {QStringLiteral("Q"), QStringLiteral("C"), Female}};
    QCOMPARE(db.links(), expectedLinks);

    QVERIFY(connection.matrimoni().remove(QStringLiteral("H"), QStringLiteral("W")).ok());
    QCOMPARE(db.marriages().size(), std::size_t{1});
    QCOMPARE(db.marriages().front().idmarito, QStringLiteral("W"));
}

void DatabaseTest::savesAllRelationsOrNone() {
    TestDatabase db;
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());
    RelationsToSave rows;
    rows.parentLinks = {{QStringLiteral("FATHER"), QStringLiteral("ME"), Male},
                        {QStringLiteral("MOTHER"), QStringLiteral("ME"), Female}};
    rows.marriages = {{QStringLiteral("ME"), QStringLiteral("WIFE"), QDate(1950, 1, 2)}};
    rows.childLinks = {{QStringLiteral("ME"), QStringLiteral("SON"), Male},
                       {QStringLiteral("ME"), QStringLiteral("DAUGHTER"), Male}};
    for (const char* key : {"FATHER", "MOTHER", "ME", "WIFE", "SON", "DAUGHTER"}) {
        Person person;
        person.idrecord = QString::fromLatin1(key);
        db.addPerson(person);
    }

    db.execute(
        QStringLiteral("create trigger refuse before insert on relazioni "
                       "when new.idfigli = 'DAUGHTER' begin select raise(abort, 'no'); end"));
    const Status failed = connection.saveRelations(rows);
    QVERIFY(!failed.ok());
    QVERIFY(!failed.description().isEmpty());
    QVERIFY(db.links().empty());
    QVERIFY(db.marriages().empty());

    db.execute(QStringLiteral("drop trigger refuse"));
    QVERIFY(connection.saveRelations(rows).ok());
    QVERIFY(connection.saveRelations(rows).ok());  // saving twice writes nothing new
    QCOMPARE(db.links().size(), std::size_t{4});
    QCOMPARE(db.marriages().size(), std::size_t{1});
    QCOMPARE(connection.relazioni().parentsOf(QStringLiteral("ME")).value(), rows.parentLinks);
    QCOMPARE(connection.relazioni().childrenOf(QStringLiteral("ME")).value(), rows.childLinks);
}

void DatabaseTest::deletesAPersonWithExactlyItsLinksOrNothing() {
    TestDatabase db;
    const QString husband = db.addPerson(QStringLiteral("BIANCHI"), QStringLiteral("PIETRO"),
                                         QStringLiteral("01/01/1900"));
    const QString wife = db.addPerson(QStringLiteral("VERDI"), QStringLiteral("ANNA"),
                                      QStringLiteral("02/02/1902"), Female);
    const QString grandmother = db.addPerson(QStringLiteral("NERI"), QStringLiteral("ROSA"),
                                             QStringLiteral("03/03/1880"), Female);
    const QString son = db.addPerson(QStringLiteral("BIANCHI"), QStringLiteral("LUCA"),
                                     QStringLiteral("04/04/1930"));
    db.link(grandmother, wife, Female);
    db.link(wife, son, Female);
    db.link(husband, son, Male);
    db.marry(husband, wife, QStringLiteral("05/05/1925"));
    db.marry(husband, grandmother);
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());

    // The fourth deletion (marriages as wife) fails: all five are undone.
    db.execute(QStringLiteral("create trigger refuse before delete on matrimoni "
                              "when old.idmoglie = '%1' begin select raise(abort, 'bloccato'); end")
                   .arg(wife));
    const CascadeOutcome refused = connection.deletePersonCascade(wife);
    QCOMPARE(refused.failures.size(), std::size_t{1});
    QVERIFY(refused.failures.front().description().contains(QStringLiteral("bloccato")));
    QVERIFY(db.person(wife).has_value());
    QCOMPARE(db.links().size(), std::size_t{3});
    QCOMPARE(db.marriages().size(), std::size_t{2});

    db.execute(QStringLiteral("drop trigger refuse"));
    QVERIFY(connection.deletePersonCascade(wife).committed());
    QVERIFY(!db.person(wife).has_value());
    QCOMPARE(db.personCount(), 3);
    QCOMPARE(db.links(), (std::vector<ParentLink>{{husband, son, Male}}));
    QCOMPARE(db.marriages().size(), std::size_t{1});
    QCOMPARE(db.marriages().front().idmoglie, grandmother);

    // A person with no links at all: only the own row goes.
    db.execute(QStringLiteral("delete from relazioni"));
    QVERIFY(connection.deletePersonCascade(son).committed());
    QCOMPARE(db.personCount(), 2);
}

void DatabaseTest::answersEveryOperationWhenClosed() {
    DatabaseConnection connection;
    QCOMPARE(connection.anagrafica().seek(QStringLiteral("X")).status().number(),
             EngineError::NotOpen);
    QCOMPARE(connection.anagrafica().add(Person{}).number(), EngineError::NotOpen);
    QCOMPARE(
        connection.anagrafica().search(SearchField::Surname, QStringLiteral("R")).status().number(),
        EngineError::NotOpen);
    QCOMPARE(connection.relazioni().parentsOf(QStringLiteral("X")).status().number(),
             EngineError::NotOpen);
    QCOMPARE(connection.matrimoni().remove(QStringLiteral("X"), QStringLiteral("Y")).number(),
             EngineError::NotOpen);
    QCOMPARE(connection.saveRelations({}).number(), EngineError::NotOpen);
    QVERIFY(!connection.deletePersonCascade(QStringLiteral("X")).committed());

    // A search kept from an open connection fails cleanly once it is closed.
    TestDatabase db;
    db.addPerson(QStringLiteral("ROSSI"), QStringLiteral("MARIA"), QStringLiteral("15/07/1920"));
    QVERIFY(connection.open(db.path()).ok());
    Result<SearchResult> kept =
        connection.anagrafica().search(SearchField::Surname, QStringLiteral("ROS"));
    QVERIFY(kept.ok() && kept.value().current().ok());
    connection.close();
    QCOMPARE(kept.value().current().status().number(), EngineError::NotOpen);
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "DatabaseTest.moc"
