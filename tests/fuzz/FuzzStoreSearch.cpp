// Any surnames stored and any search text, through the real store: the search finds exactly the
// stored surnames that the reference matches, whether it runs on the index range, the range and
// the matcher, or the matcher alone; the matcher alone agrees with the reference, in bounded time.
#include "FuzzInput.h"
#include "store/DatabaseConnection.h"
#include "store/Schema.h"
#include "store/SearchPattern.h"

#include <QDir>
#include <QElapsedTimer>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // UTF-8 only: the boxes never hand the store half a character.
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList names = input.split(u'\n');
    const QString searchText = names.takeFirst();
    if (searchText.trimmed().isEmpty()) return 0;  // the registry window never runs such a search

    radici::DatabaseConnection& connection = Connection();
    // Every input starts from the empty table: its names are rolled back at the end.
    constexpr int RolledBackOnPurpose = -1;
    const radici::Status ran = connection.runInTransaction([&] {
        QSet<QString> expected, found;
        for (qsizetype index = 0; index < names.size() && index < MostNames; ++index) {
            radici::Person person;
            person.idrecord = QStringLiteral("FUZ%1").arg(index, 3, 10, QChar(u'0'));
            person.cognome = names[index];
            Require(connection.anagrafica().add(person).ok(), "any surname can be stored", input);
            // The store keeps names trimmed: the reference sees them as stored.
            const bool matches = radici::fuzz::ReferenceMatch(searchText, names[index].trimmed());
            if (matches) expected.insert(person.idrecord);
            QElapsedTimer timer;
            timer.start();
            Require(radici::MatchesSearchPattern(radici::TranslateSearchText(searchText).pattern,
                                                 names[index].trimmed()) == matches &&
                        timer.elapsed() < 1000,
                    "the matcher agrees with the reference in bounded time", input);
        }
        radici::Result<radici::SearchResult> result =
            connection.anagrafica().search(radici::SearchField::Surname, searchText);
        Require(result.ok(), "every search runs", input);
        for (bool more = result.value().moveFirst(); more; more = result.value().moveNext()) {
            const radici::Result<radici::Person> row = result.value().current();
            Require(row.ok(), "every row found can be read", input);
            found.insert(row.value().idrecord);
        }
        Require(found == expected, "the search finds exactly the names the reference matches",
                input);
        return radici::Status::failure(RolledBackOnPurpose, QString());
    });
    Require(ran.is(RolledBackOnPurpose), "the transaction rolls back", input);
    return 0;
}
