#include "store/DatabaseConnection.h"
#include "store/Dates.h"
#include "store/PersonKey.h"
#include "tools/DatabaseTool.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <map>

using namespace radici;

namespace {

struct ToolRun {
    int exitCode;
    QString out;
    QString err;
};

ToolRun RunTool(QStringList arguments) {
    arguments.prepend(QStringLiteral("radici-db"));
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int exitCode = RunDatabaseTool(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {exitCode, out, err};
}

bool IsOneLine(const QString& text) { return text.count(u'\n') == 1 && text.endsWith(u'\n'); }

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every person of the file, in search order.
std::vector<Person> AllPersons(const DatabaseConnection& connection) {
    Result<SearchResult> found = connection.anagrafica().search(SearchField::Surname, "*");
    if (!found.ok()) return {};
    SearchResult& rows = found.value();
    std::vector<Person> persons;
    for (bool more = rows.moveFirst(); more; more = rows.moveNext()) {
        if (const Result<Person> row = rows.current(); row.ok()) persons.push_back(row.value());
    }
    return persons;
}

// Runs the body with the process's current folder set to the given one.
void InFolder(const QString& folder, const std::function<void()>& body) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    body();
    QDir::setCurrent(previous);
}

}  // namespace

class DatabaseToolTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void initMakesAnEmptyDatabaseOpenedOnlyWithTheProgramPassword();
    void initWithoutFileMakesRadicidbInTheCurrentFolder();

    void demoHasFifteenPersonsOverThreeGenerations();
    void demoHasHalfSiblingsFromARemarriedFather();
    void demoKeysAreComposedFromNamesAndBirthDate();
    void demoKeepsAccentsAndApostrophes();
    void demoHasMarriagesWithAndWithoutDate();
    void demoHasPersonsWithAndWithoutDeathDate();
    void demoLinksNameExistingParentsBySex();

    void existingFileIsRefusedAndLeftUnchanged_data();
    void existingFileIsRefusedAndLeftUnchanged();
    void unwritableFolderFailsWithoutLeavingAFile();

    void badArgumentsFailWithOneLine_data();
    void badArgumentsFailWithOneLine();
    void helpAndVersionSucceed();

private:
    QTemporaryDir demoFolder_;
    DatabaseConnection demo_;
    std::vector<Person> demoPersons_;
    std::map<QString, Person> demoByKey_;

    std::vector<ParentLink> parentsOf(const Person& person) const;
    int generationsUpTo(const Person& person) const;
};

void DatabaseToolTest::initTestCase() {
    const QString path = demoFolder_.filePath("demo.mdb");
    const ToolRun run = RunTool({"demo", path});
    QCOMPARE(run.exitCode, ToolSucceeded);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QVERIFY(IsOneLine(run.out));
    QVERIFY(run.out.contains(path));

    const Status opened = demo_.open(path);
    QVERIFY2(opened.ok(), qPrintable(opened.description()));
    demoPersons_ = AllPersons(demo_);
    for (const Person& person : demoPersons_) demoByKey_[person.idrecord] = person;
}

void DatabaseToolTest::initMakesAnEmptyDatabaseOpenedOnlyWithTheProgramPassword() {
    QTemporaryDir folder;
    const QString path = folder.filePath("nuovo.mdb");
    const ToolRun run = RunTool({"init", path});
    QCOMPARE(run.exitCode, ToolSucceeded);
    QVERIFY(run.err.isEmpty());
    QVERIFY(IsOneLine(run.out));

    DatabaseConnection connection;
    const Status opened = connection.open(path);
    QVERIFY2(opened.ok(), qPrintable(opened.description()));
    QVERIFY(AllPersons(connection).empty());
    QVERIFY(!FileBytes(path).contains("SQLite format 3"));

    for (const QString& password : {QString(), QStringLiteral("sbagliata")}) {
        const Result<Database> refused =
            Database::open(path, password, Database::Mode::OpenExisting);
        QVERIFY(!refused.ok());
        QCOMPARE(refused.status().number(), EngineError::PasswordRefused);
    }
}

void DatabaseToolTest::initWithoutFileMakesRadicidbInTheCurrentFolder() {
    QTemporaryDir folder;
    ToolRun run{};
    InFolder(folder.path(), [&run] { run = RunTool({"init"}); });
    QCOMPARE(run.exitCode, ToolSucceeded);
    const QString path = folder.filePath(DatabaseConnection::FileName);
    QVERIFY(run.out.contains(path));
    DatabaseConnection connection;
    QVERIFY(connection.open(path).ok());
}

std::vector<ParentLink> DatabaseToolTest::parentsOf(const Person& person) const {
    const Result<std::vector<ParentLink>> parents = demo_.relazioni().parentsOf(person.idrecord);
    return parents.ok() ? parents.value() : std::vector<ParentLink>{};
}

int DatabaseToolTest::generationsUpTo(const Person& person) const {
    int above = 0;
    for (const ParentLink& link : parentsOf(person)) {
        const auto parent = demoByKey_.find(link.idgenitori);
        if (parent != demoByKey_.end()) above = std::max(above, generationsUpTo(parent->second));
    }
    return above + 1;
}

void DatabaseToolTest::demoHasFifteenPersonsOverThreeGenerations() {
    QVERIFY(demoPersons_.size() >= 15);
    int generations = 0;
    for (const Person& person : demoPersons_) {
        generations = std::max(generations, generationsUpTo(person));
    }
    QVERIFY(generations >= 3);
}

void DatabaseToolTest::demoHasHalfSiblingsFromARemarriedFather() {
    bool found = false;
    for (const Person& man : demoPersons_) {
        if (man.sesso != Male) continue;
        const Result<std::vector<ParentLink>> children = demo_.relazioni().childrenOf(man.idrecord);
        QVERIFY(children.ok());
        QSet<QString> mothers;
        for (const ParentLink& child : children.value()) {
            const auto childRow = demoByKey_.find(child.idfigli);
            QVERIFY2(childRow != demoByKey_.end(), qPrintable(child.idfigli));
            for (const ParentLink& parent : parentsOf(childRow->second)) {
                if (parent.idsesso == Female) mothers.insert(parent.idgenitori);
            }
        }
        if (mothers.size() < 2) continue;
        for (const QString& mother : mothers) {
            const Result<bool> married = demo_.matrimoni().contains(man.idrecord, mother);
            QVERIFY(married.ok() && married.value());
        }
        found = true;
    }
    QVERIFY2(found, "no man has children from two wives");
}

void DatabaseToolTest::demoKeysAreComposedFromNamesAndBirthDate() {
    for (const Person& person : demoPersons_) {
        QVERIFY2(KeyComplete(person.idrecord), qPrintable(person.idrecord));
        const QString composed =
            ComposeKey(person.cognome, person.nome, FormatDisplayDate(person.datanasc),
                       DateRule::ExactlyTenCharacters)
                .toUpper();
        QCOMPARE(person.idrecord, composed);
        const Result<std::optional<Person>> sought = demo_.anagrafica().seek(person.idrecord);
        QVERIFY(sought.ok() && sought.value().has_value());
        QCOMPARE(*sought.value(), person);
    }
}

void DatabaseToolTest::demoKeepsAccentsAndApostrophes() {
    const auto hasName = [this](const QString& name) {
        return std::any_of(demoPersons_.begin(), demoPersons_.end(), [&name](const Person& p) {
            return p.cognome == name || p.nome == name;
        });
    };
    QVERIFY(hasName(QStringLiteral("NICOLÒ")));
    QVERIFY(hasName(QStringLiteral("D'ANGELO")));
}

void DatabaseToolTest::demoHasMarriagesWithAndWithoutDate() {
    int dated = 0;
    int undated = 0;
    for (const Person& man : demoPersons_) {
        const Result<std::vector<Marriage>> marriages = demo_.matrimoni().ofHusband(man.idrecord);
        QVERIFY(marriages.ok());
        for (const Marriage& marriage : marriages.value()) {
            const auto wife = demoByKey_.find(marriage.idmoglie);
            QVERIFY2(wife != demoByKey_.end(), qPrintable(marriage.idmoglie));
            QCOMPARE(man.sesso, Male);
            QCOMPARE(wife->second.sesso, Female);
            ++(marriage.data.isValid() ? dated : undated);
        }
    }
    QVERIFY(dated > 0);
    QVERIFY(undated > 0);
}

void DatabaseToolTest::demoHasPersonsWithAndWithoutDeathDate() {
    const auto dead = std::count_if(demoPersons_.begin(), demoPersons_.end(),
                                    [](const Person& p) { return p.datamorte.isValid(); });
    QVERIFY(dead > 0);
    QVERIFY(dead < static_cast<long>(demoPersons_.size()));
    for (const Person& person : demoPersons_) {
        QVERIFY(person.datanasc.isValid());
        if (person.datamorte.isValid()) QVERIFY(person.datamorte > person.datanasc);
    }
}

void DatabaseToolTest::demoLinksNameExistingParentsBySex() {
    for (const Person& child : demoPersons_) {
        int fathers = 0;
        int mothers = 0;
        for (const ParentLink& link : parentsOf(child)) {
            const auto parent = demoByKey_.find(link.idgenitori);
            QVERIFY2(parent != demoByKey_.end(), qPrintable(link.idgenitori));
            QCOMPARE(link.idsesso, parent->second.sesso);
            QVERIFY(parent->second.datanasc < child.datanasc);
            ++(link.idsesso == Male ? fathers : mothers);
        }
        QVERIFY(fathers <= 1 && mothers <= 1);
    }
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
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(precious);
    }

    const ToolRun run = RunTool({command, path});
    QCOMPARE(run.exitCode, ToolFailed);
    QVERIFY(run.out.isEmpty());
    QVERIFY(IsOneLine(run.err));
    QVERIFY(run.err.contains(path));
    QVERIFY(run.err.contains(QStringLiteral("esiste già")));
    QCOMPARE(FileBytes(path), precious);
}

void DatabaseToolTest::unwritableFolderFailsWithoutLeavingAFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath("manca/radicidb.mdb");
    const ToolRun run = RunTool({"demo", path});
    QCOMPARE(run.exitCode, ToolFailed);
    QVERIFY(IsOneLine(run.err));
    QVERIFY(run.err.contains(path));
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
    ToolRun run{};
    InFolder(folder.path(), [&] { run = RunTool(arguments); });
    QCOMPARE(run.exitCode, ToolMisused);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(IsOneLine(run.err), qPrintable(run.err));
    QVERIFY(run.err.startsWith(QStringLiteral("radici-db: ")));
    QVERIFY(QDir(folder.path()).isEmpty());
}

void DatabaseToolTest::helpAndVersionSucceed() {
    const ToolRun help = RunTool({"--help"});
    QCOMPARE(help.exitCode, ToolSucceeded);
    QVERIFY(help.err.isEmpty());
    for (const char* word : {"init", "demo", "radicidb.mdb", "--version"}) {
        QVERIFY2(help.out.contains(QLatin1String(word)), word);
    }

    const ToolRun version = RunTool({"--version"});
    QCOMPARE(version.exitCode, ToolSucceeded);
    QCOMPARE(version.out, QStringLiteral("radici-db %1.%2.%3\n")
                              .arg(RADICI_VERSION_MAJOR)
                              .arg(RADICI_VERSION_MINOR)
                              .arg(RADICI_VERSION_PATCH));
}

QTEST_MAIN(DatabaseToolTest)
#include "DatabaseToolTest.moc"
