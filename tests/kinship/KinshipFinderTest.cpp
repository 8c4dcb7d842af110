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
        // "SURNAME NAME YEAR SEX FATHER MOTHER", born on 1 January, parents by name or "-".
        const QString persons =
            "ROSSI ALDO 1900 M, VERDI BICE 1902 F, NERI ELSA 1905 F, ROSSI CARLO 1925 M ALDO BICE, "
            "ROSSI DINA 1927 F ALDO BICE, ROSSI FABIO 1935 M ALDO ELSA, BIANCHI GINA 1926 F, "
            "GALLI HUGO 1924 M, ROSSI IVO 1950 M CARLO GINA, GALLI MARCO 1952 M HUGO DINA, "
            "CONTI NORA 1951 F, ROSSI OLGA 1975 F IVO NORA, ROSSI ALI 1977 ? IVO NORA, "
            "GALLI QUINTO 1980 M MARCO, ROSSI RITA 2000 F - OLGA, ROSSI SARA 2020 F - RITA, "
            // Two brothers married two sisters; their children married each other, the
            // marriage written in both roles as a change of sex leaves it.
            "MORO ENZO 1900 M, FERRI FLORA 1900 F, LONGO LEO 1900 M, RIVA MARA 1900 F, "
            "MORO GINO 1930 M ENZO FLORA, MORO GUIDO 1932 M ENZO FLORA, "
            "LONGO NELLA 1931 F LEO MARA, LONGO NINA 1933 F LEO MARA, "
            "MORO OTTO 1960 M GINO NELLA, MORO PAOLA 1961 F GUIDO NINA, "
            // Zeno is his own grandfather.
            "LUPI ZENO 1940 M YURI, LUPI YURI 1941 M ZENO";
        for (const QString& person : persons.split(", ")) {
            const QStringList f = person.split(' ');
            keys[f[1]] = db.addPerson(f[0], f[1], "01/01/" + f[2],
                                      static_cast<SexCode>(QString("MF?").indexOf(f[3])));
        }
        for (const QString& person : persons.split(", ")) {
            const QStringList f = person.split(' ');
            for (const SexCode sex : {Male, Female})
                if (f.value(4 + sex, "-") != "-") db.link(keys[f[4 + sex]], keys[f[1]], sex);
        }
        for (const char* pair :
             {"ALDO BICE", "ALDO ELSA", "CARLO GINA", "HUGO DINA", "OTTO PAOLA", "PAOLA OTTO"})
            db.marry(keys[QString(pair).section(' ', 0, 0)], keys[QString(pair).section(' ', 1)]);
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
    void everyRelativeIsNamedWithTheLegalDegree_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* first, const char* second, const char* said) {
            QTest::addRow("%s, %s", first, second) << first << second << QString::fromUtf8(said);
        };
        row("ALDO", "SARA", "discendente di 5 generazioni, parente di 5° grado in linea retta");
        row("RITA", "ALDO", "trisnonno, parente di 4° grado in linea retta");
        row("OLGA", "BICE", "bisnonna, parente di 3° grado in linea retta");
        row("ALDO", "OLGA", "pronipote, parente di 3° grado in linea retta");
        row("IVO", "ALI", "figlio/a, parente di 1° grado in linea retta");
        row("OLGA", "ALI", "fratello/sorella, parente di 2° grado in linea collaterale");
        row("CARLO", "DINA", "sorella, parente di 2° grado in linea collaterale");
        row("CARLO", "FABIO",
            "fratellastro (stesso padre), parente di 2° grado in linea collaterale");
        row("MARCO", "CARLO", "zio, parente di 3° grado in linea collaterale");
        row("CARLO", "MARCO", "nipote, parente di 3° grado in linea collaterale");
        row("OLGA", "DINA", "prozia, parente di 4° grado in linea collaterale");
        row("IVO", "MARCO", "cugino di primo grado, parente di 4° grado in linea collaterale");
        row("OLGA", "QUINTO", "cugino di secondo grado, parente di 6° grado in linea collaterale");
        row("OLGA", "MARCO",
            "cugino di primo grado del padre, parente di 5° grado in linea collaterale");
        row("MARCO", "OLGA",
            "figlia di un cugino di primo grado, parente di 5° grado in linea collaterale");
        row("SARA", "QUINTO",
            "cugino di secondo grado della nonna, parente di 8° grado in linea collaterale (oltre "
            "il "
            "sesto grado la legge non riconosce parentela)");
        row("OTTO", "PAOLA",
            "moglie / cugina di primo grado, parente di 4° grado in linea collaterale / cugina di "
            "primo grado, parente di 4° grado in linea collaterale");
        row("OTTO", "GUIDO",
            "suocero, affine di 1° grado / zio, parente di 3° grado in linea collaterale");
        row("GINA", "CARLO", "marito");
        row("ALDO", "GINA", "nuora, affine di 1° grado");
        row("ALDO", "HUGO", "genero, affine di 1° grado");
        row("GINA", "DINA", "cognata, affine di 2° grado");
        row("DINA", "GINA", "cognata, affine di 2° grado");
        row("GINA", "MARCO", "nipote del marito, affine di 3° grado");
        row("HUGO", "GINA", "");
        row("ZENO", "ALDO", "");
        row("ALDO", "ALDO", "");
    }

    // Each pair as the user asks for it: the words say what the second person is to the first.
    void everyRelativeIsNamedWithTheLegalDegree() {
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

    // Through a marriage the line names the spouse and the common ancestors, a couple once, the man
    // first; the path goes from them down both lines and ends beside that spouse.
    void pathsRunFromTheCommonAncestorsDownToBoth() {
        Family family;
        DatabaseConnection connection;
        QVERIFY(connection.open(family.db.path()).ok());
        const auto& k = family.keys;
        const Kinship inLaw = FindKinship(connection, k["GINA"], k["DINA"]).value();
        QCOMPARE(KinshipLine(inLaw, inLaw.relationships.front()),
                 QString("cognata, affine di 2° grado; tramite CARLO ROSSI (%1); antenati comuni: "
                         "ALDO ROSSI (%2) e BICE VERDI (%3)")
                     .arg(k["CARLO"], k["ALDO"], k["BICE"]));
        QCOMPARE(inLaw.relationships.front().secondLine, QStringList({k["DINA"]}));
        QCOMPARE(inLaw.relationships.front().firstLine, QStringList({k["CARLO"]}));
        QCOMPARE(inLaw.relationships.front().firstPartner, k["GINA"]);
    }

    // A line of 32 generations: the walk stops after 30 and says so.
    void aLongLineStopsAtTheBoundAndSaysSo() {
        TestDatabase db;
        QStringList line{db.addPerson("ROSSI", "ULTIMO", "01/01/2000")};
        for (int generation = 1; generation <= MaxKinshipGenerations + 2; ++generation) {
            line << db.addPerson("ROSSI", "AVO",
                                 QDate(2000 - generation * 20, 1, 1).toString("dd/MM/yyyy"));
            db.link(line.last(), line[generation - 1], Male);
        }
        DatabaseConnection connection;
        QVERIFY(connection.open(db.path()).ok());
        const Kinship near =
            FindKinship(connection, line.first(), line[MaxKinshipGenerations]).value();
        QCOMPARE(Said(near),
                 "antenato di 30 generazioni, parente di 30° grado in linea retta (oltre il "
                 "sesto grado la legge non riconosce parentela)");
        QVERIFY(near.stoppedAtBound);
        const Kinship far = FindKinship(connection, line.first(), line.last()).value();
        QVERIFY(far.relationships.empty() && far.stoppedAtBound);
    }
};

}  // namespace radici

QTEST_MAIN(radici::KinshipFinderTest)
#include "KinshipFinderTest.moc"
