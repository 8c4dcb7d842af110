#include "RegistryDriver.h"
#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace radici;

namespace {

struct Member {
    char letter;
    const char *surname, *name, *born, *died;
    SexCode sex;
};

constexpr Member Cast[] = {
    {'A', "ALFA", "ANNA", "01/01/1980", "", Female},
    {'B', "BIANCHI", "FRANCO", "01/01/1950", "", Male},
    {'C', "CONTI", "MARIA", "02/02/1952", "", Female},
    {'D', "DORIA", "BRUNO", "03/03/1982", "", Male},
    {'E', "ESPOSITO", "CARLO", "04/04/1984", "", Male},
    {'F', "FERRI", "DINO", "05/05/1986", "", Male},
    {'G', "GALLI", "GINO", "06/06/2005", "", Male},
    {'L', "LEONI", "LUCA", "07/07/1978", "04/03/2020", Male},
    {'O', "ORSI", "OLGA", "03/03/1944", "", Female},
};

const QString Refused = QStringLiteral("scrittura rifiutata");

QDate Day(const char* text) { return QDate::fromString(text, "dd/MM/yyyy"); }

// A data row whose columns are all texts.
void AddRow(const char* name, const QStringList& columns) {
    QTestData& row = QTest::newRow(name);
    for (const QString& column : columns) row << column;
}

// A shown relations window over a fresh database holding the cast, each found alone in the
// registry by the initial of the surname: A ALFA ANNA (F), B BIANCHI FRANCO, C CONTI MARIA (F),
// D DORIA BRUNO, E ESPOSITO CARLO, F FERRI DINO, G GALLI GINO, L LEONI LUCA, O ORSI OLGA (F),
// all born in BERGAMO, ITALIA and dying in LUGANO, SVIZZERA; only L has a death date (04/03/2020).
// x and y are keys without a record. Rows are written and read back as "B>A:M" (parent, child,
// idsesso) and "L+A@01/06/2000" (husband, wife, optional date), separated by blanks.
struct RelationsFixture {
    explicit RelationsFixture(const QString& rows = QString()) {
        for (const Member& m : Cast) {
            keys[m.letter] = QString(m.surname).left(3) + QString(m.name).left(3) + m.born;
            db.addPerson({keys[m.letter], m.surname, m.name, m.sex, Day(m.born), "BERGAMO",
                          "ITALIA", Day(m.died), "LUGANO", "SVIZZERA"});
        }
        keys['x'] = "XXXXXX01/01/1900";
        keys['y'] = "YYYYYY02/02/1900";
        for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
            const QString first = key(row[0].toLatin1()), second = key(row[2].toLatin1());
            if (row[1] == '>') db.link(first, second, row.endsWith('F') ? Female : Male);
            if (row[1] == '+') db.marry(first, second, row.section('@', 1));
        }
        const Status opened = context.connection.open(db.path());
        if (!opened.ok()) QTest::qFail(qPrintable(opened.description()), __FILE__, __LINE__);
        // A table lost after opening, so reading it fails.
        for (const QString& row : rows.split(' ', Qt::SkipEmptyParts).filter("unreadable:"))
            db.execute("alter table " + row.section(':', 1) + " rename to gone");
        window.show();
    }

    QString key(char letter) const { return keys.value(letter); }

    // Steps separated by blanks: "yes" answers the next question; "Command1:B" clicks the button
    // and chooses B in the registry it opens ("-" chooses nobody, "!B" chooses B and then deletes
    // B's record); "List3:2" clicks a row; "Text9:5/7/1960" types a date; "Command4" clicks;
    // "close" closes the program's connection; "refuse:delete:matrimoni" makes those writes fail.
    void run(const QString& steps) {
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section(':', 0, 0), argument = step.section(':', 1);
            if (name == "yes") {
                toolkit.answer(true);
            } else if (name == "close") {
                context.connection.close();
            } else if (name == "refuse") {
                db.execute("create trigger refuse before " +
                           QString(argument).replace(':', " on ") + " begin select raise(abort, '" +
                           Refused + "'); end");
            } else if (auto* list = qobject_cast<QListWidget*>(widget(name))) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(argument.toInt())).center());
            } else if (auto* box = qobject_cast<QLineEdit*>(widget(name))) {
                box->clear();
                QTest::keyClicks(box, argument);
            } else {
                if (argument == "-") {
                    toolkit.onNextModal(CancelRegistry());
                } else if (argument.startsWith('!')) {
                    toolkit.onNextModal([this, argument](QDialog& registry) {
                        ChooseInRegistry(argument.mid(1))(registry);
                        db.execute("delete from anagrafica where idrecord = '" +
                                   key(argument[1].toLatin1()) + "'");
                    });
                } else if (!argument.isEmpty()) {
                    toolkit.onNextModal(ChooseInRegistry(argument));
                }
                // Near the left edge: a radio ignores a click in its centre beyond its text.
                QWidget* control = widget(name);
                QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, control->height() / 2));
                if (toolkit.pendingModalSteps() > 0)
                    QTest::qFail("no registry", __FILE__, __LINE__);
            }
        }
    }

    // Cells joined by "|", rows by ", ".
    QString rows(const QStringList& lists) const {
        const auto* first = qobject_cast<QListWidget*>(widget(lists.first()));
        for (const QListWidget* list : first->parentWidget()->findChildren<QListWidget*>()) {
            if (list->count() != first->count()) QTest::qFail("lists apart", __FILE__, __LINE__);
        }
        QStringList rows;
        for (int row = 0; row < first->count(); ++row) {
            QStringList cells;
            for (const QString& name : lists) {
                cells.append(qobject_cast<QListWidget*>(widget(name))->item(row)->text());
            }
            rows.append(cells.join('|'));
        }
        return rows.join(", ");
    }

    // The property of each control, joined by "|".
    QString values(const QStringList& names, const char* property = "text") const {
        QStringList values;
        for (const QString& name : names)
            values.append(widget(name)->property(property).toString());
        return values.join('|');
    }

    // Joined by " / ", a write refused by "refuse" as REFUSED.
    QString messages() const {
        QStringList texts = toolkit.texts();
        for (QString& text : texts) {
            if (text.contains(Refused)) text = "REFUSED";
        }
        return texts.join(" / ");
    }

    // Texts, list rows, options and enabled states.
    QStringList snapshot() const {
        QStringList state;
        for (const QWidget* control : window.findChildren<QWidget*>()) {
            if (control->window() != &window) continue;  // the registry window is a child too
            QStringList value{control->objectName(), control->property("text").toString(),
                              control->property("checked").toString(),
                              QString::number(control->isEnabled())};
            if (const auto* list = qobject_cast<const QListWidget*>(control)) {
                for (int row = 0; row < list->count(); ++row) value.append(list->item(row)->text());
            }
            state.append(value.join('|'));
        }
        return state;
    }

    // Relazioni then matrimoni, in row order.
    QString stored() {
        const auto letter = [this](const QString& key) {
            const char found = keys.key(key.trimmed(), '\0');
            return found == '\0' ? key : QString(QChar::fromLatin1(found));
        };
        QStringList rows;
        for (const ParentLink& link : db.links()) {
            rows.append(letter(link.idgenitori) + '>' + letter(link.idfigli) +
                        (link.idsesso == Male ? ":M" : ":F"));
        }
        for (const Marriage& marriage : db.marriages()) {
            rows.append(letter(marriage.idmarito) + '+' + letter(marriage.idmoglie) +
                        (marriage.data.isNull() ? "" : '@' + marriage.data.toString("dd/MM/yyyy")));
        }
        return rows.join(' ');
    }

    QWidget* widget(const QString& name) const {
        for (QWidget* found : window.findChildren<QWidget*>(name)) {
            if (found->window() == &window) return found;
        }
        QTest::qFail(qPrintable("no control " + name), __FILE__, __LINE__);
        return nullptr;
    }

    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RelationsWindow window{context};
    QMap<char, QString> keys;
};

const QString NotEnoughData = QStringLiteral("Non ci sono dati sufficienti");
const QString NotDuplicable = QStringLiteral("Attenzione... dato non duplicabile");
const QString ReadError = QStringLiteral("Errore di lettura del record");
const QString ConfirmRemoval =
    QStringLiteral("Attenzione....\rSe confermi id dato verrà cancellato dal database");
const QString Asked = QStringLiteral(
    "Attenzione....\rSe confermi verranno cancellati tutti i dati relativi a: ALFA - ANNA");
const QString Sure = Asked + " / " + QStringLiteral("Attenzione....\rSei proprio sicuro?");
const QString Cancelled =
    QStringLiteral("Si è verificato un errore. La procedura è stata annullata");
const QStringList Parents{"Label12", "Label32"};  // the father's and the mother's surnames
const QStringList Siblings{"List11", "List13"};   // surname and type
const QStringList Marriages{"List2", "List7"};    // surname and date
const QStringList Children{"List5", "List8"};
const QStringList Frames{"Frame3", "Frame4", "Frame5", "Frame6"};
const QStringList Sex{"sesso_0", "sesso_1"};
const QStringList AllLists{"List1", "List2",  "List3",  "List7",  "List4", "List5", "List6",
                           "List8", "List12", "List11", "List10", "List9", "List13"};
// All but the spouse candidate, the date and the sex options, which a clearing keeps.
const QRegularExpression Personal("^(?!Label13|Label22|Label23|Text9|sesso)");
// Father, mother, a marriage with a date in another accepted form, two children.
const QString FullWindow = QStringLiteral(
    "Command6:L Command1:B Command2:C Command3:A Text9:5-7-1960 Command10 Command9:D Command9:E");

}  // namespace

class RelationsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void relativesListed_data();
    void relativesListed();
    void personShownReplacedClearedAndReopened();
    void actionsThatChangeNothing_data();
    void actionsThatChangeNothing();
    void rowSelectionStaysInStep();
    void addMarriageRow_data();
    void addMarriageRow();
    void removal_data();
    void removal();
    void addAndImportChildren();
    void save_data();
    void save();
    void failedSaveWritesNothingAndKeepsTheWindow();
    void deletePersonCascade();
};

void RelationsWindowTest::relativesListed_data() {
    for (const char* column :
         {"rows", "shown", "parents", "siblings", "marriages", "children", "messages"}) {
        QTest::addColumn<QString>(column);
    }
    // The parents pass reads the links to the person in the order they were written.
    const QString father = "B>A:M B>D:M B>E:M ", mother = "C>A:F C>D:F C>F:F ";
    const QString bothTypes = "DORIA|Naturale, ESPOSITO|Acquisito, FERRI|Naturale";
    AddRow("no relatives", {"", "A", "|", "", "", "", ""});
    AddRow("father only", {father, "A", "BIANCHI|", "DORIA|, ESPOSITO|", "", "", ""});
    AddRow("mother only", {mother, "A", "|CONTI", "DORIA|Naturale, FERRI|Naturale", "", "", ""});
    AddRow("father's link first", {father + mother, "A", "BIANCHI|CONTI", bothTypes, "", "", ""});
    AddRow("mother's link first",
           {mother + father, "A", "BIANCHI|CONTI",
            "DORIA|Naturale, FERRI|Naturale, ESPOSITO|Acquisito", "", "", ""});
    AddRow("duplicate links", {father + mother + "B>D:M A>G:F A>G:F", "A", "BIANCHI|CONTI",
                               bothTypes, "", "GALLI|06/06/2005", ""});
    AddRow("missing records",
           {"x>A:M y>A:F C>A:F C>y:F x+A@01/01/2000 L+A@02/02/2002 A>x:F A>G:F", "A", "|CONTI", "",
            "LEONI|02/02/2002", "GALLI|06/06/2005",
            ReadError + " padre / " + ReadError + " madre / " + ReadError + " figli"});
    // A table that cannot be read is reported; the passes after it still run.
    const auto unreadable = [](const QString& table) {
        return "Errore del database (codice 1): no such table: " + table +
               ". Riprova; se l'errore si ripete, chiudi e riapri il programma.";
    };
    AddRow("unreadable links",
           {"L+A unreadable:relazioni", "A", "|", "", "LEONI|", "", unreadable("relazioni")});
    AddRow("unreadable marriages", {"B>A:M A>G:F unreadable:matrimoni", "A", "BIANCHI|", "", "",
                                    "GALLI|06/06/2005", unreadable("matrimoni")});
    AddRow("a woman's marriages as wife",
           {"L+A@10/10/1965 A+O@11/11/1970", "A", "|", "", "LEONI|10/10/1965", "", ""});
    AddRow("a man's marriages as husband",
           {"L+A@10/10/1965 L+O A+L@11/11/1970", "L", "|", "", "ALFA|10/10/1965, ORSI|", "", ""});
}

void RelationsWindowTest::relativesListed() {
    QFETCH(QString, rows);
    QFETCH(QString, shown);
    RelationsFixture h(rows);

    h.run("Command6:" + shown);

    QTEST(h.values(Parents), "parents");
    QTEST(h.rows(Siblings), "siblings");
    QTEST(h.rows(Marriages), "marriages");
    QTEST(h.rows(Children), "children");
    QTEST(h.messages(), "messages");
    // The slot keeps what the registry window handed over, not a relative read on the way.
    QCOMPARE(h.context.selectedPersonKey.trimmed(), h.key(shown[0].toLatin1()));
}

void RelationsWindowTest::personShownReplacedClearedAndReopened() {
    RelationsFixture h("B>A:M B>D:M B>E:M C>A:F C>D:F A>G:F F>L:M F>O:M L+A");
    const QStringList fresh = h.snapshot();
    QCOMPARE(h.values(Frames, "enabled"), "false|false|false|false");
    h.run("Command6:A Command3:D Text9:12/12/2012");
    QCOMPARE(h.values(Frames, "enabled"), "true|true|true|true");
    QCOMPARE(h.values(Sex, "checked"), "false|true");
    QCOMPARE(h.rows(Siblings), "DORIA|Naturale, ESPOSITO|Acquisito");

    h.run("Command6:L");
    QCOMPARE(h.values({"Label20", "Label24", "Label25", "Label28", "Label26", "Label27", "Label31",
                       "Label29", "Label30"}),
             h.key('L') + "|LEONI|LUCA|07/07/1978|BERGAMO|ITALIA|04/03/2020|LUGANO|SVIZZERA");
    QCOMPARE(h.values(Sex, "checked"), "true|false");
    QCOMPARE(h.values({"Label16", "Label12", "Label10", "Label17", "Label19"}),
             h.key('F') + "|FERRI|DINO|05/05/1986|");
    // The earlier person's mother does not count: the half sister has no type yet.
    QCOMPARE(h.rows({"List12", "List11", "List10", "List9", "List13"}),
             h.key('O') + "|ORSI|OLGA|03/03/1944|");
    QCOMPARE(h.rows({"List1", "List2", "List3", "List7"}), h.key('A') + "|ALFA|ANNA|");
    QCOMPARE(h.rows(Children), "");
    QCOMPARE(h.values({"Label13", "Label23", "Text9"}), h.key('D') + "|BRUNO|12/12/2012");

    // A chosen mother's children are natural siblings and make the father's acquired; the father
    // read again adds nothing.
    h.run("Command2:C Command1:F");
    QCOMPARE(h.values({"Label19", "Label32", "Label33", "Label18"}),
             h.key('C') + "|CONTI|MARIA|02/02/1952");
    QCOMPARE(h.rows(Siblings), "ORSI|Acquisito, ALFA|Naturale, DORIA|Naturale");

    // "Annulla" empties what belongs to the person and keeps the spouse candidate and date.
    h.run("Command8");
    QCOMPARE(h.snapshot().filter(Personal), fresh.filter(Personal));
    QCOMPARE(h.values({"Label22", "Text9"}), "DORIA|12/12/2012");
    QCOMPARE(h.values(Sex, "checked"), "true|false");

    h.window.hide();
    h.window.show();
    QCOMPARE(h.snapshot(), fresh);
    QCOMPARE(h.messages(), "");
}

void RelationsWindowTest::actionsThatChangeNothing_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("messages");
    AddRow("no person chosen", {"Command6:-", ""});
    AddRow("no father chosen", {"Command1:-", ""});
    AddRow("no spouse chosen", {"Command3:-", ""});
    AddRow("no child chosen", {"Command9:-", ""});
    AddRow("nobody to import from", {"Command12:-", ""});
    AddRow("import from the childless", {"Command12:O", ""});
    AddRow("own father", {"Command1:A", NotDuplicable});
    AddRow("own mother", {"Command2:A", NotDuplicable});
    AddRow("own child", {"Command9:A", NotDuplicable});
    AddRow("import from oneself", {"Command12:A", NotDuplicable});
    // Without the person loaded, the shown person's relatives would be read a second time.
    AddRow("vanished person", {"Command6:!E", ReadError});
    AddRow("vanished father", {"Command1:!E", ReadError + " padre"});
    AddRow("vanished mother", {"Command2:!O", ReadError + " madre"});
    AddRow("vanished spouse", {"Command3:!E", ReadError + " coniuge"});
    AddRow("vanished child", {"Command9:!E", ReadError + " figli"});
    AddRow("no marriage selected", {"Command11", NotEnoughData});
    AddRow("no child selected", {"Command7", NotEnoughData});
    AddRow("an unsaved marriage removed without a question",
           {"Command3:O Command10 List7:1 Command11 Command3:L", ""});
    AddRow("an unsaved child removed without a question", {"Command9:E List8:1 Command7", ""});
    AddRow("marriage removal declined", {"List1:0 Command11", ConfirmRemoval});
    AddRow("child removal declined", {"List4:0 Command7", ConfirmRemoval});
    // A link that could not be deleted keeps its row.
    AddRow("marriage removal refused",
           {"refuse:delete:matrimoni List1:0 yes Command11", ConfirmRemoval + " / REFUSED"});
    AddRow("child removal refused",
           {"refuse:delete:relazioni List4:0 yes Command7", ConfirmRemoval + " / REFUSED"});
    AddRow("removal with the file closed",
           {"close List3:0 Command11", ConnectionClosed().description()});
    AddRow("deletion declined at once", {"Command5", Asked});
    AddRow("deletion declined at the second question", {"yes Command5", Sure});
    // She is never a husband here, so the fourth deletion is the first to touch matrimoni.
    AddRow("the fourth deletion fails",
           {"refuse:delete:matrimoni yes yes Command5", Sure + " / REFUSED / " + Cancelled});
}

void RelationsWindowTest::actionsThatChangeNothing() {
    QFETCH(QString, steps);
    const QString rows = "B>A:M B>D:M C>A:F A>G:F L+A@10/10/1960";
    RelationsFixture h(rows);
    h.run("Command6:A Command3:L Text9:1/2/2003");
    const QStringList shown = h.snapshot();

    h.run(steps);

    QTEST(h.messages(), "messages");
    QCOMPARE(h.snapshot(), shown);
    QCOMPARE(h.stored(), rows);
    QVERIFY(h.db.person(h.key('A')));
}

void RelationsWindowTest::rowSelectionStaysInStep() {
    RelationsFixture h("B>A:M B>D:M B>E:M A>G:F A>O:F L+A F+A");
    h.run("Command6:A");
    // The lists that follow stay silent, or each would make the others follow it again.
    QSignalSpy followerNotices(qobject_cast<QListWidget*>(h.widget("List1")),
                               &QListWidget::itemSelectionChanged);

    h.run("List3:1");
    QCOMPARE(h.values(AllLists, "currentRow"), "1|1|1|1|-1|-1|-1|-1|-1|-1|-1|-1|-1");
    QCOMPARE(followerNotices.size(), 0);

    h.run("List13:1 List5:1 List7:0");
    QCOMPARE(h.values(AllLists, "currentRow"), "0|0|0|0|1|1|1|1|1|1|1|1|1");
}

void RelationsWindowTest::addMarriageRow_data() {
    for (const char* column : {"steps", "messages", "marriages", "candidateAndDate"}) {
        QTest::addColumn<QString>(column);
    }
    const QString listed = "ORSI|01/01/1959", invalid = " Text9:31/02/1950 Command10";
    AddRow("no candidate", {invalid, NotEnoughData, listed, "||31/02/1950"});
    AddRow("oneself, before the date",
           {"Command3:L" + invalid, NotDuplicable, listed, "LEONI|LUCA|31/02/1950"});
    AddRow("invalid date, before the listed spouse",
           {"Command3:O" + invalid, NotEnoughData, listed, "ORSI|OLGA|31/02/1950"});
    AddRow("listed spouse",
           {"Command3:O Text9:5/7/1960 Command10", "", listed, "ORSI|OLGA|5/7/1960"});
    AddRow("date as typed",
           {"Command3:A Text9:5/7/1960 Command10", "", listed + ", ALFA|5/7/1960", "||5/7/1960"});
    AddRow("no date", {"Command3:A Command10", "", listed + ", ALFA|", "||"});
}

void RelationsWindowTest::addMarriageRow() {
    QFETCH(QString, steps);
    RelationsFixture h("L+O@01/01/1959");

    h.run("Command6:L " + steps);

    QTEST(h.messages(), "messages");
    QTEST(h.rows(Marriages), "marriages");
    QTEST(h.values({"Label22", "Label23", "Text9"}), "candidateAndDate");
    QCOMPARE(h.stored(), "L+O@01/01/1959");
}

void RelationsWindowTest::removal_data() {
    for (const char* column : {"rows", "shown", "remove", "listedAfter", "storedAfter"}) {
        QTest::addColumn<QString>(column);
    }
    AddRow("a man's marriage, every row of the pair",
           {"L+A@10/10/1960 L+A@11/11/1961 L+C@12/12/1962", "L", "Command11",
            "ALFA|11/11/1961, CONTI|12/12/1962", "L+C@12/12/1962"});
    AddRow("a woman's marriage, in her roles",
           {"L+A@10/10/1960 A+L@10/10/1960", "A", "Command11", "", "A+L@10/10/1960"});
    AddRow("a child", {"L>D:M L>D:M A>D:F", "L", "Command7", "", "A>D:F"});
}

void RelationsWindowTest::removal() {
    QFETCH(QString, rows);
    QFETCH(QString, shown);
    QFETCH(QString, remove);
    const bool child = remove == "Command7";
    RelationsFixture h(rows);

    h.run("Command6:" + shown + (child ? " List4:0 yes " : " List1:0 yes ") + remove);

    QCOMPARE(h.messages(), ConfirmRemoval);
    QTEST(h.rows(child ? Children : Marriages), "listedAfter");
    QTEST(h.stored(), "storedAfter");
    QCOMPARE(h.values(AllLists, "currentRow"), "-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1");
}

void RelationsWindowTest::addAndImportChildren() {
    // The shown person is among the other's children, and one child's record is missing.
    RelationsFixture h("A>D:F A>L:F A>E:F A>x:F A>F:F");
    h.run("Command6:L Command9:D Command9:D");
    QCOMPARE(h.rows({"List4", "List5", "List6", "List8"}), h.key('D') + "|DORIA|BRUNO|03/03/1982");

    h.run("Command12:A");

    QCOMPARE(h.rows(Children), "DORIA|03/03/1982, ESPOSITO|04/04/1984, FERRI|05/05/1986");
    QCOMPARE(h.messages(), ReadError + " figli");
    QCOMPARE(h.stored(), "A>D:F A>L:F A>E:F A>x:F A>F:F");
}

void RelationsWindowTest::save_data() {
    for (const char* column : {"rows", "steps", "stored"}) QTest::addColumn<QString>(column);
    const QString full = "B>L:M C>L:F L>D:M L>E:M L+A@05/07/1960";
    AddRow("nobody shown", {"", "Command4", ""});
    AddRow("what the window shows", {"", FullWindow + " Command3:O Command4", full});
    AddRow("saved twice", {"", FullWindow + " Command4 Command6:L Command4", full});
    AddRow("a marriage from the wife's side",
           {"L+A@10/10/1960", "Command6:A Command4", "L+A@10/10/1960"});
    AddRow("a woman's children", {"", "Command6:A Command9:D Command4", "A>D:F"});
    AddRow("Femmina clicked for a man",
           {"", "Command6:L Command3:O Command10 Command9:D sesso_1 Command4", "L>D:F O+L"});
    AddRow("another father beside the first",
           {"B>D:M", "Command6:D Command1:L Command4", "B>D:M L>D:M"});
}

void RelationsWindowTest::save() {
    QFETCH(QString, rows);
    QFETCH(QString, steps);
    RelationsFixture h(rows);
    const QStringList fresh = h.snapshot();

    h.run(steps);

    QCOMPARE(h.messages(), "");
    QTEST(h.stored(), "stored");
    QCOMPARE(h.snapshot().filter(Personal), fresh.filter(Personal));
    QCOMPARE(h.db.person(h.key('L'))->sesso, Male);  // the option decides only the roles saved
}

// All or nothing: otherwise the father's link would stay written while the cleared window would
// say the save had succeeded.
void RelationsWindowTest::failedSaveWritesNothingAndKeepsTheWindow() {
    RelationsFixture h("L+O@01/01/1959");
    h.run("Command6:L Command1:B Command3:A Text9:10/10/1960 Command10 Command9:D");
    h.run("refuse:insert:matrimoni");  // the existing marriage is rewritten, the new one refused
    const QStringList shown = h.snapshot();

    h.run("Command4");
    QCOMPARE(h.messages(), "REFUSED");
    QCOMPARE(h.stored(), "L+O@01/01/1959");
    QCOMPARE(h.snapshot(), shown);

    h.db.execute("drop trigger refuse");
    h.run("Command4");
    QCOMPARE(h.messages(), "REFUSED");
    QCOMPARE(h.stored(), "B>L:M L>D:M L+O@01/01/1959 L+A@10/10/1960");
    QCOMPARE(h.values({"Label20"}), "");
}

void RelationsWindowTest::deletePersonCascade() {
    // She is named as a husband too; the other rows name only others.
    RelationsFixture h(
        "B>A:M B>O:M A>D:F A>E:F L>D:M L>E:M L+A@10/10/1960 A+B@11/11/1961 L+O@12/12/1962");
    h.run("Command5");  // nobody shown: nothing asked
    QCOMPARE(h.messages(), "");

    h.run("Command6:A yes yes Command5");

    QCOMPARE(h.messages(), Sure);
    QCOMPARE(h.stored(), "B>O:M L>D:M L>E:M L+O@12/12/1962");
    QCOMPARE(h.db.personCount(), 8);
    QVERIFY(!h.db.person(h.key('A')));
    QCOMPARE(h.values({"Label20"}) + h.rows(Children), "");
}

QTEST_MAIN(RelationsWindowTest)
#include "RelationsWindowTest.moc"
