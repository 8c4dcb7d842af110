#include "chart/ChartLayout.h"
#include "chart/ChartPainter.h"

#include <QTest>
#include <map>

namespace radici {

namespace {

using namespace ChartMeasure;

// A family made by hand: keys are the given names.
struct Family {
    ChartFamily chart;

    Family& person(const QString& key, SexCode sex, int bornYear = 0) {
        Person person;
        person.idrecord = person.nome = key;
        person.cognome = QStringLiteral("ROSSI");
        person.sesso = sex;
        if (bornYear > 0) person.datanasc = QDate(bornYear, 1, 1);
        chart.persons.insert(key, person);
        return *this;
    }
    Family& child(const QString& father, const QString& mother, const QString& key) {
        if (!father.isEmpty()) chart.links.push_back({father, key, Male});
        if (!mother.isEmpty()) chart.links.push_back({mother, key, Female});
        return *this;
    }
    Family& marry(const QString& husband, const QString& wife, int year = 0) {
        chart.marriages.push_back({husband, wife, year > 0 ? QDate(year, 6, 1) : QDate()});
        return *this;
    }
};

const ChartBox& Box(const ChartLayout& layout, const QString& key, bool repeat = false) {
    for (const ChartBox& box : layout.boxes)
        if (box.key == key && box.repeat == repeat) return box;
    qFatal("no box %s", qPrintable(key));
}

QStringList Keys(const ChartLayout& layout) {
    QStringList keys;
    for (const ChartBox& box : layout.boxes) keys << box.key + (box.repeat ? "*" : "");
    return keys;
}

// Keys of the row (descendants) or column (ancestors) of a generation, left to right / top down.
QStringList Generation(const ChartLayout& layout, int generation) {
    std::map<double, QString> ordered;
    for (const ChartBox& box : layout.boxes) {
        if (box.generation != generation) continue;
        const bool rows = layout.kind == ChartKind::Descendants;
        ordered[rows ? box.rect.left() : box.rect.top()] = box.key;
    }
    QStringList keys;
    for (const auto& [position, key] : ordered) keys << key;
    return keys;
}

bool Crosses(const QLineF& line, const QRectF& box) {
    const QRectF inside = box.adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF span = QRectF(line.p1(), line.p2()).normalized();
    return span.left() < inside.right() && span.right() > inside.left() &&
           span.top() < inside.bottom() && span.bottom() > inside.top();
}

// What every chart must hold: boxes apart, lines only in the gaps, each generation on its own
// row or column, everything inside the bounds.
void CheckGeometry(const ChartLayout& layout) {
    const bool rows = layout.kind == ChartKind::Descendants;
    std::map<int, double> lineOf;
    for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
        const ChartBox& box = layout.boxes[i];
        QVERIFY(layout.bounds.contains(box.rect));
        const double position = rows ? box.rect.top() : box.rect.left();
        QCOMPARE(lineOf.emplace(box.generation, position).first->second, position);
        for (std::size_t j = i + 1; j < layout.boxes.size(); ++j) {
            QVERIFY2(!box.rect.intersects(layout.boxes[j].rect),
                     qPrintable(box.key + " overlaps " + layout.boxes[j].key));
        }
        for (const QLineF& line : layout.lines)
            QVERIFY2(!Crosses(line, box.rect), qPrintable("a line crosses " + box.key));
    }
    for (auto [generation, position] : lineOf)
        if (lineOf.count(generation + 1)) QVERIFY(lineOf[generation + 1] > position);
}

}  // namespace

class ChartLayoutTest : public QObject {
    Q_OBJECT

private slots:

    // A widower with children from two wives and one of unknown mother: each wife beside him, each
    // marriage's children together in birth order, grandchildren only within the generations.
    void descendantsGroupChildrenUnderEachMarriageInBirthOrder() {
        Family f;
        f.person("W", Male, 1910).person("M1", Female).person("M2", Female).person("S", Female);
        f.person("C1", Male, 1943).person("C2", Male, 1941).person("C3", Female, 1955);
        f.person("C4", Male, 1953).person("C5", Female, 1960).person("G", Male, 1970);
        f.marry("W", "M2", 1952).marry("W", "M1", 1940).marry("C2", "S");
        f.child("W", "M1", "C1").child("W", "M1", "C2").child("W", "M2", "C3");
        f.child("W", "M2", "C4").child("W", "", "C5").child("C2", "S", "G");
        f.person("X", Male).marry("X", "C1");  // a man named as a wife: not his marriage

        const ChartLayout three = LayoutDescendants(f.chart, "W", 3);
        CheckGeometry(three);
        QCOMPARE(three.boxes.front().key, "W");
        QCOMPARE(Generation(three, 1), QStringList({"M2", "W", "M1"}));
        QCOMPARE(Generation(three, 2), QStringList({"C4", "C3", "C5", "C2", "S", "C1"}));
        QCOMPARE(Generation(three, 3), QStringList({"G"}));
        QVERIFY(Box(three, "S").partner && !Box(three, "C2").partner);

        QCOMPARE(LayoutDescendants(f.chart, "W", 1).boxes.size(), 3u);
    }

    // Two children each with two children each with two: the bottom row is exactly eight boxes
    // with their sibling and cousin gaps, nothing wider.
    void descendantChartIsCompact() {
        Family f;
        f.person("R", Male);
        QStringList parents{"R"};
        for (int generation = 2; generation <= 4; ++generation) {
            QStringList children;
            for (const QString& parent : parents) {
                for (const char* suffix : {"a", "b"}) {
                    f.person(parent + suffix, Male).child(parent, "", parent + suffix);
                    children << parent + suffix;
                }
            }
            parents = children;
        }
        const ChartLayout layout = LayoutDescendants(f.chart, "R", 4);
        CheckGeometry(layout);
        QCOMPARE(layout.boxes.size(), 15u);
        QCOMPARE(layout.bounds.width(), 8 * BoxWidth + 4 * SiblingGap + 3 * CousinGap + 2 * Margin);
        const QRectF& root = layout.boxes.front().rect;
        QCOMPARE(root.center().x(), layout.bounds.center().x());
    }

    // Four generations in four columns; the last link naming a father wins, as in the relations
    // window; three generations stop at the grandparents.
    void ancestorsStandInColumnsFatherAboveMother() {
        Family f;
        QStringList generation{"P"};
        f.person("P", Male);
        for (int depth = 2; depth <= 4; ++depth) {
            QStringList parents;
            for (const QString& child : generation) {
                f.person(child + "f", Male).person(child + "m", Female);
                f.child(child + "f", child + "m", child);
                parents << child + "f" << child + "m";
            }
            generation = parents;
        }
        f.person("X", Male).child("X", "", "Pm");  // a second father for Pm, written last
        const ChartLayout layout = LayoutAncestors(f.chart, "P", 4);
        CheckGeometry(layout);
        QCOMPARE(layout.boxes.size(), 13u);  // the first father of Pm and his parents are left out
        QCOMPARE(Generation(layout, 2), QStringList({"Pf", "Pm"}));
        QCOMPARE(Generation(layout, 3), QStringList({"Pff", "Pfm", "X", "Pmm"}));
        const double child = Box(layout, "Pf").rect.center().y();
        QVERIFY(Box(layout, "Pff").rect.center().y() < child);
        QVERIFY(Box(layout, "Pfm").rect.center().y() > child);
        QCOMPARE(LayoutAncestors(f.chart, "P", 3).boxes.size(), 7u);
    }

    // Cousins who married: the wife is drawn in full as her father's daughter and marked as a
    // repeat beside her husband; their family is drawn once. A person who is their own ancestor
    // ends the chart at the repeat, whatever the depth asked.
    void repeatsAreMarkedAndCyclesEnd() {
        Family f;
        f.person("R", Male).person("A", Male, 1920).person("B", Male, 1922);
        f.person("X", Male, 1945).person("Y", Female, 1947).person("Z", Male, 1970);
        f.child("R", "", "A").child("R", "", "B").child("A", "", "X").child("B", "", "Y");
        f.marry("X", "Y").child("X", "Y", "Z");
        const ChartLayout cousins = LayoutDescendants(f.chart, "R", 12);
        CheckGeometry(cousins);
        QCOMPARE(Keys(cousins), QStringList({"R", "A", "B", "X", "Y", "Y*", "Z"}));
        QVERIFY(Box(cousins, "Y", true).partner);
        QVERIFY(BoxLines(Box(cousins, "Y", true)).contains("(ripetuto)"));

        Family cycle;
        cycle.person("P", Male).person("Q", Female).child("", "Q", "P").child("P", "", "Q");
        QCOMPARE(Keys(LayoutAncestors(cycle.chart, "P", 12)), QStringList({"P", "Q", "P*"}));
        QCOMPARE(Keys(LayoutDescendants(cycle.chart, "P", 12)), QStringList({"P", "Q", "P*"}));
    }

    // A link to a key with no row: the box says so with the key, and the chart goes on past it.
    void missingPersonIsDrawnWithItsKey() {
        Family f;
        f.person("P", Female).person("G", Male).child("GONE", "", "P").child("G", "", "GONE");
        const ChartLayout layout = LayoutAncestors(f.chart, "P", 4);
        CheckGeometry(layout);
        QCOMPARE(Keys(layout), QStringList({"P", "GONE", "G"}));
        QVERIFY(!Box(layout, "GONE").person);
        QCOMPARE(BoxLines(Box(layout, "GONE")), QStringList({"GONE", "non in anagrafica"}));
        QCOMPARE(BoxLines(Box(layout, "G")).mid(0, 2), QStringList({"ROSSI", "G"}));
    }
};

}  // namespace radici

QTEST_MAIN(radici::ChartLayoutTest)
#include "ChartLayoutTest.moc"
