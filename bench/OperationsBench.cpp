// bench-operations: what a user waits for, timed through the program's own windows (offscreen)
// and store on a generated tree, each beside its floor: the same reads and writes made straight
// through the SQLCipher C API.
#include "BenchSupport.h"
#include "Floor.h"
#include "ScriptedToolkit.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "store/Dates.h"
#include "store/PersonKey.h"
#include "ui/AppContext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <unordered_set>

namespace radici::bench {
namespace {

using benchmark::State;

const std::string FloorPassword = DatabaseConnection::Password.toStdString();

#define PERSON_VALUES "?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10"

std::string Utf8(const QString& text) { return text.toStdString(); }

// What every benchmark shares: a working copy of the tree (the writes must not touch the cached
// one), the program's windows on it, and a floor connection of its own.
struct Workbench {
    TreeFacts facts;
    QString path;
    ScriptedToolkit toolkit;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<RegistryWindow> registry;
    std::unique_ptr<RelationsWindow> relations;
    std::unique_ptr<FloorDatabase> floor;
    SexCode spouseSex = Female;
    QString crowdedFather;  // a father of CrowdedFamily children
    QString crowdedChild;   // one of them, with all the others as brothers and sisters
    int throwaways = 0;     // persons made for one benchmark step, born from 1 January 2100 on

    DatabaseConnection& connection() const { return context->connection; }
    // A birth date no generated person has, so keys made from it are always free.
    QDate nextThrowawayBirth() { return QDate(2100, 1, 1).addDays(throwaways++); }
};

QAbstractButton& Button(QWidget& window, const char* name) {
    return *window.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

// Near the left edge: a radio button wider than its text ignores a click in its centre.
void Click(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, button.height() / 2));
}

void Click(QWidget& window, const char* name) { Click(Button(window, name)); }

QString Caption(const QWidget& window, const char* name) {
    return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

int Rows(const QWidget& window, const char* name) {
    return window.findChild<QListWidget*>(QString::fromLatin1(name))->count();
}

void Type(QWidget& window, const char* name, const QString& text) {
    window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
}

// Paints what changed, as the event loop's next turn does.
void Paint() { QCoreApplication::processEvents(); }

// The program's side of a window figure. The time is the program's own work: the handler of a
// clicked button, until the window's controls hold the result. Qt's painting is
// timed apart and reported as the counter paint_ms: what follows on the event loop's next turn
// and, for a click, the button's own pressed and released looks, which a mouse click repaints at
// once. Steps outside click() and choose() are not timed at all.
class WindowSteps {
public:
    explicit WindowSteps(State& state) : state_(state) {}
    WindowSteps(const WindowSteps&) = delete;
    WindowSteps& operator=(const WindowSteps&) = delete;
    ~WindowSteps() {
        state_.counters["paint_ms"] =
            benchmark::Counter(painting_.count() * 1000, benchmark::Counter::kAvgIterations);
    }

    // A mouse click on the button: the button emits released just before clicked, whose
    // handler is the program's work.
    void click(QWidget& window, const char* name) {
        QAbstractButton& button = Button(window, name);
        const Clock::time_point start = Clock::now();
        Clock::time_point released = start;
        const QMetaObject::Connection watch = QObject::connect(
            &button, &QAbstractButton::released, [&released] { released = Clock::now(); });
        Click(button);
        QObject::disconnect(watch);
        finish(start, released);
    }

    // The relations window's choose-person button, timed from the moment the registry window
    // hands the key back: what follows is the loading of the person with every relative.
    void choose(Workbench& bench, const QString& key) {
        Clock::time_point handedBack;
        Choose(bench, key, "Command6", [&handedBack] { handedBack = Clock::now(); });
        finish(handedBack, handedBack);
    }

    // The registry window opened by a choose button (the person's, or "Carica..." of a parent)
    // hands the key back at once; it is hidden rather than closed, since closing it without
    // "Seleziona" blanks the key.
    static void Choose(
        Workbench& bench, const QString& key, const char* button = "Command6",
        const std::function<void()>& handedBack = [] {}) {
        bench.toolkit.onNextModal([&bench, key, handedBack](QDialog& registry) {
            registry.hide();
            bench.context->selectedPersonKey.write(key);
            handedBack();
        });
        Click(*bench.relations, button);
    }

private:
    using Clock = std::chrono::steady_clock;

    void finish(Clock::time_point start, Clock::time_point workStart) {
        const Clock::time_point done = Clock::now();
        Paint();
        painting_ += (workStart - start) + (Clock::now() - done);
        state_.SetIterationTime(std::chrono::duration<double>(done - workStart).count());
    }

    State& state_;
    std::chrono::duration<double> painting_{0};
};

void Fail(State& state, const QString& why) { state.SkipWithError(Utf8(why).c_str()); }

bool Stored(const Workbench& bench, const QString& key) {
    const Result<std::optional<Person>> found = bench.connection().anagrafica().seek(key);
    return found.ok() && found.value().has_value();
}

// --- opening -----------------------------------------------------------------------------------

void OpenProgram(State& state, const Workbench& bench) {
    for (auto _ : state) {
        DatabaseConnection connection;
        if (const Status opened = connection.open(bench.path); !opened.ok()) {
            Fail(state, opened.description());
            break;
        }
    }
}

void OpenFloor(State& state, const Workbench& bench) {
    for (auto _ : state) {
        const FloorDatabase database(Utf8(bench.path), FloorPassword);
        if (!database.ok()) {
            Fail(state, QString::fromStdString(database.error()));
            break;
        }
    }
}

// --- searching and browsing --------------------------------------------------------------------

void SearchFor(Workbench& bench, const QString& text) {
    Type(*bench.registry, "Text1", text);
    Click(*bench.registry, "Option1_0");
    Click(*bench.registry, "Command1");
    Paint();
}

bool ShowsFirstOf(const Workbench& bench, int rows) {
    return Caption(*bench.registry, "Label15") == QStringLiteral("1/%1").arg(rows);
}

void SearchProgram(State& state, Workbench& bench, const QString& text, int expected) {
    SearchFor(bench, text);
    WindowSteps steps(state);
    for (auto _ : state) steps.click(*bench.registry, "Command1");
    state.counters["rows"] = expected;
    if (!ShowsFirstOf(bench, expected)) Fail(state, QStringLiteral("first row not shown"));
}

void SearchFloor(State& state, Workbench& bench, const QString& text, int expected) {
    FloorSearch search(bench.floor->handle(), Utf8(text));
    FloorRowReader reader(bench.floor->handle());
    for (auto _ : state) {
        const std::vector<std::int64_t> rows = search.run();
        if (rows.size() != static_cast<std::size_t>(expected)) {
            Fail(state, QStringLiteral("%1 rows instead of %2").arg(rows.size()).arg(expected));
            break;
        }
        benchmark::DoNotOptimize(reader.read(rows.front()));
    }
    state.counters["rows"] = expected;
}

// ">" steps through the whole result; back at its end, "<<" (not timed) starts it again.
void NextProgram(State& state, Workbench& bench, const QString& text, int rows) {
    SearchFor(bench, text);
    WindowSteps steps(state);
    int position = 0;
    for (auto _ : state) {
        if (position == rows - 1) {
            Click(*bench.registry, "trova_0");
            Paint();
            position = 0;
        }
        steps.click(*bench.registry, "trova_2");
        ++position;
    }
    if (Caption(*bench.registry, "Label15") != QStringLiteral("%1/%2").arg(position + 1).arg(rows))
        Fail(state, QStringLiteral("wrong row shown"));
}

void NextFloor(State& state, Workbench& bench, const QString& text) {
    const std::vector<std::int64_t> rows = FloorSearch(bench.floor->handle(), Utf8(text)).run();
    FloorRowReader reader(bench.floor->handle());
    std::size_t position = 0;
    for (auto _ : state) {
        position = (position + 1) % rows.size();
        benchmark::DoNotOptimize(reader.read(rows[position]));
    }
}

// ">>" from the first row: "<<" (not timed) goes back before each step.
void LastProgram(State& state, Workbench& bench, const QString& text, int rows) {
    SearchFor(bench, text);
    WindowSteps steps(state);
    for (auto _ : state) {
        Click(*bench.registry, "trova_0");
        Paint();
        steps.click(*bench.registry, "trova_3");
    }
    if (Caption(*bench.registry, "Label15") != QStringLiteral("%1/%1").arg(rows))
        Fail(state, QStringLiteral("last row not shown"));
}

void LastFloor(State& state, Workbench& bench, const QString& text) {
    const std::vector<std::int64_t> rows = FloorSearch(bench.floor->handle(), Utf8(text)).run();
    FloorRowReader reader(bench.floor->handle());
    for (auto _ : state) benchmark::DoNotOptimize(reader.read(rows.back()));
}

// --- showing a person with every relative ------------------------------------------------------

void ShowProgram(State& state, Workbench& bench) {
    WindowSteps steps(state);
    for (auto _ : state) steps.choose(bench, bench.facts.showcaseKey);
    const RelationsWindow& window = *bench.relations;
    const bool complete = !Caption(window, "Label16").isEmpty() &&
                          !Caption(window, "Label19").isEmpty() && Rows(window, "List12") == 6 &&
                          Rows(window, "List1") == 2 && Rows(window, "List4") == 5;
    if (!complete) Fail(state, QStringLiteral("the person was not shown with every relative"));
}

// The reads the relations window makes: the person, each parent with each of the parent's
// children, each spouse, each child.
class FloorRelatives {
public:
    explicit FloorRelatives(sqlite3* db)
        : person_(db, "select " FLOOR_PERSON_COLUMNS " from anagrafica where idrecord = ?1"),
          parents_(db,
                   "select idgenitori, idfigli, idsesso from relazioni where idfigli = ?1 "
                   "order by rowid"),
          children_(db,
                    "select idgenitori, idfigli, idsesso from relazioni where "
                    "idgenitori = ?1 order by rowid"),
          asHusband_(db,
                     "select idmarito, idmoglie, Data from matrimoni where idmarito = ?1 "
                     "order by rowid"),
          asWife_(db,
                  "select idmarito, idmoglie, Data from matrimoni where idmoglie = ?1 "
                  "order by rowid") {}

    void show(const std::string& key) {
        const std::int64_t sex = readPerson(key);
        std::unordered_set<std::string> siblings;
        for (const std::string& parent : keys(parents_, key, 0)) {
            readPerson(parent);
            for (const std::string& child : keys(children_, parent, 1)) {
                readPerson(child);
                if (child != key) siblings.insert(child);
            }
        }
        const bool husband = sex == Male;
        for (const std::string& spouse : keys(husband ? asHusband_ : asWife_, key, husband ? 1 : 0))
            readPerson(spouse);
        std::unordered_set<std::string> children;
        for (const std::string& child : keys(children_, key, 1)) {
            if (children.insert(child).second) readPerson(child);
        }
    }

private:
    std::int64_t readPerson(const std::string& key) {
        std::int64_t sex = -1;
        person_.text(1, key);
        if (person_.row()) {
            benchmark::DoNotOptimize(person_.readAll());
            sex = person_.columnInteger(3);
        }
        person_.rewind();
        return sex;
    }

    static std::vector<std::string> keys(FloorStatement& query, const std::string& key,
                                         int column) {
        std::vector<std::string> found;
        query.text(1, key);
        while (query.row()) {
            benchmark::DoNotOptimize(query.readAll());
            found.emplace_back(query.column(column));
        }
        return found;
    }

    FloorStatement person_;
    FloorStatement parents_;
    FloorStatement children_;
    FloorStatement asHusband_;
    FloorStatement asWife_;
};

void ShowFloor(State& state, Workbench& bench) {
    FloorRelatives relatives(bench.floor->handle());
    const std::string key = Utf8(bench.facts.showcaseKey);
    for (auto _ : state) relatives.show(key);
}

// --- a person with very many children ---------------------------------------------------------

constexpr int CrowdedFamily = 100000;

QString ThrowawayKey(const QString& givenName, const QDate& birth);

// Adds the father and his children in one transaction, under a surname no search of the other
// figures finds.
Status MakeCrowdedFamily(Workbench& bench) {
    DatabaseConnection& connection = bench.connection();
    const auto person = [&](const QString& givenName) {
        Person made;
        made.cognome = QStringLiteral("QQAFFOLLATI");
        made.nome = givenName;
        made.datanasc = bench.nextThrowawayBirth();
        made.idrecord = ThrowawayKey(givenName, made.datanasc);
        return made;
    };
    const Person father = person(QStringLiteral("PADRE"));
    QString child;
    const Status added = connection.runInTransaction([&] {
        Status s = connection.anagrafica().add(father);
        for (int made = 0; s.ok() && made < CrowdedFamily; ++made) {
            const Person son = person(QStringLiteral("FIGLIO"));
            s = connection.anagrafica().add(son);
            if (s.ok()) s = connection.relazioni().upsert({father.idrecord, son.idrecord, Male});
            child = son.idrecord;
        }
        return s;
    });
    bench.crowdedFather = father.idrecord;
    bench.crowdedChild = child;
    return added;
}

// Shows the father with his children, or one child with the others as brothers and sisters.
void CrowdedProgram(State& state, Workbench& bench, bool asFather) {
    const QString key = asFather ? bench.crowdedFather : bench.crowdedChild;
    WindowSteps steps(state);
    for (auto _ : state) steps.choose(bench, key);
    const int shown = Rows(*bench.relations, asFather ? "List4" : "List12");
    if (shown != (asFather ? CrowdedFamily : CrowdedFamily - 1))
        Fail(state, QStringLiteral("%1 relatives shown").arg(shown));
}

void CrowdedFloor(State& state, Workbench& bench, bool asFather) {
    FloorRelatives relatives(bench.floor->handle());
    const std::string key = Utf8(asFather ? bench.crowdedFather : bench.crowdedChild);
    for (auto _ : state) relatives.show(key);
}

// --- creating, saving, deleting ----------------------------------------------------------------

void CreateProgram(State& state, Workbench& bench) {
    RegistryWindow& window = *bench.registry;
    bench.toolkit.texts.clear();
    QStringList created;
    WindowSteps steps(state);
    for (auto _ : state) {
        Click(window, "Command5");
        Type(window, "Text9", QStringLiteral("BENCH"));
        Type(window, "Text2", QStringLiteral("CREA"));
        Type(window, "Text3", FormatDisplayDate(bench.nextThrowawayBirth()));
        created.append(Caption(window, "Label20"));
        Paint();
        steps.click(window, "Command6");
    }
    const bool stored =
        !created.isEmpty() && bench.toolkit.texts.isEmpty() && Stored(bench, created.back());
    if (!stored) Fail(state, QStringLiteral("the person was not created"));
    for (const QString& key : created) bench.connection().deletePersonCascade(key);
}

QString ThrowawayKey(const QString& givenName, const QDate& birth) {
    return UpperCase(ComposeKey(QStringLiteral("BENCH"), givenName, FormatDisplayDate(birth),
                                DateRule::AnyLength));
}

void CreateFloor(State& state, Workbench& bench) {
    FloorDatabase& floor = *bench.floor;
    FloorStatement insert(floor.handle(), "insert into anagrafica (" FLOOR_PERSON_COLUMNS
                                          ") values (" PERSON_VALUES ")");
    FloorStatement remove(floor.handle(), "delete from anagrafica where idrecord = ?1");
    std::vector<std::string> created;
    for (auto _ : state) {
        state.PauseTiming();
        const QDate birth = bench.nextThrowawayBirth();
        created.push_back(Utf8(ThrowawayKey(QStringLiteral("FLOOR"), birth)));
        const std::string born = Utf8(StorageDateText(birth));
        state.ResumeTiming();
        insert.text(1, created.back()).text(2, "BENCH").text(3, "FLOOR").integer(4, Male);
        insert.text(5, born).text(6, "").text(7, "").null(8).text(9, "").text(10, "");
        if (!insert.run()) {
            Fail(state, QStringLiteral("insert refused"));
            break;
        }
    }
    floor.execute("begin immediate");
    for (const std::string& key : created) remove.text(1, key).run();
    floor.execute("commit");
}

void SaveProgram(State& state, Workbench& bench) {
    RelationsWindow& window = *bench.relations;
    bench.toolkit.texts.clear();
    bool shapeSeen = false;
    sqlite3* db = bench.connection().database()->handle();
    const int changesBefore = sqlite3_total_changes(db);
    WindowSteps steps(state);
    for (auto _ : state) {
        WindowSteps::Choose(bench, bench.facts.saveKey);
        // The father chosen again: "Salva" writes his link, and only that.
        WindowSteps::Choose(bench, bench.facts.fatherKey, "Command1");
        Paint();
        shapeSeen = !Caption(window, "Label16").isEmpty() &&
                    !Caption(window, "Label19").isEmpty() && Rows(window, "List1") == 1 &&
                    Rows(window, "List4") == 5;
        steps.click(window, "Command4");
    }
    const bool written = sqlite3_total_changes(db) - changesBefore == state.iterations();
    if (!shapeSeen || !written || !Caption(window, "Label20").isEmpty() ||
        !bench.toolkit.texts.isEmpty())
        Fail(state, QStringLiteral("the father chosen again not saved"));
}

// Rewrites the row of the pair, or adds it when there is none, as the store does.
void Upsert(sqlite3* db, FloorStatement& update, FloorStatement& insert, const std::string& first,
            const std::string& second, const std::function<void(FloorStatement&)>& third) {
    for (FloorStatement* statement : {&update, &insert}) {
        statement->text(1, first).text(2, second);
        third(*statement);
        statement->run();
        if (sqlite3_changes(db) > 0) return;
    }
}

// What "Salva" writes for the father chosen again: his link to the person, in a transaction.
void SaveFloor(State& state, Workbench& bench) {
    sqlite3* db = bench.floor->handle();
    FloorStatement updateLink(
        db, "update relazioni set idsesso = ?3 where idgenitori = ?1 and idfigli = ?2");
    FloorStatement insertLink(
        db, "insert into relazioni (idgenitori, idfigli, idsesso) values (?1, ?2, ?3)");
    const std::string father = Utf8(bench.facts.fatherKey);
    const std::string child = Utf8(bench.facts.saveKey);
    for (auto _ : state) {
        bench.floor->execute("begin immediate");
        Upsert(db, updateLink, insertLink, father, child,
               [](FloorStatement& s) { s.integer(3, Male); });
        bench.floor->execute("commit");
    }
}

// A person with both parents, a marriage and two children, made before each "Cancella".
QString AddThrowawayPerson(Workbench& bench) {
    const TreeFacts& facts = bench.facts;
    Person person;
    person.cognome = QStringLiteral("BENCH");
    person.nome = QStringLiteral("CANCELLA");
    person.datanasc = bench.nextThrowawayBirth();
    person.idrecord = ThrowawayKey(person.nome, person.datanasc);
    person.sesso = bench.spouseSex == Male ? Female : Male;
    const bool husband = person.sesso == Male;
    DatabaseConnection& connection = bench.connection();
    const Status added = connection.runInTransaction([&] {
        Status s = connection.anagrafica().add(person);
        if (s.ok()) s = connection.relazioni().upsert({facts.fatherKey, person.idrecord, Male});
        if (s.ok()) s = connection.relazioni().upsert({facts.motherKey, person.idrecord, Female});
        if (s.ok())
            s = connection.matrimoni().upsert(
                husband ? Marriage{person.idrecord, facts.spouseKey, QDate(2125, 6, 1)}
                        : Marriage{facts.spouseKey, person.idrecord, QDate(2125, 6, 1)});
        for (const QString& child : facts.childKeys)
            if (s.ok()) s = connection.relazioni().upsert({person.idrecord, child, *person.sesso});
        return s;
    });
    return added.ok() ? person.idrecord : QString();
}

void DeleteProgram(State& state, Workbench& bench) {
    RelationsWindow& window = *bench.relations;
    QString key;
    WindowSteps steps(state);
    for (auto _ : state) {
        key = AddThrowawayPerson(bench);
        WindowSteps::Choose(bench, key);
        Paint();
        bench.toolkit.texts.clear();
        bench.toolkit.answer(true);
        bench.toolkit.answer(true);
        steps.click(window, "Command5");
    }
    const bool deleted = !key.isEmpty() && bench.toolkit.texts.size() == 2 && !Stored(bench, key);
    if (!deleted) Fail(state, QStringLiteral("the person was not deleted"));
}

void DeleteFloor(State& state, Workbench& bench) {
    const TreeFacts& facts = bench.facts;
    FloorDatabase& floor = *bench.floor;
    sqlite3* db = floor.handle();
    FloorStatement person(
        db, "insert into anagrafica (" FLOOR_PERSON_COLUMNS ") values (" PERSON_VALUES ")");
    FloorStatement link(db,
                        "insert into relazioni (idgenitori, idfigli, idsesso) values (?1, ?2, ?3)");
    FloorStatement marriage(db,
                            "insert into matrimoni (idmarito, idmoglie, Data) values (?1, ?2, ?3)");
    FloorStatement deletions[] = {
        {db, "delete from relazioni where idfigli = ?1"},
        {db, "delete from relazioni where idgenitori = ?1"},
        {db, "delete from matrimoni where idmarito = ?1"},
        {db, "delete from matrimoni where idmoglie = ?1"},
        {db, "delete from anagrafica where idrecord = ?1"},
    };
    const SexCode sex = bench.spouseSex == Male ? Female : Male;
    for (auto _ : state) {
        state.PauseTiming();
        const QDate birth = bench.nextThrowawayBirth();
        const std::string key = Utf8(ThrowawayKey(QStringLiteral("FLOOR"), birth));
        floor.execute("begin immediate");
        person.text(1, key).text(2, "BENCH").text(3, "FLOOR").integer(4, sex);
        person.text(5, Utf8(StorageDateText(birth))).run();
        link.text(1, Utf8(facts.fatherKey)).text(2, key).integer(3, Male).run();
        link.text(1, Utf8(facts.motherKey)).text(2, key).integer(3, Female).run();
        const std::string spouse = Utf8(facts.spouseKey);
        marriage.text(1, sex == Male ? key : spouse).text(2, sex == Male ? spouse : key);
        marriage.text(3, "2125-06-01").run();
        for (const QString& child : facts.childKeys)
            link.text(1, key).text(2, Utf8(child)).integer(3, sex).run();
        floor.execute("commit");
        state.ResumeTiming();
        floor.execute("begin immediate");
        for (FloorStatement& deletion : deletions) deletion.text(1, key).run();
        floor.execute("commit");
    }
}

// --- the run -----------------------------------------------------------------------------------

// Returns the figures in the order they were registered.
std::vector<std::string> Register(Workbench& bench) {
    const TreeFacts& facts = bench.facts;
    std::vector<std::string> figures{"open"};
    benchmark::RegisterBenchmark("open/program", [&](State& s) {
        OpenProgram(s, bench);
    })->UseRealTime();
    benchmark::RegisterBenchmark("open/floor", [&](State& s) {
        OpenFloor(s, bench);
    })->UseRealTime();
    // The windows' figures time themselves (WindowSteps); the floors take the wall clock.
    const auto pair = [&](const std::string& figure, auto program, auto floor) {
        benchmark::RegisterBenchmark((figure + "/program").c_str(), program)->UseManualTime();
        benchmark::RegisterBenchmark((figure + "/floor").c_str(), floor)->UseRealTime();
        figures.push_back(figure);
    };
    const std::vector<std::tuple<std::string, QString, int>> searches{
        {"search common", facts.commonPrefix, facts.commonCount},
        {"search rare", facts.rarePrefix, facts.rareCount},
        {"search *", facts.scanText, facts.scanCount}};
    for (const auto& search : searches) {
        const QString text = std::get<1>(search);
        const int rows = std::get<2>(search);
        pair(
            std::get<0>(search) + " " + Utf8(text),
            [&, text, rows](State& s) { SearchProgram(s, bench, text, rows); },
            [&, text, rows](State& s) { SearchFloor(s, bench, text, rows); });
    }
    // The largest result of the three.
    const auto largest = *std::max_element(
        searches.begin(), searches.end(),
        [](const auto& a, const auto& b) { return std::get<2>(a) < std::get<2>(b); });
    const QString text = std::get<1>(largest);
    const int rows = std::get<2>(largest);
    pair(
        "> on " + Utf8(text), [&, text, rows](State& s) { NextProgram(s, bench, text, rows); },
        [&, text](State& s) { NextFloor(s, bench, text); });
    pair(
        ">> on " + Utf8(text), [&, text, rows](State& s) { LastProgram(s, bench, text, rows); },
        [&, text](State& s) { LastFloor(s, bench, text); });
    pair(
        "show person", [&](State& s) { ShowProgram(s, bench); },
        [&](State& s) { ShowFloor(s, bench); });
    for (const bool asFather : {true, false}) {
        pair(
            asFather ? "show 100 000 children" : "show 99 999 siblings",
            [&, asFather](State& s) { CrowdedProgram(s, bench, asFather); },
            [&, asFather](State& s) { CrowdedFloor(s, bench, asFather); });
    }
    pair(
        "Crea record", [&](State& s) { CreateProgram(s, bench); },
        [&](State& s) { CreateFloor(s, bench); });
    pair(
        "Salva", [&](State& s) { SaveProgram(s, bench); }, [&](State& s) { SaveFloor(s, bench); });
    pair(
        "Cancella", [&](State& s) { DeleteProgram(s, bench); },
        [&](State& s) { DeleteFloor(s, bench); });
    return figures;
}

// The writes need a copy: the cached tree must stay as it was made.
QString WorkingCopy(const QString& tree) {
    QString copy = tree;
    copy.replace(QStringLiteral("tree-"), QStringLiteral("work-"));
    QFile::remove(copy);
    if (!QFile::copy(tree, copy)) return {};
    return copy;
}

int Run(int argc, char** argv) {
    const BenchTree tree = RequireTree(argc, argv);
    QTextStream err(stderr);
    Workbench bench;
    bench.facts = tree.facts;
    bench.path = WorkingCopy(tree.path);
    bench.context = std::make_unique<AppContext>(bench.toolkit, bench.path);
    if (const Status opened = bench.context->connection.open(bench.path); !opened.ok()) {
        err << "bench-operations: " << opened.description() << '\n';
        return 1;
    }
    bench.floor = std::make_unique<FloorDatabase>(Utf8(bench.path), FloorPassword);
    if (!bench.floor->ok()) {
        err << "bench-operations: " << QString::fromStdString(bench.floor->error()) << '\n';
        return 1;
    }
    if (const auto spouse = bench.connection().anagrafica().seek(bench.facts.spouseKey);
        spouse.ok() && spouse.value())
        bench.spouseSex = spouse.value()->sesso.value_or(Female);
    if (const Status made = MakeCrowdedFamily(bench); !made.ok()) {
        err << "bench-operations: " << made.description() << '\n';
        return 1;
    }
    bench.registry = std::make_unique<RegistryWindow>(*bench.context);
    bench.relations = std::make_unique<RelationsWindow>(*bench.context);
    bench.registry->show();
    bench.relations->show();
    Paint();

    std::vector<std::string> figures = Register(bench);
    const int code =
        RunBenchmarks(argc, argv, "Tree of " + std::to_string(bench.facts.persons) + " persons",
                      std::move(figures));
    bench.relations.reset();
    bench.registry.reset();
    bench.floor.reset();
    bench.context.reset();
    QFile::remove(bench.path);
    return code;
}

}  // namespace
}  // namespace radici::bench

namespace {

// The offscreen platform warns on every change of a window's fixed size (the registry window
// changes its size with its mode); a real display does not, so the warning is left out of the
// times and of the output.
QtMessageHandler qtHandler = nullptr;

void LeaveOutOffscreenSizeWarning(QtMsgType type, const QMessageLogContext& context,
                                  const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (qtHandler) qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(LeaveOutOffscreenSizeWarning);
    QApplication application(argc, argv);
    return radici::bench::Run(argc, argv);
}
