#include "ToolRun.h"
#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PersonKey.h"
#include "tools/DatabaseTool.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <map>

using namespace radici;

namespace {

bool IsOneLine(const QString& text) { return text.count(u'\n') == 1 && text.endsWith(u'\n'); }

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<Person> AllPersons(const DatabaseConnection& connection) {
    Result<SearchResult> found = connection.anagrafica().search(SearchField::Surname, "*");
    std::vector<Person> persons;
    for (bool more = found.ok() && found.value().moveFirst(); more;
         more = found.value().moveNext()) {
        if (const Result<Person> row = found.value().current(); row.ok()) {
            persons.push_back(row.value());
        }
    }
    return persons;
}

}  // namespace

class DatabaseToolTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void initMakesAnEmptyFileOpenedOnlyWithTheProgramPassword();
    void initWithoutFileMakesRadicidbInTheCurrentFolder();

    void demoHasThreeGenerationsWithHalfSiblings();
    void demoPersonsHaveComposedKeysAndVariedData();
    void demoMarriagesAndLinksJoinPersonsBySex();

    void existingFileIsRefusedAndLeftUnchanged_data();
    void existingFileIsRefusedAndLeftUnchanged();
    void missingFolderFailsWithoutLeavingAFile();
    void badArgumentsFailWithOneLine_data();
    void badArgumentsFailWithOneLine();
    void helpAndVersionSucceed();

private:
    std::vector<ParentLink> parentsOf(const QString& key) const;
    int generationsUpTo(const QString& key) const;

    QTemporaryDir demoFolder_;
    DatabaseConnection demo_;
    std::map<QString, Person> demoPersons_;  // by key
};

void DatabaseToolTest::initTestCase() {
    const QString path = demoFolder_.filePath("demo.mdb");
    const ToolRun run = RunTool({"demo", path});
    QCOMPARE(run.exitCode, ToolSucceeded);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QVERIFY(IsOneLine(run.out) && run.out.contains(path));

    const Status opened = demo_.open(path);
    QVERIFY2(opened.ok(), qPrintable(opened.description()));
    for (const Person& person : AllPersons(demo_)) demoPersons_[person.idrecord] = person;
}

std::vector<ParentLink> DatabaseToolTest::parentsOf(const QString& key) const {
    const Result<std::vector<ParentLink>> parents = demo_.relazioni().parentsOf(key);
    return parents.ok() ? parents.value() : std::vector<ParentLink>{};
}

int DatabaseToolTest::generationsUpTo(const QString& key) const {
    int above = 0;
    for (const ParentLink& link : parentsOf(key)) {
        above = std::max(above, generationsUpTo(link.idgenitori));
    }
    return above + 1;
}

void DatabaseToolTest::initMakesAnEmptyFileOpenedOnlyWithTheProgramPassword() {
    QTemporaryDir folder;
    const QString path = folder.filePath("nuovo.mdb");
    const ToolRun run = RunTool({"init", path});
    QCOMPARE(run.exitCode, ToolSucceeded);
    QVERIFY(run.err.isEmpty() && IsOneLine(run.out));

    DatabaseConnection connection;
    const Status opened = connection.open(path);
    QVERIFY2(opened.ok(), qPrintable(opened.description()));
    QVERIFY(AllPersons(connection).empty());
    QVERIFY(!FileBytes(path).contains("SQLite format 3"));

    for (const QString& password : {QString(), QStringLiteral("sbagliata")}) {
        const Result<Database> refused =
            Database::open(path, password, Database::Mode::OpenExisting);
        QVERIFY2(!refused.ok(), qPrintable(password));
        QCOMPARE(refused.status().number(), EngineError::PasswordRefused);
    }
}

void DatabaseToolTest::initWithoutFileMakesRadicidbInTheCurrentFolder() {
    QTemporaryDir folder;
    const ToolRun run = RunTool({"init"}, folder.path());
    QCOMPARE(run.exitCode, ToolSucceeded);
    const QString path = folder.filePath(DatabaseConnection::FileName);
    QVERIFY(run.out.contains(path));
    DatabaseConnection connection;
    QVERIFY(connection.open(path).ok());
}

void DatabaseToolTest::demoHasThreeGenerationsWithHalfSiblings() {
    QVERIFY(demoPersons_.size() >= 15);
    int generations = 0;
    for (const auto& [key, person] : demoPersons_) {
        generations = std::max(generations, generationsUpTo(key));
    }
    QVERIFY(generations >= 3);

    // A man whose children have two different mothers, both married to him.
    bool remarriedFather = false;
    for (const auto& [key, person] : demoPersons_) {
        const Result<std::vector<ParentLink>> children = demo_.relazioni().childrenOf(key);
        QVERIFY(children.ok());
        QSet<QString> mothers;
        for (const ParentLink& child : children.value()) {
            for (const ParentLink& parent : parentsOf(child.idfigli)) {
                if (parent.idsesso == Female) mothers.insert(parent.idgenitori);
            }
        }
        remarriedFather = remarriedFather ||
                          (person.sesso == Male && mothers.size() >= 2 &&
                           std::all_of(mothers.begin(), mothers.end(), [&](const QString& wife) {
                               const Result<bool> married = demo_.matrimoni().contains(key, wife);
                               return married.ok() && married.value();
                           }));
    }
    QVERIFY(remarriedFather);
}

void DatabaseToolTest::demoPersonsHaveComposedKeysAndVariedData() {
    QSet<QString> names;
    int withDeathDate = 0;
    for (const auto& [key, person] : demoPersons_) {
        QCOMPARE(key, ComposeKey(person.cognome, person.nome, FormatDisplayDate(person.datanasc),
                                 DateRule::ExactlyTenCharacters)
                          .toUpper());
        QVERIFY2(KeyComplete(key), qPrintable(key));
        const Result<std::optional<Person>> sought = demo_.anagrafica().seek(key);
        QVERIFY(sought.ok() && sought.value() == person);
        names << person.cognome << person.nome;
        withDeathDate += person.datamorte.isValid() ? 1 : 0;
    }
    QVERIFY(names.contains(QStringLiteral("NICOLÒ")));
    QVERIFY(names.contains(QStringLiteral("D'ANGELO")));
    QVERIFY(withDeathDate > 0);
    QVERIFY(withDeathDate < static_cast<int>(demoPersons_.size()));
}

void DatabaseToolTest::demoMarriagesAndLinksJoinPersonsBySex() {
    int dated = 0;
    int undated = 0;
    for (const auto& [key, person] : demoPersons_) {
        const Result<std::vector<Marriage>> marriages = demo_.matrimoni().ofHusband(key);
        QVERIFY(marriages.ok());
        for (const Marriage& marriage : marriages.value()) {
            QCOMPARE(person.sesso, Male);
            QVERIFY(demoPersons_.count(marriage.idmoglie) == 1);
            QCOMPARE(demoPersons_.at(marriage.idmoglie).sesso, Female);
            (marriage.data.isValid() ? dated : undated) += 1;
        }
        QSet<SexCode> parentSexes;
        for (const ParentLink& link : parentsOf(key)) {
            QVERIFY2(demoPersons_.count(link.idgenitori) == 1, qPrintable(link.idgenitori));
            QCOMPARE(link.idsesso, demoPersons_.at(link.idgenitori).sesso);
            parentSexes << link.idsesso;
        }
        QCOMPARE(parentSexes.size(), static_cast<qsizetype>(parentsOf(key).size()));
    }
    QVERIFY(dated > 0);
    QVERIFY(undated > 0);
}

void DatabaseToolTest::existingFileIsRefusedAndLeftUnchanged_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("init") << "init";
    QTest::newRow("demo") << "demo";
}

void DatabaseToolTest::existingFileIsRefusedAndLeftUnchanged() {
    QFETCH(QString, command);
    QTemporaryDir folder;
    const QString path = folder.filePath(DatabaseConnection::FileName);
    const QByteArray precious = "un albero raccolto in trent'anni";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(precious) == precious.size());
    }

    const ToolRun run = RunTool({command, path});
    QCOMPARE(run.exitCode, ToolFailed);
    QVERIFY(run.out.isEmpty());
    QVERIFY(IsOneLine(run.err));
    QVERIFY(run.err.contains(path) && run.err.contains(QStringLiteral("esiste già")));
    QCOMPARE(FileBytes(path), precious);
}

void DatabaseToolTest::missingFolderFailsWithoutLeavingAFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath("manca/radicidb.mdb");
    const ToolRun run = RunTool({"demo", path});
    QCOMPARE(run.exitCode, ToolFailed);
    QVERIFY(IsOneLine(run.err) && run.err.contains(path));
    QVERIFY(!QFile::exists(path));
}

void DatabaseToolTest::badArgumentsFailWithOneLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"crea"};
    QTest::newRow("command in capitals") << QStringList{"INIT"};
    QTest::newRow("init with two files") << QStringList{"init", "a.mdb", "b.mdb"};
    QTest::newRow("demo with two files") << QStringList{"demo", "a.mdb", "b.mdb"};
    QTest::newRow("unknown option") << QStringList{"--forza", "init"};
    QTest::newRow("empty file name") << QStringList{"init", ""};
}

void DatabaseToolTest::badArgumentsFailWithOneLine() {
    QFETCH(QStringList, arguments);
    QTemporaryDir folder;
    const ToolRun run = RunTool(arguments, folder.path());
    QCOMPARE(run.exitCode, ToolMisused);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(IsOneLine(run.err) && run.err.startsWith(QStringLiteral("radici-db: ")),
             qPrintable(run.err));
    QVERIFY(QDir(folder.path()).isEmpty());
}

void DatabaseToolTest::helpAndVersionSucceed() {
    const ToolRun help = RunTool({"--help"});
    QCOMPARE(help.exitCode, ToolSucceeded);
    for (const char* word : {"init", "demo", "radicidb.mdb", "--version"}) {
        QVERIFY2(help.out.contains(QLatin1String(word)), word);
    }

    const ToolRun version = RunTool({"--version"});
    QCOMPARE(version.exitCode, ToolSucceeded);
    QVERIFY2(QRegularExpression(QStringLiteral("^radici-db \\d+\\.\\d+\\.\\d+\n$"))
                 .match(version.out)
                 .hasMatch(),
             qPrintable(version.out));
}

QTEST_MAIN(DatabaseToolTest)
#include "DatabaseToolTest.moc"
