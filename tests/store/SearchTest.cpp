#include "TestDatabase.h"
#include "store/DatabaseConnection.h"

#include <QTest>

using namespace radici;

namespace {

QStringList Surnames(SearchResult result) {
    QStringList names;
    if (!result.moveFirst()) return names;
    do {
        names << result.current().value().cognome + QLatin1Char(' ') +
                     result.current().value().nome;
    } while (result.moveNext());
    return names;
}

}  // namespace

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void findsPrefixesOldestFirst();
    void ignoresLetterCaseIncludingAccents();
    void treatsOnlyStarAndQuestionMarkAsWildcards();
    void searchesByGivenName();
    void movesWithinItsEdges();
    void usesAnIndexForAPlainPrefix();

private:
    QStringList find(const QString& text, SearchField field = SearchField::Surname);

    std::optional<TestDatabase> db_;
    DatabaseConnection connection_;
};

void SearchTest::init() {
    db_.emplace();
    db_->addPerson(QStringLiteral("ROSSI"), QStringLiteral("MARIA"), QStringLiteral("15/07/1920"));
    db_->addPerson(QStringLiteral("ROSSETTI"), QStringLiteral("LUCA"),
                   QStringLiteral("01/01/1850"));
    db_->addPerson(QStringLiteral("ROSA"), QStringLiteral("ANNA"), QStringLiteral("31/12/1799"));
    db_->addPerson(QStringLiteral("ROMANO"), QStringLiteral("PIO"), QStringLiteral("02/02/1900"));
    db_->addPerson(QString::fromUtf8("NICOLÒ"), QStringLiteral("ELIA"),
                   QStringLiteral("03/03/1930"));
    db_->addPerson(QStringLiteral("D'ANGELO"), QString::fromUtf8("NICOLÒ"),
                   QStringLiteral("04/04/1940"));
    db_->addPerson(QStringLiteral("100%"), QStringLiteral("ZETA"), QStringLiteral("05/05/1950"));
    db_->addPerson(QStringLiteral("1000"), QStringLiteral("ZETA"), QStringLiteral("06/06/1950"));
    db_->addPerson(QStringLiteral("\"ROSSO\""), QStringLiteral("QUOTE"),
                   QStringLiteral("07/07/1960"));
    // Born the same day: surname, then given name decide.
    db_->addPerson(QStringLiteral("ROSSINI"), QStringLiteral("BRUNO"),
                   QStringLiteral("15/07/1920"));
    db_->addPerson(QStringLiteral("ROSSINI"), QStringLiteral("ALDO"), QStringLiteral("15/07/1920"));
    QVERIFY(connection_.open(db_->path()).ok());
}

void SearchTest::cleanup() {
    connection_.close();
    db_.reset();
}

QStringList SearchTest::find(const QString& text, SearchField field) {
    Result<SearchResult> found = connection_.anagrafica().search(field, text);
    if (!found.ok()) return {QStringLiteral("failed: ") + found.status().description()};
    return Surnames(found.value());
}

void SearchTest::findsPrefixesOldestFirst() {
    QCOMPARE(find(QStringLiteral("Ros")), (QStringList{"ROSA ANNA", "ROSSETTI LUCA", "ROSSI MARIA",
                                                       "ROSSINI ALDO", "ROSSINI BRUNO"}));
    QCOMPARE(find(QStringLiteral("  rossi ")),
             (QStringList{"ROSSI MARIA", "ROSSINI ALDO", "ROSSINI BRUNO"}));
    QVERIFY(find(QStringLiteral("Zz")).isEmpty());
}

void SearchTest::ignoresLetterCaseIncludingAccents() {
    QCOMPARE(find(QString::fromUtf8("nicolò")), QStringList{QString::fromUtf8("NICOLÒ ELIA")});
    QCOMPARE(find(QStringLiteral("d'an")), QStringList{QString::fromUtf8("D'ANGELO NICOLÒ")});
    QCOMPARE(find(QString::fromUtf8("NICOLÒ"), SearchField::GivenName),
             QStringList{QString::fromUtf8("D'ANGELO NICOLÒ")});
}

void SearchTest::treatsOnlyStarAndQuestionMarkAsWildcards() {
    QCOMPARE(find(QStringLiteral("*ngel")), QStringList{QString::fromUtf8("D'ANGELO NICOLÒ")});
    QCOMPARE(find(QStringLiteral("r?ss")),
             (QStringList{"ROSSETTI LUCA", "ROSSI MARIA", "ROSSINI ALDO", "ROSSINI BRUNO"}));
    QCOMPARE(find(QStringLiteral("ros*ti")), QStringList{"ROSSETTI LUCA"});
    QCOMPARE(find(QStringLiteral("100%")), QStringList{"100% ZETA"});
    QCOMPARE(find(QStringLiteral("10_0")), QStringList{});
    QCOMPARE(find(QStringLiteral("%")), QStringList{});
    QCOMPARE(find(QStringLiteral("\"ros")), QStringList{"\"ROSSO\" QUOTE"});
    QCOMPARE(find(QStringLiteral("\" or 1=1 --")), QStringList{});
    QCOMPARE(find(QStringLiteral("*")).size(), 11);
}

void SearchTest::searchesByGivenName() {
    QCOMPARE(find(QStringLiteral("zeta"), SearchField::GivenName),
             (QStringList{"100% ZETA", "1000 ZETA"}));
    QVERIFY(find(QStringLiteral("rossi"), SearchField::GivenName).isEmpty());
}

void SearchTest::movesWithinItsEdges() {
    Result<SearchResult> found =
        connection_.anagrafica().search(SearchField::Surname, QStringLiteral("ros"));
    SearchResult& result = found.value();
    QCOMPARE(result.count(), 5);
    QCOMPARE(result.position(), 0);
    QVERIFY(!result.movePrevious());
    QCOMPARE(result.position(), 0);
    QVERIFY(result.moveLast());
    QCOMPARE(result.position(), 4);
    QVERIFY(!result.moveNext());
    QCOMPARE(result.current().value().nome, QStringLiteral("BRUNO"));
    QVERIFY(result.movePrevious());
    QCOMPARE(result.current().value().nome, QStringLiteral("ALDO"));

    SearchResult nothing =
        connection_.anagrafica().search(SearchField::Surname, QStringLiteral("zz")).value();
    QVERIFY(nothing.isEmpty());
    QCOMPARE(nothing.position(), -1);
    QVERIFY(!nothing.moveFirst() && !nothing.moveLast() && !nothing.moveNext());
    QCOMPARE(nothing.current().status().number(), EngineError::NoCurrentRecord);
}

void SearchTest::usesAnIndexForAPlainPrefix() {
    const QString surnamePlan = connection_.anagrafica()
                                    .explainSearch(SearchField::Surname, QStringLiteral("ros"))
                                    .value()
                                    .join(QLatin1Char('\n'));
    QVERIFY2(
        surnamePlan.contains(QStringLiteral("INDEX anagrafica_cognome (cognome>? AND cognome<?)")),
        qPrintable(surnamePlan));
    const QString givenNamePlan = connection_.anagrafica()
                                      .explainSearch(SearchField::GivenName, QStringLiteral("ma"))
                                      .value()
                                      .join(QLatin1Char('\n'));
    QVERIFY2(givenNamePlan.contains(QStringLiteral("INDEX anagrafica_nome (nome>? AND nome<?)")),
             qPrintable(givenNamePlan));
}

QTEST_GUILESS_MAIN(SearchTest)
#include "SearchTest.moc"
