// A file named radicidb.mdb that is damaged or not a database of ours: the program starts, says
// at once what is wrong (a missing file stays silent: the menu explains it), and every menu item
// and window copes afterwards.
#include "Advice.h"
#include "RegistryDriver.h"
#include "Session.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "store/Schema.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace radici {
namespace {

enum class Damage {
    Missing,
    Empty,
    TruncatedToHalf,
    LastByteMissing,
    RandomBytes,
    PlainSqlite,
    OtherPassword,
    Folder,
    MissingTable,
    ScrambledPages
};

// The windows' own texts, which need no advice: questions, and reports the user can act on.
const QStringList WindowTexts = {"Attenzione...", "Nessun dato disponibile",
                                 "Errore di lettura del record", "Non ci sono dati sufficienti",
                                 "Si è verificato un errore"};

// The program as main() builds it, with the scripted toolkit, on the file at the path.
struct Program {
    explicit Program(const QString& path) : context(toolkit, path), window(context, platform) {}

    void choose(const QString& actionName) { window.findChild<QAction*>(actionName)->trigger(); }

    ScriptedToolkit toolkit;
    HostSystemInfo platform;
    AppContext context;
    MainWindow window;
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray RandomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20240611);
    for (char& byte : bytes) byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

// A good file with the family and enough persons to fill many pages, made once.
const QByteArray& GoodFile() {
    static const QByteArray good = [] {
        TestDatabase database;
        const Family family(database);
        database.execute(QStringLiteral("begin"));
        for (int person = 0; person < 300; ++person)
            database.addPerson(
                QStringLiteral("PERSONA"), QStringLiteral("N%1").arg(person, 3, 10, QChar(u'0')),
                QDate(1900, 1, 1).addDays(person).toString(QStringLiteral("dd/MM/yyyy")));
        database.execute(QStringLiteral("commit"));
        return Contents(database.path());
    }();
    return good;
}

void MadeWithPassword(const QString& path, const QString& password) {
    Result<Database> made = Database::open(path, password, Database::Mode::CreateNew);
    if (!made.ok() || !CreateSchema(made.value()).ok()) qFatal("cannot make %s", qPrintable(path));
}

void MakeFile(Damage damage, const QString& path) {
    const QByteArray& good = GoodFile();
    switch (damage) {
        case Damage::Missing:
            break;
        case Damage::Empty:
            Write(path, {});
            break;
        case Damage::TruncatedToHalf:
            Write(path, good.left(good.size() / 2));
            break;
        case Damage::LastByteMissing:
            Write(path, good.chopped(1));
            break;
        case Damage::RandomBytes:
            Write(path, RandomBytes(good.size()));
            break;
        case Damage::PlainSqlite:
            MadeWithPassword(path, QString());
            break;
        case Damage::OtherPassword:
            MadeWithPassword(path, QStringLiteral("altra"));
            break;
        case Damage::Folder:
            QDir().mkpath(path);
            break;
        case Damage::MissingTable: {
            TestDatabase database;
            database.execute(QStringLiteral("drop table matrimoni"));
            Write(path, Contents(database.path()));
            break;
        }
        case Damage::ScrambledPages: {
            // Every third page after the first few, whatever the page size: the file opens, and
            // reading or writing much of it meets a damaged page.
            QByteArray scrambled = good;
            constexpr qsizetype page = 1024;
            for (qsizetype at = 3 * page; at + page <= scrambled.size(); at += 3 * page)
                scrambled.replace(at, page, RandomBytes(page));
            Write(path, scrambled);
            break;
        }
    }
}

// Clicks the button and chooses, in the registry window it opens, the person that a search for
// everybody shows after that many ">" clicks.
void ChooseAnyone(Program& program, QWidget& relations, const QString& button, int next) {
    if (!Control(relations, button).isEnabled()) return;  // nobody shown: the frames are off
    program.toolkit.onNextModal(ChooseInRegistry(QStringLiteral("*"), next));
    Click(relations, button);
}

// In the registry window: corrects the first person found, creates one, chooses the first.
void UseRegistry(QDialog& registry) {
    Search(registry, QStringLiteral("*"));
    Click(registry, QStringLiteral("Command3"));
    Type(registry, QStringLiteral("Text4"), QStringLiteral("Roma"));
    Click(registry, QStringLiteral("Command8"));
    Click(registry, QStringLiteral("Command7"));
    Click(registry, QStringLiteral("Command5"));
    Type(registry, QStringLiteral("Text9"), QStringLiteral("Galli"));
    Type(registry, QStringLiteral("Text2"), QStringLiteral("Gino"));
    Type(registry, QStringLiteral("Text3"), QStringLiteral("01/01/1990"));
    Click(registry, QStringLiteral("Command6"));
    Click(registry, QStringLiteral("Command7"));
    Search(registry, QStringLiteral("*"));
    Click(registry, QStringLiteral("Command4"));
}

// Every button of the relations window, with persons chosen in the registry window: parents,
// a marriage and children added and saved, then removed, then the person deleted.
void UseRelations(Program& program, QDialog& relations) {
    program.toolkit.onNextModal(UseRegistry);
    Click(relations, QStringLiteral("Command6"));
    ChooseAnyone(program, relations, QStringLiteral("Command1"), 1);
    ChooseAnyone(program, relations, QStringLiteral("Command2"), 2);
    ChooseAnyone(program, relations, QStringLiteral("Command3"), 3);
    Type(relations, QStringLiteral("Text9"), QStringLiteral("01/01/1970"));
    Click(relations, QStringLiteral("Command10"));
    ChooseAnyone(program, relations, QStringLiteral("Command9"), 4);
    ChooseAnyone(program, relations, QStringLiteral("Command12"), 0);
    Click(relations, QStringLiteral("Command4"));

    ChooseAnyone(program, relations, QStringLiteral("Command6"), 0);
    for (const auto& [list, remove] : {std::pair{"List1", "Command11"}, {"List4", "Command7"}}) {
        if (!Rows(relations, QString::fromLatin1(list)).isEmpty())
            ClickRow(relations, QString::fromLatin1(list), 0);
        program.toolkit.answer(true);
        Click(relations, QString::fromLatin1(remove));
    }
    program.toolkit.answer(true);
    program.toolkit.answer(true);
    Click(relations, QStringLiteral("Command5"));
}

bool ExplainsItself(const QString& message) {
    for (const QString& text : WindowTexts)
        if (message.startsWith(text)) return true;
    return GivesAdvice(message);
}

}  // namespace

class DamagedFileTest : public QObject {
    Q_OBJECT

private slots:
    void programStartsSaysWhatIsWrongAndCopes_data();
    void programStartsSaysWhatIsWrongAndCopes();
};

void DamagedFileTest::programStartsSaysWhatIsWrongAndCopes_data() {
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("reported");  // the number of the message at start; 0 for none
    QTest::newRow("missing") << Damage::Missing << false << 0;
    QTest::newRow("empty") << Damage::Empty << false << 3078;
    QTest::newRow("truncated to half") << Damage::TruncatedToHalf << false << 11;
    QTest::newRow("last byte missing") << Damage::LastByteMissing << true << 0;
    QTest::newRow("random bytes") << Damage::RandomBytes << false << 3031;
    QTest::newRow("plain SQLite") << Damage::PlainSqlite << false << 3031;
    QTest::newRow("other password") << Damage::OtherPassword << false << 3031;
    QTest::newRow("a folder") << Damage::Folder << false << 14;
    QTest::newRow("missing table") << Damage::MissingTable << false << 3078;
    QTest::newRow("scrambled pages") << Damage::ScrambledPages << true << 0;
}

void DamagedFileTest::programStartsSaysWhatIsWrongAndCopes() {
    QFETCH(Damage, damage);
    QFETCH(bool, opens);
    QFETCH(int, reported);
    QTemporaryDir folder;
    const QString path = folder.filePath(DatabaseConnection::FileName);
    MakeFile(damage, path);

    Program program(path);
    QCOMPARE(program.context.connection.isOpen(), opens);
    const QStringList atStart = program.toolkit.texts();
    QCOMPARE(program.toolkit.beeps(), reported ? 1 : 0);
    QCOMPARE(atStart.size(), reported ? 1 : 0);
    if (reported) {
        QVERIFY2(atStart[0].startsWith(QString::number(reported) + u' '), qPrintable(atStart[0]));
        QVERIFY2(GivesAdvice(atStart[0]), qPrintable(atStart[0]));
    }

    program.toolkit.clearMessages();
    if (opens)
        program.toolkit.onNextModal(
            [&program](QDialog& relations) { UseRelations(program, relations); });
    program.choose(QStringLiteral("coll"));
    program.choose(QStringLiteral("informa"));
    QCOMPARE(program.toolkit.modalWindows().contains(QStringLiteral("anagrafica")), opens);
    QCOMPARE(program.toolkit.modalWindows().last(), QStringLiteral("frmAbout"));
    const QStringList messages = program.toolkit.texts();
    if (!opens) {
        // The menu says the database is not open, and why.
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(u"\"radicidb.mdb\""), qPrintable(messages[0]));
        if (reported)
            QVERIFY2(messages[0].contains(atStart[0].section(u' ', 1)), qPrintable(messages[0]));
    }
    for (const QString& message : messages) QVERIFY2(ExplainsItself(message), qPrintable(message));
    QVERIFY(program.window.close());
    QVERIFY(!program.context.connection.isOpen());
}

}  // namespace radici

QTEST_MAIN(radici::DamagedFileTest)
#include "DamagedFileTest.moc"
