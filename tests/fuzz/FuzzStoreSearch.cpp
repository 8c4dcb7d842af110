// Any surnames stored and any search text, through the real store: the search finds exactly the
// stored surnames that the matcher accepts, whether it runs on the index range, the range and
// the matcher, or the matcher alone. Each input is rolled back, so the file stays small.
#include "FuzzInput.h"
#include "store/DatabaseConnection.h"
#include "store/Schema.h"
#include "store/SearchPattern.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

namespace {

using radici::fuzz::Require;

constexpr int MostNames = 16;

// One encrypted file made with the program's schema, opened the way the program opens it.
radici::DatabaseConnection& Connection() {
    static QTemporaryDir folder;
    static radici::DatabaseConnection connection;
    if (!connection.isOpen()) {
        const QString path = QDir(folder.path()).filePath(radici::DatabaseConnection::FileName);
        {
            radici::Result<radici::Database> made = radici::Database::open(
                path, radici::DatabaseConnection::Password, radici::Database::Mode::CreateNew);
            Require(made.ok() && radici::CreateSchema(made.value()).ok(), "the file is made", path);
        }
        Require(connection.open(path).ok(), "the file opens", path);
    }
    return connection;
}

QSet<QString> StoreNames(radici::PersonTable& persons, const QStringList& names,
                         const QString& input) {
    QSet<QString> keys;
    for (qsizetype index = 0; index < names.size() && index < MostNames; ++index) {
        radici::Person person;
        person.idrecord = QStringLiteral("FUZ%1").arg(index, 3, 10, QChar(u'0'));
        person.cognome = names[index];
        person.nome = QStringLiteral("NOME");
        Require(persons.add(person).ok(), "any surname can be stored", input);
        keys.insert(person.idrecord);
    }
    return keys;
}

QSet<QString> Found(radici::SearchResult result, const QString& input) {
    QSet<QString> keys;
    if (!result.moveFirst()) return keys;
    do {
        const radici::Result<radici::Person> row = result.current();
        Require(row.ok(), "every row found can be read", input);
        keys.insert(row.value().idrecord);
    } while (result.moveNext());
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // UTF-8 only: the boxes never hand the store half a character.
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList lines = input.split(u'\n');
    const QString searchText = lines.takeFirst();
    if (searchText.trimmed().isEmpty()) return 0;  // the registry window never runs such a search

    radici::DatabaseConnection& connection = Connection();
    radici::PersonTable& persons = connection.anagrafica();
    // Every input starts from the empty table: its names are rolled back at the end.
    constexpr int RolledBackOnPurpose = -1;
    const radici::Status ran = connection.runInTransaction([&] {
        const QSet<QString> stored = StoreNames(persons, lines, input);

        const radici::Result<radici::SearchResult> result =
            persons.search(radici::SearchField::Surname, searchText);
        Require(result.ok(), "every search runs", input);
        const QString pattern = radici::TranslateSearchText(searchText).pattern;
        QSet<QString> expected;
        for (const QString& key : stored) {
            const radici::Result<std::optional<radici::Person>> row = persons.seek(key);
            Require(row.ok() && row.value(), "a stored person is there", input);
            if (radici::MatchesSearchPattern(pattern, row.value()->cognome)) expected.insert(key);
        }
        Require(Found(result.value(), input) == expected,
                "the search finds exactly the names the pattern matches", input);
        return radici::Status::failure(RolledBackOnPurpose, QString());
    });
    Require(ran.is(RolledBackOnPurpose), "the transaction rolls back", input);
    return 0;
}
