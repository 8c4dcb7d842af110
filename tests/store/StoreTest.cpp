#include "TestDatabase.h"
#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PartialDate.h"
#include "store/PersonKey.h"
#include "store/Schema.h"

#include <sqlite3.h>
#include <QDir>
#include <QTest>

using namespace radici;

namespace {

// A fresh file and the program's connection to it.
struct Store {
    Store() {
        if (!connection.open(db.path()).ok()) qFatal("cannot open the database");
    }
    QString find(const QString& text, SearchField field = SearchField::Surname) {
        Result<SearchResult> found = connection.anagrafica().search(field, text);
        QStringList names;
        for (bool more = found.value().moveFirst(); more; more = found.value().moveNext())
            names << found.value().current().value().cognome + u' ' +
                         found.value().current().value().nome;
        return names.join(QStringLiteral(", "));
    }
    TestDatabase db;
    DatabaseConnection connection;
};

// The rows the engine stepped through in full-table scans while the work ran on the connection.
template <typename Work>
int FullScanSteps(const DatabaseConnection& connection, Work work) {
    int steps = 0;
    const auto count = [](unsigned, void* total, void* statement, void*) {
        *static_cast<int*>(total) += sqlite3_stmt_status(static_cast<sqlite3_stmt*>(statement),
                                                         SQLITE_STMTSTATUS_FULLSCAN_STEP, 0);
        return 0;
    };
    sqlite3_trace_v2(connection.database()->handle(), SQLITE_TRACE_PROFILE, count, &steps);
    work();
    sqlite3_trace_v2(connection.database()->handle(), 0, nullptr, nullptr);
    return steps;
}

}  // namespace

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnlyItsOwnFiles() {
        for (const auto& [file, number, said] : QList<std::tuple<QString, int, QString>>{
                 {"ours", 0, ""},
                 {"missing", EngineError::FileNotFound, "non esiste"},
                 {"", EngineError::TableMissing, "\"anagrafica\""},  // an empty file
                 {"xxxx", EngineError::PasswordRefused, "password"},
                 {"altra", EngineError::PasswordRefused, "password"},  // another password
                 {"plain", EngineError::PasswordRefused, "password"},  // plain SQLite
                 {"drop", EngineError::TableMissing, "\"matrimoni\""},
                 {"folder", 14, "cartella"}}) {
            TestDatabase ours;
            QTemporaryDir folder;
            QString path = folder.filePath(DatabaseConnection::FileName);
            if (file == "ours" || file == "drop") path = ours.path();
            if (file == "drop") ours.execute("drop table matrimoni");
            if (file == "folder") QDir().mkpath(path);
            if (file.isEmpty() || file == "xxxx") WriteFile(path, file.repeated(999).toLatin1());
            if (file == "altra" || file == "plain") {
                Result<Database> made = Database::open(path, file == "altra" ? file : QString(),
                                                       Database::Mode::CreateNew);
                QVERIFY(made.ok() && CreateSchema(made.value()).ok());
            }
            DatabaseConnection connection;
            const Status opened = connection.open(path);
            QCOMPARE(opened.number(), number);
            QVERIFY2(opened.description().contains(said), qPrintable(opened.description()));
            QCOMPARE(connection.isOpen(), number == 0);
            QCOMPARE(QFileInfo::exists(path), file != "missing");  // opening never makes a file
        }
    }

    void storesPersonsNormalizedAndAsData() {
        Store store;
        PersonTable& persons = store.connection.anagrafica();
        Person maria{"RosMar15/07/1920", "  Rossi ", "maria nicolò", Female,   QDate(1920, 7, 15),
                     " Roma ",           "italia",   QDate(),        "Lugano", "Svizzera"};
        QVERIFY(persons.add(maria).ok());

        store.db.execute("update anagrafica set luogomorte = 'PISA', nazionemorte = 'ITALIA'");
        const Person read = persons.seek(" ROSMAR15/07/1920 ").value().value_or(Person());
        QCOMPARE(QStringList({read.cognome, read.luogonasc, read.nazionenasc, read.luogomorte,
                              read.nazionemorte}),
                 QStringList({"ROSSI", "ROMA", "ITALIA", "PISA", "ITALIA"}));
        QVERIFY(!persons.seek("rosmar15/07/1920").value());  // keys keep their letter case

        Person corrected = read;
        corrected.luogonasc = "Roma Capitale";
        corrected.datamorte = QDate(1990, 3, 1);
        QVERIFY(persons.rewrite(corrected).ok());
        QCOMPARE(store.db.person("ROSMAR15/07/1920"),
                 "ROSSI|MARIA NICOLÒ|1|1920-07-15|ROMA CAPITALE|ITALIA|1990-03-01|PISA|ITALIA");
        corrected.idrecord = "NOBODY01/01/1900";
        QCOMPARE(persons.rewrite(corrected).number(), EngineError::NoCurrentRecord);
    }

    void writesOneRowPerPairAndRemovesOnlyThePair() {
        Store store;
        store.db.link("P", "C", Male);
        store.db.link("P", "C", Male);  // a duplicate made by hand
        store.db.link("P", "D", Male);
        store.db.link("Q", "C", Female);
        store.db.marry("H", "W");
        store.db.marry("H", "W", "1950-01-01");
        store.db.marry("W", "H");
        RelationTable& links = store.connection.relazioni();
        MarriageTable& marriages = store.connection.matrimoni();
        QVERIFY(links.upsert({"F", "C", Male}).ok() && links.upsert({" F", "C", Female}).ok());
        QVERIFY(marriages.upsert({"F", "M", QDate(1950, 6, 1)}).ok());
        QVERIFY(marriages.upsert({"F", "M", QDate()}).ok());
        QVERIFY(links.contains("F", "C").value() && !links.contains("C", "F").value());
        QCOMPARE(store.db.links(), "P>C:0 P>C:0 P>D:0 Q>C:1 F>C:1");
        QCOMPARE(store.db.marriages(), "H+W@ H+W@1950-01-01 W+H@ F+M@");

        DatesInPartTable& inPart = store.connection.datesInPart();
        QVERIFY(inPart.setMarriage("H", "W", "1950").ok() &&
                inPart.setMarriage("W", "H", "1951").ok());

        QVERIFY(links.remove("P", "C").ok() && marriages.remove("H", "W").ok());
        QCOMPARE(store.db.links() + u'/' + store.db.marriages(), "P>D:0 Q>C:1 F>C:1/W+H@ F+M@");
        QCOMPARE(store.db.column("select data from radici_date_matrimoni"), QStringList("1951"));
    }

    // A day is stored as the ISO text the engine and other programs read, whatever its year.
    void storesEachDayAsItsIsoText() {
        for (const QDate& day :
             {QDate(1, 1, 1), QDate(999, 12, 31), QDate(1888, 3, 12), QDate(2026, 10, 9),
              QDate(9999, 12, 31), QDate(10000, 1, 1), QDate(-44, 3, 15)})
            QCOMPARE(StorageDateText(day), day.toString(Qt::ISODate));
        QCOMPARE(StorageDateText(QDate(1888, 3, 12)), u"1888-03-12"_qs);
        QVERIFY(StorageDateText(QDate()).isNull());
    }

    // A statement run row after row, and moved between rows, binds each text as its own bytes,
    // however long the text bound before it at the same place.
    void bindsEachTextAsItsOwnBytes() {
        TestDatabase file;
        Result<Database> db =
            Database::open(file.path(), DatabaseConnection::Password, Database::Mode::OpenExisting);
        Result<Statement> prepared = db.value().prepare("select hex(?1) || '/' || hex(?2)");
        QVERIFY(prepared.ok());
        Statement statement = std::move(prepared).value();
        const QString surrogatesAlone = QString(QChar(0xD800)) + u'x' + QChar(0xDBFF);
        const QList<std::pair<QString, QString>> rows{{u"ROSSI"_qs.repeated(60), u"Ǆ"_qs},
                                                      {u"A"_qs, u""_qs},
                                                      {u"𝔄 Nicolò"_qs, surrogatesAlone},
                                                      {u"B"_qs, u"ROSSI"_qs.repeated(60)}};
        for (const auto& [first, second] : rows) {
            statement.reset();
            statement.bind(1, first);
            statement.bind(2, second);
            Statement moved = std::move(statement);
            QVERIFY(moved.step());
            QCOMPARE(moved.text(0), QString::fromLatin1(first.toUtf8().toHex().toUpper() + '/' +
                                                        second.toUtf8().toHex().toUpper()));
            statement = std::move(moved);
        }
    }

    // Each value as stored, as shown, its earliest day and the text that types it.
    void readsShowsAndOrdersDatesKnownInPart() {
        for (const auto& [gedcom, shown, earliest, typed] :
             QList<std::tuple<QString, QString, QString, QString>>{
                 {"12 MAR 1888", "12/03/1888", "1888-03-12", "12/03/1888"},
                 {"MAR 1850", "03/1850", "1850-03-01", "03/1850"},
                 {"ABT 1850", "ca. 1850", "1850-01-01", "ca. 1850"},
                 {"CAL JUN 1850", "ca. 06/1850", "1850-06-01", ""},
                 {"BEF 1850", "prima del 1850", "1850-01-01", "prima del 1850"},
                 {"AFT 1850", "dopo il 1850", "1850-01-01", "dopo il 1850"},
                 {"BET 1850 AND 1855", "tra il 1850 e il 1855", "1850-01-01",
                  "tra il 1850 e il 1855"},
                 {"FROM MAY 1850 TO 1855", "dal 05/1850 al 1855", "1850-05-01",
                  "dal 05/1850 al 1855"},
                 {"@#DJULIAN@ 1700", "@#DJULIAN@ 1700", "1700-01-11", ""},
                 {"1750/51", "1750/51", "1751-01-01", ""},
                 {"INT 1850 (al censimento)", "INT 1850 (al censimento)", "1850-01-01", ""},
                 {"(da giovane)", "(da giovane)", "", ""},
                 {"BET 1850", "BET 1850", "", ""}}) {
            QCOMPARE(ShortItalianDate(gedcom) + StorageDateText(EarliestDay(gedcom)),
                     shown + earliest);
            QCOMPARE(ReadGedcomExactDate(gedcom).has_value(), gedcom == "12 MAR 1888");
            const std::optional<TypedDate> read = ReadTypedDate(u' ' + typed.toUpper() + u' ');
            QVERIFY2(read && ShownDate(read->exact, read->inPart) == typed, qPrintable(typed));
            QVERIFY(read->inPart.isEmpty() || read->inPart == gedcom);
        }
        for (const char* refused : {"circa 1850", "13/1850", "tra il 1855 e il 1850"})
            QVERIFY2(!ReadTypedDate(refused), refused);
    }

    // Told apart by the 7th and 12th characters; numbered after the highest of the prefix, a key
    // made by hand in its range passed over.
    void makesOwnKeysTheRegistryKeyCannotBe() {
        QCOMPARE(OwnKey(OwnKeyPrefix(" li ", "Wei", 1950), 1) + OwnKeyPrefix("", "gio", {}),
                 "LI_WEI~1950~0001___GIO~0000~");
        QVERIFY(IsOwnKey("ROSMAR~1850~0001") && !IsOwnKey("R~~MAR15/07/1920") &&
                !IsOwnKey("ROSMAR~1850~001"));
        QVERIFY(RegistryKey(" Rossi", "Maria ", QDate(1920, 7, 15)) &&
                !RegistryKey("Li", "Wei", QDate(1950, 1, 1)));
        Store store;
        store.db.execute(
            "insert into anagrafica (idrecord) values ('ROSMAR~1850~0007'), "
            "('ROSMAR~1850~0002'), ('ROSMAR~1850~00X9'), ('ROSMAR~1850~001')");
        PersonTable& persons = store.connection.anagrafica();
        QCOMPARE(persons.highestOwnNumber("ROSMAR~1850~").value(), 7);
        QCOMPARE(persons.highestOwnNumber("ROSMAR~1851~").value(), 0);
    }

    // Nothing there, and no table made, until a write; an empty text removes that date alone.
    void keepsDatesKnownInPartBesideTheThreeTables() {
        Store store;
        DatesInPartTable& inPart = store.connection.datesInPart();
        QVERIFY(inPart.ofPerson("A").value() == PersonDatesInPart{} &&
                inPart.ofMarriage("A", "B").value().isEmpty() && !inPart.exists().value());
        QVERIFY(inPart.setPerson(" A", {"BEF MAR 1850", "ABT 1901"}).ok() &&
                inPart.setMarriage("A", "B", "(in chiesa)").ok());
        QCOMPARE(inPart.ofPerson("A ").value(), (PersonDatesInPart{"BEF MAR 1850", "ABT 1901"}));
        QVERIFY(inPart.setPerson("A", {"", "ABT 1902"}).ok());
        QCOMPARE(store.db.column(
                     "select evento || data || ifnull(ordine, '-') from radici_date_persone "
                     "union all select data || ifnull(ordine, '-') from radici_date_matrimoni"),
                 QStringList({"1ABT 19021902-01-01", "(in chiesa)-"}));
    }

    // A file made before an unknown sex existed refuses NULL: there it is 9. A correction keeps
    // any unknown sex as stored.
    void writesAnUnknownSexAsTheFileCanHoldIt() {
        for (const bool strict : {false, true}) {
            Store store;
            if (strict)
                store.db.execute(
                    "drop table anagrafica; create table anagrafica (idrecord text, "
                    "cognome text, nome text, sesso integer not null, datanasc text, "
                    "luogonasc text, nazionenasc text, datamorte text, luogomorte "
                    "text, nazionemorte text)");
            Person unknown;
            unknown.idrecord = "A";
            unknown.sesso = std::nullopt;
            QVERIFY(store.connection.anagrafica().add(unknown).ok());
            store.db.execute("insert into anagrafica (idrecord, sesso) values ('B', 7)");
            const StoredPerson loaded =
                store.connection.anagrafica().seekStored("B").value().value();
            unknown.idrecord = "B";
            unknown.luogonasc = "Roma";
            QVERIFY(store.connection.correctPerson(loaded, unknown).ok());
            QCOMPARE(store.db.column(
                         "select ifnull(sesso, 'NULL') || ifnull(luogonasc, '') from anagrafica"),
                     QStringList({strict ? "9" : "NULL", "7ROMA"}));
        }
    }

    // While reads share one read transaction another program's write waits for them; inside a
    // write they join it; on a closed connection each read fails on its own.
    void readsSeeOneStateOfTheFile() {
        Store store;
        PersonTable& persons = store.connection.anagrafica();
        Person anna;
        anna.idrecord = "ANNA";
        DatabaseConnection other;
        QVERIFY(other.open(store.db.path()).ok());
        Status written;
        const Status read = store.connection.runReading([&] {
            const Status seek = persons.seek("ANNA").status();
            written = other.anagrafica().add(anna);
            return seek;
        });
        QVERIFY(read.ok());
        QVERIFY2(written.description().contains("in uso"), qPrintable(written.description()));
        QVERIFY(other.anagrafica().add(anna).ok());

        const Status undone = store.connection.runInTransaction([&] {
            anna.idrecord = "BRUNO";
            if (Status added = persons.add(anna); !added.ok()) return added;
            const Result<std::optional<Person>> seen =
                store.connection.runReading([&] { return persons.seek("BRUNO"); });
            return Status::failure(seen.ok() && seen.value() ? 1 : 2, "undone");
        });
        QCOMPARE(undone.number(), 1);
        QCOMPARE(store.db.personCount(), 1);

        DatabaseConnection closed;
        QCOMPARE(
            closed.runReading([&] { return closed.anagrafica().seek("ANNA").status(); }).number(),
            EngineError::NotOpen);
    }

    void savesAllRelationsOrNone() {
        Store store;
        RelationsToSave rows{{{"FATHER", "ME", Male}, {"MOTHER", "ME", Female}},
                             {{"ME", "WIFE", QDate(1950, 1, 2)}},
                             {{"ME", "SON", Male}, {"ME", "DAUGHTER", Male}}};
        store.db.execute(
            "insert into anagrafica (idrecord) values ('FATHER'), ('MOTHER'), "
            "('ME'), ('WIFE'), ('SON'), ('DAUGHTER')");
        store.db.execute(
            "create trigger refuse before insert on relazioni when "
            "new.idfigli = 'DAUGHTER' begin select raise(abort, 'rifiutato'); end");
        const Status failed = store.connection.saveRelations(rows);
        QVERIFY2(failed.description().contains("rifiutato"), qPrintable(failed.description()));
        QCOMPARE(store.db.links() + store.db.marriages(), "");

        // The failure left nothing behind: the next save is a transaction of its own.
        rows.childLinks.pop_back();
        QVERIFY(store.connection.saveRelations(rows).ok());
        QCOMPARE(store.db.links() + u'/' + store.db.marriages(),
                 "FATHER>ME:0 MOTHER>ME:1 ME>SON:0/ME+WIFE@1950-01-02");
    }

    void deletesAPersonWithItsLinksOrNothing() {
        Store store;
        TestDatabase& db = store.db;
        db.link("G", "W", Female);
        db.link("W", "S", Female);
        db.link("H", "S", Male);
        db.marry("H", "W", "1925-05-05");
        db.marry("H", "G");
        db.marry("W", "Z");
        db.execute("insert into anagrafica (idrecord) values ('W'), ('H')");
        DatesInPartTable& inPart = store.connection.datesInPart();
        QVERIFY(
            inPart.setPerson("W", {"1850", ""}).ok() && inPart.setPerson("H", {"", "1900"}).ok() &&
            inPart.setMarriage("H", "W", "1870").ok() &&
            inPart.setMarriage("W", "Z", "1871").ok() && inPart.setMarriage("H", "G", "1872").ok());
        const auto rows = [&db] {
            return db.links() + u'/' + db.marriages() + u'/' +
                   db.column(
                         "select idrecord from anagrafica union all select idrecord from "
                         "radici_date_persone union all select data from radici_date_matrimoni")
                       .join(u',');
        };
        const QString everything = rows();

        // The fourth deletion (marriages as wife) and the dates' fail: the others are undone.
        db.execute(
            "create trigger refuse before delete on matrimoni when old.idmoglie = 'W' "
            "begin select raise(abort, 'bloccato'); end; create trigger dates before delete on "
            "radici_date_persone begin select raise(abort, 'bloccato'); end");
        CascadeOutcome outcome = store.connection.deletePersonCascade("W");
        QCOMPARE(outcome.failures.size(), std::size_t{2});
        QVERIFY(outcome.failures[1].description().contains("bloccato"));
        QCOMPARE(rows(), everything);

        // A failure that ends the transaction by itself stops the deletions after it, which
        // would otherwise be committed alone.
        db.execute("drop trigger refuse; drop trigger dates");
        db.execute(
            "create trigger interrupt before delete on matrimoni "
            "begin select raise(rollback, 'interrotto'); end");
        QVERIFY(!store.connection.deletePersonCascade("W").committed());
        QCOMPARE(rows(), everything);

        db.execute("drop trigger interrupt");
        QVERIFY(store.connection.deletePersonCascade("W").committed());
        QCOMPARE(rows(), "H>S:0/H+G@/H,H,1872");
    }

    void searchesPrefixesOldestFirstWithWildcards() {
        Store store;
        // What a search text matches is the search fuzz target's to prove; here, the order.
        for (const char* person : {"ROSSI MARIA 15/07/1920", "ROSSETTI LUCA 01/01/1850",
                                   "ROSA ANNA 31/12/1799", "D'ANGELO NICOLÒ 04/04/1940",
                                   "ROSSINI BRUNO 15/07/1920", "ROSSINI ALDO 15/07/1920"}) {
            const QStringList fields = QString(person).split(u' ');
            store.db.addPerson(fields[0], fields[1], fields[2]);
        }
        QCOMPARE(store.find("Ros"),
                 "ROSA ANNA, ROSSETTI LUCA, ROSSI MARIA, ROSSINI ALDO, ROSSINI BRUNO");
        QCOMPARE(store.find("NICOLÒ", SearchField::GivenName), "D'ANGELO NICOLÒ");

        // A beginning reads the index range alone; a leading wildcard reads every row.
        QCOMPARE(FullScanSteps(store.connection, [&] { store.find("ros"); }), 0);
        QCOMPARE_GT(FullScanSteps(store.connection, [&] { store.find("*ngel"); }), 0);

        // The cursor stops at either end.
        SearchResult result =
            store.connection.anagrafica().search(SearchField::Surname, "ros").value();
        QVERIFY(!result.movePrevious() && result.moveLast() && !result.moveNext());
        QCOMPARE(QString::number(result.position()) + result.current().value().nome, "4BRUNO");
        QVERIFY(result.movePrevious());
        QCOMPARE(result.current().value().nome, "ALDO");

        // A birth known in part sorts by its earliest day; none at all, as an empty date.
        store.db.execute(
            "insert into anagrafica (idrecord, cognome, nome) values "
            "('A', 'ROSSO', 'A'), ('B', 'ROSSO', 'B'), ('C', 'ROSSO', 'C')");
        QVERIFY(store.find("ros").startsWith("ROSSO A, ROSSO B, ROSSO C, ROSA ANNA, ROSSETTI"));
        for (const auto& [key, birth] :
             {std::pair{"A", "ABT 1921"}, {"B", "BEF 1920"}, {"C", "(?)"}})
            QVERIFY(store.connection.datesInPart().setPerson(key, {birth, ""}).ok());
        QCOMPARE(store.find("ros"),
                 "ROSSO C, ROSA ANNA, ROSSETTI LUCA, ROSSO B, ROSSI MARIA, "
                 "ROSSINI ALDO, ROSSINI BRUNO, ROSSO A");
        QCOMPARE(FullScanSteps(store.connection, [&] { store.find("ros"); }), 0);
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "StoreTest.moc"
