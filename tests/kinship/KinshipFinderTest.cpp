#include "TestDatabase.h"
#include "kinship/KinshipFinder.h"

#include <QTest>

namespace radici {

namespace {

// One family with every kind of relative: Aldo and Bice's line down to the fifth generation, a
// half brother, in-laws, cousins of every kind, two brothers who married two sisters and whose
// children married each other, a person of unknown sex, and a loop from a hand-edited file.
struct Family {
    Family() {
        const auto child = [this](const QString& key, const QString& father,
                                  const QString& mother) {
            if (!father.isEmpty()) db.link(father, key, Male);
            if (!mother.isEmpty()) db.link(mother, key, Female);
            return key;
        };
        const auto man = [this](const char* surname, const char* name, const char* born) {
            return db.addPerson(surname, name, born, Male);
        };
        const auto woman = [this](const char* surname, const char* name, const char* born) {
            return db.addPerson(surname, name, born, Female);
        };
        keys["aldo"] = man("ROSSI", "ALDO", "01/01/1900");
        keys["bice"] = woman("VERDI", "BICE", "01/01/1902");
        keys["elsa"] = woman("NERI", "ELSA", "01/01/1905");
        db.marry(keys["aldo"], keys["bice"]);
        db.marry(keys["aldo"], keys["elsa"]);
        keys["carlo"] = child(man("ROSSI", "CARLO", "01/01/1925"), keys["aldo"], keys["bice"]);
        keys["dina"] = child(woman("ROSSI", "DINA", "01/01/1927"), keys["aldo"], keys["bice"]);
        keys["fabio"] = child(man("ROSSI", "FABIO", "01/01/1935"), keys["aldo"], keys["elsa"]);
        keys["gina"] = woman("BIANCHI", "GINA", "01/01/1926");
        keys["hugo"] = man("GALLI", "HUGO", "01/01/1924");
        db.marry(keys["carlo"], keys["gina"]);
        db.marry(keys["hugo"], keys["dina"]);
        keys["ivo"] = child(man("ROSSI", "IVO", "01/01/1950"), keys["carlo"], keys["gina"]);
        keys["marco"] = child(man("GALLI", "MARCO", "01/01/1952"), keys["hugo"], keys["dina"]);
        keys["nora"] = woman("CONTI", "NORA", "01/01/1951");
        keys["olga"] = child(woman("ROSSI", "OLGA", "01/01/1975"), keys["ivo"], keys["nora"]);
        keys["ali"] =
            child(db.addPerson("ROSSI", "ALI", "01/01/1977", 2), keys["ivo"], keys["nora"]);
        keys["quinto"] = child(man("GALLI", "QUINTO", "01/01/1980"), keys["marco"], {});
        keys["rita"] = child(woman("ROSSI", "RITA", "01/01/2000"), {}, keys["olga"]);
        keys["sara"] = child(woman("ROSSI", "SARA", "01/01/2020"), {}, keys["rita"]);

        // Two brothers married two sisters; their children married each other, the marriage
        // written in both roles as a change of sex leaves it.
        const QString enzo = man("MORO", "ENZO", "01/01/1900");
        const QString flora = woman("FERRI", "FLORA", "01/01/1900");
        const QString leo = man("LONGO", "LEO", "01/01/1900");
        const QString mara = woman("RIVA", "MARA", "01/01/1900");
        const QString gino = child(man("MORO", "GINO", "01/01/1930"), enzo, flora);
        const QString guido = child(man("MORO", "GUIDO", "01/01/1932"), enzo, flora);
        const QString nella = child(woman("LONGO", "NELLA", "01/01/1931"), leo, mara);
        const QString nina = child(woman("LONGO", "NINA", "01/01/1933"), leo, mara);
        keys["otto"] = child(man("MORO", "OTTO", "01/01/1960"), gino, nella);
        keys["paola"] = child(woman("MORO", "PAOLA", "01/01/1961"), guido, nina);
        db.marry(keys["otto"], keys["paola"]);
        db.marry(keys["paola"], keys["otto"]);

        // Zeno is his own grandfather.
        keys["zeno"] = man("LUPI", "ZENO", "01/01/1940");
        child(keys["zeno"], child(man("LUPI", "YURI", "01/01/1941"), keys["zeno"], {}), {});
    }

    TestDatabase db;
    QHash<QString, QString> keys;
};

// "words, degree" of each relationship found, closest first, joined by " / ".
QString Said(const Kinship& kinship) {
    QStringList said;
    for (const Relationship& r : kinship.relationships)
        said << (r.words.degree.isEmpty() ? r.words.words : r.words.words + ", " + r.words.degree);
    return said.join(" / ");
}

}  // namespace

class KinshipFinderTest : public QObject {
    Q_OBJECT

private slots:
    void everyRelativeIsNamedWithTheLegalDegree_data();
    void everyRelativeIsNamedWithTheLegalDegree();
    void pathsRunFromTheCommonAncestorsDownToBoth();
    void aLongLineStopsAtTheBoundAndSaysSo();
};

void KinshipFinderTest::everyRelativeIsNamedWithTheLegalDegree_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("said");
    const auto row = [](const char* first, const char* second, const char* said) {
        QTest::addRow("%s, %s", first, second) << first << second << QString::fromUtf8(said);
    };
    row("aldo", "sara", "discendente di 5 generazioni, parente di 5° grado in linea retta");
    row("sara", "aldo", "antenato di 5 generazioni, parente di 5° grado in linea retta");
    row("rita", "aldo", "trisnonno, parente di 4° grado in linea retta");
    row("olga", "bice", "bisnonna, parente di 3° grado in linea retta");
    row("aldo", "olga", "pronipote, parente di 3° grado in linea retta");
    row("ivo", "ali", "figlio/a, parente di 1° grado in linea retta");
    row("olga", "ali", "fratello/sorella, parente di 2° grado in linea collaterale");
    row("carlo", "dina", "sorella, parente di 2° grado in linea collaterale");
    row("carlo", "fabio", "fratellastro (stesso padre), parente di 2° grado in linea collaterale");
    row("marco", "carlo", "zio, parente di 3° grado in linea collaterale");
    row("carlo", "marco", "nipote, parente di 3° grado in linea collaterale");
    row("olga", "dina", "prozia, parente di 4° grado in linea collaterale");
    row("ivo", "marco", "cugino di primo grado, parente di 4° grado in linea collaterale");
    row("olga", "quinto", "cugino di secondo grado, parente di 6° grado in linea collaterale");
    row("olga", "marco",
        "cugino di primo grado del padre, parente di 5° grado in linea collaterale");
    row("marco", "olga",
        "figlia di un cugino di primo grado, parente di 5° grado in linea collaterale");
    row("sara", "quinto",
        "cugino di secondo grado della nonna, parente di 8° grado in linea collaterale (oltre il "
        "sesto grado la legge non riconosce parentela)");
    row("otto", "paola",
        "moglie / cugina di primo grado, parente di 4° grado in linea collaterale / cugina di "
        "primo grado, parente di 4° grado in linea collaterale");
    row("carlo", "gina", "moglie");
    row("gina", "carlo", "marito");
    row("aldo", "gina", "nuora, affine di 1° grado");
    row("aldo", "hugo", "genero, affine di 1° grado");
    row("gina", "aldo", "suocero, affine di 1° grado");
    row("gina", "dina", "cognata, affine di 2° grado");
    row("dina", "gina", "cognata, affine di 2° grado");
    row("gina", "marco", "nipote del marito, affine di 3° grado");
    row("hugo", "gina", "");
    row("zeno", "aldo", "");
}

// Each pair as the user asks for it: the words say what the second person is to the first.
void KinshipFinderTest::everyRelativeIsNamedWithTheLegalDegree() {
    static Family family;
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, said);
    DatabaseConnection connection;
    QVERIFY(connection.open(family.db.path()).ok());
    const Result<Kinship> kinship =
        FindKinship(connection, family.keys[first], family.keys[second]);
    QVERIFY(kinship.ok());
    QCOMPARE(Said(kinship.value()), said);
    QVERIFY(!kinship.value().stoppedAtBound);
}

// The line names the common ancestors, the couple once, the man first, and through a marriage
// the spouse; the path goes from the ancestors down both lines and ends beside that spouse.
void KinshipFinderTest::pathsRunFromTheCommonAncestorsDownToBoth() {
    Family family;
    DatabaseConnection connection;
    QVERIFY(connection.open(family.db.path()).ok());
    const auto& k = family.keys;
    const Kinship cousins = FindKinship(connection, k["olga"], k["marco"]).value();
    const Relationship& cousin = cousins.relationships.front();
    QCOMPARE(KinshipLine(cousins, cousin),
             QString("cugino di primo grado del padre, parente di 5° grado in linea collaterale; "
                     "antenati comuni: ALDO ROSSI (%1) e BICE VERDI (%2)")
                 .arg(k["aldo"], k["bice"]));
    QCOMPARE(cousin.firstLine, QStringList({k["carlo"], k["ivo"], k["olga"]}));
    QCOMPARE(cousin.secondLine, QStringList({k["dina"], k["marco"]}));

    const Kinship inLaw = FindKinship(connection, k["gina"], k["dina"]).value();
    QCOMPARE(KinshipLine(inLaw, inLaw.relationships.front()),
             QString("cognata, affine di 2° grado; tramite CARLO ROSSI (%1); antenati comuni: "
                     "ALDO ROSSI (%2) e BICE VERDI (%3)")
                 .arg(k["carlo"], k["aldo"], k["bice"]));
    QCOMPARE(inLaw.relationships.front().secondLine, QStringList({k["dina"]}));
    QCOMPARE(inLaw.relationships.front().firstLine, QStringList({k["carlo"]}));
    QCOMPARE(inLaw.relationships.front().firstPartner, k["gina"]);
}

// A line of 32 generations: the walk stops after 30 and says so.
void KinshipFinderTest::aLongLineStopsAtTheBoundAndSaysSo() {
    TestDatabase db;
    QStringList line{db.addPerson("ROSSI", "ULTIMO", "01/01/2000")};
    for (int generation = 1; generation <= MaxKinshipGenerations + 2; ++generation) {
        line << db.addPerson("ROSSI", "AVO",
                             QDate(2000 - generation * 20, 1, 1).toString("dd/MM/yyyy"));
        db.link(line.last(), line[generation - 1], Male);
    }
    DatabaseConnection connection;
    QVERIFY(connection.open(db.path()).ok());
    const Kinship near = FindKinship(connection, line.first(), line[MaxKinshipGenerations]).value();
    QCOMPARE(Said(near),
             "antenato di 30 generazioni, parente di 30° grado in linea retta (oltre il "
             "sesto grado la legge non riconosce parentela)");
    QVERIFY(near.stoppedAtBound);
    const Kinship far = FindKinship(connection, line.first(), line.last()).value();
    QVERIFY(far.relationships.empty() && far.stoppedAtBound);
}

}  // namespace radici

QTEST_MAIN(radici::KinshipFinderTest)
#include "KinshipFinderTest.moc"
