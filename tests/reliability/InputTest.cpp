// Whatever a user types or pastes: the boxes keep their length limits with accented letters,
// emoji and pasted lines, half a character never reaches the file, and names with apostrophes,
// quotes and SQL words are stored and found as typed.
#include "Session.h"
#include "store/PersonKey.h"

#include <QLineEdit>
#include <QTest>

namespace radici {
namespace {

const QString Emoji = QString::fromUtf8("😀");

bool Whole(const QString& text) { return QStringView(text).isValidUtf16(); }

QString Repeated(const QString& text, int times) { return text.repeated(times); }

void Empty(QWidget& window, const QString& box) {
    qobject_cast<QLineEdit*>(&Control(window, box))->clear();
}

// In the registry window, browsing: creates the person and returns the key it gets.
QString Create(QWidget& registry, const QString& surname, const QString& givenName) {
    Click(registry, QStringLiteral("Command5"));
    Type(registry, QStringLiteral("Text9"), surname);
    Type(registry, QStringLiteral("Text2"), givenName);
    Type(registry, QStringLiteral("Text3"), QStringLiteral("01/01/1950"));
    const QString key = UpperCase(Shown(registry, QStringLiteral("Label20")));
    Click(registry, QStringLiteral("Command6"));
    return key;
}

void SearchBy(QWidget& registry, const QString& option, const QString& text) {
    Click(registry, option);
    Search(registry, text);
}

}  // namespace

class InputTest : public QObject {
    Q_OBJECT

private slots:
    void boxesKeepTheirLimits_data();
    void boxesKeepTheirLimits();
    void halvesOfCharactersNeverReachTheFile();
    void pastedLinesBecomeOneLine();
    void namesAreStoredAndFoundAsTyped_data();
    void namesAreStoredAndFoundAsTyped();
};

void InputTest::boxesKeepTheirLimits_data() {
    QTest::addColumn<bool>("relations");  // the box of the relations window, else the registry's
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("limit");
    const QList<std::pair<const char*, int>> registryBoxes = {
        {"Text9", 20}, {"Text2", 30}, {"Text3", 10}, {"Text4", 20},
        {"Text5", 20}, {"Text8", 10}, {"Text7", 20}, {"Text6", 20}};
    for (const auto& [box, limit] : registryBoxes)
        QTest::addRow("registry %s", box) << false << QString::fromLatin1(box) << limit;
    QTest::newRow("relations Text9") << true << QStringLiteral("Text9") << 10;
}

// The limit counts what the user sees as letters for accented ones; an emoji that no longer
// fits, typed or pasted, is left out whole.
void InputTest::boxesKeepTheirLimits() {
    QFETCH(bool, relations);
    QFETCH(QString, box);
    QFETCH(int, limit);
    TestDatabase database;
    const Family family(database);
    Session session(database.path());
    QWidget* window = &session.registry;
    if (relations) {
        window = &session.relations;
        session.relations.show();
        ChooseWith(session, QStringLiteral("Command6"), QStringLiteral("ROSSI"));
    } else {
        session.registry.show();
        Click(session.registry, QStringLiteral("Command5"));
    }
    const auto shown = [&] { return Shown(*window, box); };

    Type(*window, box, Repeated(QStringLiteral("È"), limit + 3));
    QCOMPARE(shown(), Repeated(QStringLiteral("È"), limit));

    Empty(*window, box);
    Type(*window, box, Repeated(QStringLiteral("è"), limit - 1) + Emoji);
    QCOMPARE(shown(), Repeated(QStringLiteral("è"), limit - 1));

    Empty(*window, box);
    Paste(*window, box, Repeated(QStringLiteral("A"), limit - 1) + Emoji + QStringLiteral("B"));
    QCOMPARE(shown(), Repeated(QStringLiteral("A"), limit - 1));

    Empty(*window, box);
    Paste(*window, box, Repeated(Emoji, limit));
    QCOMPARE(shown(), Repeated(Emoji, limit / 2));
    QVERIFY(Whole(shown()));
}

void InputTest::halvesOfCharactersNeverReachTheFile() {
    TestDatabase database;
    Session session(database.path());
    QWidget& registry = session.registry;
    registry.show();

    // Nineteen letters and an emoji that does not fit in the surname's twenty.
    const QString cut =
        Create(registry, QStringLiteral("Abcdefghijklmnopqrs") + Emoji, QStringLiteral("Gino"));
    // An emoji that fits, at the start of the surname and so in the key.
    const QString whole = Create(registry, Emoji + QStringLiteral("Galli"), QStringLiteral("Gino"));
    QVERIFY(session.toolkit.texts().isEmpty());

    QCOMPARE(whole, Emoji + QStringLiteral("GGIN01/01/1950"));
    QVERIFY(KeyComplete(whole));
    const std::optional<Person> withEmoji = database.person(whole);
    QVERIFY(withEmoji);
    QCOMPARE(withEmoji->cognome, Emoji + QStringLiteral("GALLI"));
    const std::optional<Person> cutOff = database.person(cut);
    QVERIFY(cutOff);
    QCOMPARE(cutOff->cognome, QStringLiteral("ABCDEFGHIJKLMNOPQRS"));

    Search(registry, Emoji);
    QCOMPARE(Shown(registry, QStringLiteral("Label22")), Emoji + QStringLiteral("GALLI"));
}

// A name or a place is one line, whatever the clipboard held.
void InputTest::pastedLinesBecomeOneLine() {
    TestDatabase database;
    Session session(database.path());
    QWidget& registry = session.registry;
    registry.show();
    Click(registry, QStringLiteral("Command5"));
    Paste(registry, QStringLiteral("Text9"), QStringLiteral("Rossi\nBianchi"));
    Paste(registry, QStringLiteral("Text2"), QStringLiteral("Anna\tMaria"));
    Type(registry, QStringLiteral("Text3"), QStringLiteral("01/01/1950"));
    Paste(registry, QStringLiteral("Text4"), QStringLiteral("Roma\r\nItalia"));
    QCOMPARE(Shown(registry, QStringLiteral("Text9")), QStringLiteral("Rossi Bianchi"));
    Click(registry, QStringLiteral("Command6"));

    const std::optional<Person> stored = database.person(QStringLiteral("ROSANN01/01/1950"));
    QVERIFY(stored);
    QCOMPARE(stored->cognome, QStringLiteral("ROSSI BIANCHI"));
    QCOMPARE(stored->nome, QStringLiteral("ANNA MARIA"));
    QCOMPARE(stored->luogonasc, QStringLiteral("ROMA  ITALIA"));
    Search(registry, QStringLiteral("rossi b"));
    QCOMPARE(Shown(registry, QStringLiteral("Label22")), QStringLiteral("ROSSI BIANCHI"));
}

void InputTest::namesAreStoredAndFoundAsTyped_data() {
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("givenName");
    QTest::addColumn<QString>("decoy");  // a surname the search must not find
    QTest::newRow("apostrophe") << "D'Angelo"
                                << "Lucrezia"
                                << "DXANGELO";
    QTest::newRow("double quotes") << "O\"Brien\""
                                   << "Sean \"il rosso\""
                                   << "O";
    QTest::newRow("statement in quotes") << "x\" or \"1\"=\"1"
                                         << "'); drop table anagrafica;--"
                                         << "XY";
    QTest::newRow("keywords") << "Select"
                              << "From Where Order By"
                              << "SELEC";
    QTest::newRow("like wildcards") << "100%_"
                                    << "Per_Cento%"
                                    << "1000X";
    QTest::newRow("accents") << "Nicolò"
                             << "Zoë Ærø"
                             << "NICOLO";
}

void InputTest::namesAreStoredAndFoundAsTyped() {
    QFETCH(QString, surname);
    QFETCH(QString, givenName);
    QFETCH(QString, decoy);
    TestDatabase database;
    const Family family(database);
    database.addPerson(decoy, givenName.toUpper(), QStringLiteral("02/02/1902"));
    Session session(database.path());
    QWidget& registry = session.registry;
    registry.show();

    const QString key = Create(registry, surname, givenName);
    QVERIFY(session.toolkit.texts().isEmpty());
    const std::optional<Person> stored = database.person(key);
    QVERIFY(stored);
    QCOMPARE(stored->cognome, UpperCase(surname));
    QCOMPARE(stored->nome, UpperCase(givenName));
    QCOMPARE(database.personCount(), 7);

    SearchBy(registry, QStringLiteral("Option1_0"), surname);
    QCOMPARE(Shown(registry, QStringLiteral("Label22")), UpperCase(surname));
    QCOMPARE(Shown(registry, QStringLiteral("Label15")), QStringLiteral("1/1"));
    SearchBy(registry, QStringLiteral("Option1_1"), givenName.toLower());
    QCOMPARE(Shown(registry, QStringLiteral("Label23")), UpperCase(givenName));
    QCOMPARE(Shown(registry, QStringLiteral("Label15")), QStringLiteral("1/2"));
    QVERIFY(session.toolkit.texts().isEmpty());
}

}  // namespace radici

QTEST_MAIN(radici::InputTest)
#include "InputTest.moc"
