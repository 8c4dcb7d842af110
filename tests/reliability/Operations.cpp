#include "Operations.h"

#include "store/Dates.h"

#include <QLineEdit>
#include <algorithm>

namespace radici {
namespace {

const QString GinoKey = QStringLiteral("GALGIN01/01/1990");
// Places and countries filled to (nearly) their 20 characters, and a death date: the corrected
// row grows.
const QStringList Corrections = {
    QStringLiteral("Roma Capitale Lazio"), QStringLiteral("Repubblica Italiana"),
    QStringLiteral("31/12/2020"), QStringLiteral("Bergamo Alta Lombard"),
    QStringLiteral("Italia Settentrional")};
const QStringList CorrectedBoxes = {QStringLiteral("Text4"), QStringLiteral("Text5"),
                                    QStringLiteral("Text8"), QStringLiteral("Text7"),
                                    QStringLiteral("Text6")};

QStringList ShownIn(QWidget& window, const QStringList& names) {
    QStringList shown;
    for (const QString& name : names) shown.append(Shown(window, name));
    return shown;
}

QStringList RelationsScreen(Session& session) {
    QWidget& window = session.relations;
    return ShownIn(window, {"Label20", "Label24", "Label25", "Label16", "Label19"}) +
           Rows(window, QStringLiteral("List1")) + Rows(window, QStringLiteral("List7")) +
           Rows(window, QStringLiteral("List4"));
}

void ShowMario(Session& session) {
    session.relations.show();
    ChooseWith(session, QStringLiteral("Command6"), QStringLiteral("ROSSI"));
}

void Answer(Session& session, int yesCount) {
    for (int answer = 0; answer < yesCount; ++answer) session.toolkit.answer(true);
}

void Clear(QWidget& window, const QStringList& boxes) {
    for (const QString& box : boxes) qobject_cast<QLineEdit*>(&Control(window, box))->clear();
}

Operation SearchPerson() {
    return {QStringLiteral("search"),
            [](Session& s) {
                s.registry.show();
                Type(s.registry, QStringLiteral("Text1"), QStringLiteral("ROSSI"));
            },
            [](Session& s) { Click(s.registry, QStringLiteral("Command1")); },
            [](Session& s) {
                return ShownIn(s.registry, {"Text1", "Label22", "Label15"});
            },
            [](Session& s, TestDatabase&) {
                return Shown(s.registry, QStringLiteral("Label22")) == QStringLiteral("ROSSI");
            }};
}

Operation CreatePerson() {
    return {QStringLiteral("create"),
            [](Session& s) {
                s.registry.show();
                Click(s.registry, QStringLiteral("Command5"));
                Type(s.registry, QStringLiteral("Text9"), QStringLiteral("Galli"));
                Type(s.registry, QStringLiteral("Text2"), QStringLiteral("Gino"));
                Type(s.registry, QStringLiteral("Text3"), QStringLiteral("01/01/1990"));
                Type(s.registry, QStringLiteral("Text4"), QStringLiteral("Clusone"));
            },
            [](Session& s) { Click(s.registry, QStringLiteral("Command6")); },
            [](Session& s) {
                return ShownIn(s.registry, {"Text9", "Text2", "Text3", "Text4", "Label20"});
            },
            [](Session&, TestDatabase& db) { return db.person(GinoKey).has_value(); }};
}

Operation CorrectPerson(const Family& family) {
    const QString mario = family.mario;
    return {QStringLiteral("correct"),
            [](Session& s) {
                s.registry.show();
                Search(s.registry, QStringLiteral("ROSSI"));
                Click(s.registry, QStringLiteral("Command3"));
                Clear(s.registry, CorrectedBoxes);
                for (qsizetype box = 0; box < CorrectedBoxes.size(); ++box)
                    Type(s.registry, CorrectedBoxes[box], Corrections[box]);
            },
            [](Session& s) { Click(s.registry, QStringLiteral("Command8")); },
            [](Session& s) { return ShownIn(s.registry, CorrectedBoxes + QStringList{"Label20"}); },
            [mario](Session&, TestDatabase& db) {
                const std::optional<Person> stored = db.person(mario);
                return stored && stored->luogonasc == Corrections[0].toUpper();
            }};
}

Operation LoadPerson(const Family& family) {
    const QString mario = family.mario;
    return {QStringLiteral("load"), [](Session& s) { s.relations.show(); },
            [](Session& s) { ChooseWith(s, QStringLiteral("Command6"), QStringLiteral("ROSSI")); },
            RelationsScreen,
            [mario](Session& s, TestDatabase&) {
                return Shown(s.relations, QStringLiteral("Label20")) == mario &&
                       !Rows(s.relations, QStringLiteral("List1")).isEmpty();
            }};
}

Operation SaveParents(const Family& family) {
    const ParentLink father{family.paolo, family.mario, Male};
    return {QStringLiteral("save"),
            [](Session& s) {
                ShowMario(s);
                ChooseWith(s, QStringLiteral("Command1"), QStringLiteral("VERDI"));
                ChooseWith(s, QStringLiteral("Command2"), QStringLiteral("NERI"));
            },
            [](Session& s) { Click(s.relations, QStringLiteral("Command4")); }, RelationsScreen,
            [father](Session&, TestDatabase& db) {
                const std::vector<ParentLink> links = db.links();
                return std::find(links.begin(), links.end(), father) != links.end();
            }};
}

Operation RemoveMarriage() {
    return {QStringLiteral("remove"),
            [](Session& s) {
                ShowMario(s);
                ClickRow(s.relations, QStringLiteral("List1"), 0);
            },
            [](Session& s) {
                Answer(s, 1);
                Click(s.relations, QStringLiteral("Command11"));
            },
            RelationsScreen, [](Session&, TestDatabase& db) { return db.marriages().empty(); }};
}

Operation DeletePerson(const Family& family) {
    const QString mario = family.mario;
    return {QStringLiteral("delete"), ShowMario,
            [](Session& s) {
                Answer(s, 2);
                Click(s.relations, QStringLiteral("Command5"));
            },
            RelationsScreen,
            [mario](Session&, TestDatabase& db) { return !db.person(mario).has_value(); }};
}

QString PersonRow(const Person& person) {
    return QStringList{person.idrecord,
                       person.cognome,
                       person.nome,
                       QString::number(person.sesso),
                       FormatDisplayDate(person.datanasc),
                       person.luogonasc,
                       person.nazionenasc,
                       FormatDisplayDate(person.datamorte),
                       person.luogomorte,
                       person.nazionemorte}
        .join(u'|');
}

}  // namespace

std::vector<Operation> Operations(const Family& family) {
    return {SearchPerson(),      CreatePerson(),   CorrectPerson(family), LoadPerson(family),
            SaveParents(family), RemoveMarriage(), DeletePerson(family)};
}

std::vector<Operation> Writes(const Family& family) {
    return {CreatePerson(), CorrectPerson(family), SaveParents(family), RemoveMarriage(),
            DeletePerson(family)};
}

Operation Named(const std::vector<Operation>& operations, const QString& name) {
    for (const Operation& operation : operations)
        if (operation.name == name) return operation;
    qFatal("no operation %s", qPrintable(name));
}

QStringList FileContents(TestDatabase& database, const Family& family) {
    QStringList rows{QStringLiteral("persons %1").arg(database.personCount())};
    for (const QString& key :
         {family.mario, family.anna, family.luca, family.paolo, family.carla, GinoKey})
        if (const std::optional<Person> person = database.person(key))
            rows.append(PersonRow(*person));
    for (const ParentLink& link : database.links())
        rows.append(
            QStringLiteral("%1>%2:%3").arg(link.idgenitori, link.idfigli).arg(link.idsesso));
    for (const Marriage& marriage : database.marriages())
        rows.append(
            QStringLiteral("%1+%2@%3")
                .arg(marriage.idmarito, marriage.idmoglie, FormatDisplayDate(marriage.data)));
    return rows;
}

}  // namespace radici
