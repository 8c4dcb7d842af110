// The generated trees: realistic enough to measure on, the same for the same seed, and holding the
// family shapes and searches the benchmarks rely on. Read back through the program's own store.
#include "TreeGenerator.h"

#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PersonKey.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace radici::bench {

namespace {

constexpr int Size = 3000;
constexpr quint32 Seed = 7;

std::vector<Person> EveryPerson(const DatabaseConnection& connection) {
    Result<SearchResult> all =
        connection.anagrafica().search(SearchField::Surname, QStringLiteral("*"));
    std::vector<Person> persons;
    if (!all.ok() || !all.value().moveFirst()) return persons;
    do {
        persons.push_back(all.value().current().value());
    } while (all.value().moveNext());
    return persons;
}

QStringList ChildrenOf(const DatabaseConnection& connection, const QString& parent) {
    const Result<std::vector<ParentLink>> links = connection.relazioni().childrenOf(parent);
    QStringList children;
    for (const ParentLink& link : links.value()) children.append(link.idfigli);
    return children;
}

std::vector<Marriage> MarriagesOf(const DatabaseConnection& connection, const Person& person) {
    return person.sesso == Male ? connection.matrimoni().ofHusband(person.idrecord).value()
                                : connection.matrimoni().ofWife(person.idrecord).value();
}

}  // namespace

class TreeGeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        path_ = folder_.filePath(QStringLiteral("tree.mdb"));
        const Result<TreeFacts> made = GenerateTree(path_, Seed, Size);
        QVERIFY2(made.ok(), qPrintable(made.status().description()));
        facts_ = made.value();
        QVERIFY(connection_.open(path_).ok());
        persons_ = EveryPerson(connection_);
    }

    void everyPersonHasAKeyOfTheirOwnMadeLikeTheRegistryWindowMakesIt() {
        QCOMPARE(facts_.persons, Size);
        QCOMPARE(int(persons_.size()), Size);
        QSet<QString> keys;
        for (const Person& person : persons_) {
            const QString expected =
                UpperCase(ComposeKey(person.cognome, person.nome,
                                     FormatDisplayDate(person.datanasc), DateRule::AnyLength));
            QCOMPARE(person.idrecord, expected);
            QVERIFY(KeyComplete(person.idrecord));
            keys.insert(person.idrecord);
        }
        QCOMPARE(keys.size(), Size);
    }

    void datesPlacesAndNamesLookReal() {
        int dead = 0;
        int accented = 0;
        for (const Person& person : persons_) {
            QVERIFY2(person.datanasc >= QDate(1700, 1, 1) && person.datanasc <= QDate(2020, 12, 31),
                     qPrintable(person.idrecord));
            QVERIFY(!person.luogonasc.isEmpty() && !person.nazionenasc.isEmpty());
            if (person.datamorte.isValid()) {
                ++dead;
                QVERIFY(person.datamorte > person.datanasc);
                QVERIFY(person.datamorte <= QDate(2020, 12, 31));
                QVERIFY(!person.luogomorte.isEmpty());
            }
            const QString names = person.cognome + person.nome;
            if (std::any_of(names.begin(), names.end(), [](QChar c) { return c.unicode() > 127; }))
                ++accented;
        }
        QCOMPARE(dead, facts_.withDeathDate);
        // About a third with a death date.
        QVERIFY2(dead > Size / 4 && dead < Size * 2 / 5, qPrintable(QString::number(dead)));
        QVERIFY(accented > 0);
    }

    void familiesHaveTheShapesRealOnesHave() {
        int bothParents = 0;
        int oneParent = 0;
        int remarried = 0;
        for (const Person& person : persons_) {
            const std::vector<ParentLink> parents =
                connection_.relazioni().parentsOf(person.idrecord).value();
            if (parents.size() == 2) ++bothParents;
            if (parents.size() == 1) ++oneParent;
            const std::vector<Marriage> marriages = MarriagesOf(connection_, person);
            remarried += marriages.size() > 1 ? 1 : 0;
            if (person.sesso != Male) continue;
            for (const Marriage& marriage : marriages) {
                const QStringList hers = ChildrenOf(connection_, marriage.idmoglie);
                const QStringList theirs = ChildrenOf(connection_, marriage.idmarito);
                const auto shared =
                    std::count_if(theirs.begin(), theirs.end(),
                                  [&](const QString& c) { return hers.contains(c); });
                QVERIFY2(shared <= 8, qPrintable(marriage.idmarito));
            }
        }
        QVERIFY(bothParents > Size / 2);
        QVERIFY(oneParent > 0);
        QVERIFY(remarried > 0);
    }

    void thePlantedFamilyHasTheShapesTheBenchmarksNeed() {
        const std::vector<ParentLink> parents =
            connection_.relazioni().parentsOf(facts_.showcaseKey).value();
        QCOMPARE(int(parents.size()), 2);
        QSet<QString> siblings;
        for (const ParentLink& parent : parents) {
            QCOMPARE(parent.idgenitori,
                     parent.idsesso == Male ? facts_.fatherKey : facts_.motherKey);
            for (const QString& child : ChildrenOf(connection_, parent.idgenitori))
                if (child != facts_.showcaseKey) siblings.insert(child);
        }
        QCOMPARE(siblings.size(), 6);
        QCOMPARE(ChildrenOf(connection_, facts_.motherKey).size(), 5);  // so two are half
        const Person showcase = *connection_.anagrafica().seek(facts_.showcaseKey).value();
        const std::vector<Marriage> marriages = MarriagesOf(connection_, showcase);
        QCOMPARE(int(marriages.size()), 2);
        QCOMPARE(marriages.front().idmarito == facts_.spouseKey ||
                     marriages.front().idmoglie == facts_.spouseKey,
                 true);
        const QStringList children = ChildrenOf(connection_, facts_.showcaseKey);
        QCOMPARE(children.size(), 5);
        QCOMPARE(children.mid(0, 2), facts_.childKeys);

        const Person saver = *connection_.anagrafica().seek(facts_.saveKey).value();
        QCOMPARE(int(connection_.relazioni().parentsOf(saver.idrecord).value().size()), 2);
        QCOMPARE(int(MarriagesOf(connection_, saver).size()), 1);
        QCOMPARE(ChildrenOf(connection_, saver.idrecord).size(), 5);
    }

    void theSearchesFindWhatTheFactsSay() {
        const auto found = [&](const QString& text) {
            return connection_.anagrafica().search(SearchField::Surname, text).value().count();
        };
        QCOMPARE(found(facts_.commonPrefix), facts_.commonCount);
        QVERIFY(facts_.commonCount >= Size / 200 && facts_.commonCount <= Size / 50);
        QCOMPARE(found(facts_.rarePrefix), facts_.rareCount);
        QVERIFY(facts_.rareCount >= 1 && facts_.rareCount < facts_.commonCount / 5);
        QVERIFY(facts_.scanText.startsWith(u'*'));
        QCOMPARE(found(facts_.scanText), facts_.scanCount);
    }

    void theSameSeedGivesTheSameTreeAnotherSeedAnother() {
        const QString again = folder_.filePath(QStringLiteral("again.mdb"));
        const Result<TreeFacts> same = GenerateTree(again, Seed, Size);
        QVERIFY(same.ok());
        QCOMPARE(same.value(), facts_);
        DatabaseConnection connection;
        QVERIFY(connection.open(again).ok());
        QVERIFY(EveryPerson(connection) == persons_);

        const Result<TreeFacts> other =
            GenerateTree(folder_.filePath(QStringLiteral("other.mdb")), Seed + 1, Size);
        QVERIFY(other.ok());
        QVERIFY(other.value().showcaseKey != facts_.showcaseKey);
    }

    // Asked for, that share of the births is known only in part: in Radici's own table, not in
    // datanasc, and those persons have Radici's own keys.
    void birthsKnownInPartWhenAskedFor() {
        const QString path = folder_.filePath(QStringLiteral("in-part.mdb"));
        const Result<TreeFacts> made = GenerateTree(path, Seed, Size, 40);
        QVERIFY(made.ok());
        QVERIFY(made.value().birthsInPart > Size * 35 / 100);
        QVERIFY(made.value().birthsInPart < Size * 45 / 100);
        DatabaseConnection connection;
        QVERIFY(connection.open(path).ok());
        int inPart = 0;
        for (const Person& person : EveryPerson(connection)) {
            const QString birth = connection.datesInPart().ofPerson(person.idrecord).value().birth;
            QCOMPARE(IsOwnKey(person.idrecord), !birth.isEmpty());
            QCOMPARE(person.datanasc.isValid(), birth.isEmpty());
            inPart += birth.isEmpty() ? 0 : 1;
        }
        QCOMPARE(inPart, made.value().birthsInPart);
    }

    void anExistingFileIsNeverOverwritten() {
        const QDateTime before = QFileInfo(path_).lastModified();
        const Result<TreeFacts> refused = GenerateTree(path_, Seed + 2, 100);
        QVERIFY(!refused.ok());
        QVERIFY(refused.status().description().contains(QStringLiteral("esiste già")));
        QCOMPARE(QFileInfo(path_).lastModified(), before);
        QCOMPARE(EveryPerson(connection_).size(), persons_.size());
    }

    void aCachedTreeIsMadeOnceAndThenReused() {
        const QString cache = folder_.filePath(QStringLiteral("cache"));
        const Result<TreeFacts> made = CachedTree(cache, Seed, 500);
        QVERIFY(made.ok());
        const QString tree = CachedTreePath(cache, Seed, 500);
        const QDateTime madeAt = QFileInfo(tree).lastModified();
        QTest::qWait(20);
        const Result<TreeFacts> reused = CachedTree(cache, Seed, 500);
        QVERIFY(reused.ok());
        QCOMPARE(reused.value(), made.value());
        QCOMPARE(QFileInfo(tree).lastModified(), madeAt);
        QCOMPARE(QDir(cache).entryList(QDir::Files).size(), 2);  // the tree and its facts
    }

private:
    QTemporaryDir folder_;
    QString path_;
    TreeFacts facts_;
    DatabaseConnection connection_;
    std::vector<Person> persons_;
};

}  // namespace radici::bench

QTEST_MAIN(radici::bench::TreeGeneratorTest)
#include "TreeGeneratorTest.moc"
