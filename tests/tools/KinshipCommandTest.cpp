#include "TestDatabase.h"
#include "ToolRun.h"

#include <QTest>

namespace radici {

class KinshipCommandTest : public QObject {
    Q_OBJECT

private slots:
    void printsEachRelationshipOrSaysThereIsNone();
};

// One line for each relationship, closest first, with the common ancestors by name and key;
// none found is an answer too; an unknown key is a failure naming it; a bad line is misuse.
void KinshipCommandTest::printsEachRelationshipOrSaysThereIsNone() {
    TestDatabase db;
    const QString father = db.addPerson("ROSSI", "PIETRO", "01/01/1900");
    const QString mother = db.addPerson("BIANCHI", "ADA", "01/01/1901", Female);
    const QString son = db.addPerson("ROSSI", "LINO", "01/01/1930");
    const QString stranger = db.addPerson("NERI", "UGO", "01/01/1930");
    db.link(father, son, Male);
    db.link(mother, son, Female);

    const ToolRun parent = RunTool({"parentela", son, mother, db.path()});
    QCOMPARE(parent.exitCode, 0);
    QCOMPARE(parent.out, QString("madre, parente di 1° grado in linea retta; antenato comune: ADA "
                                 "BIANCHI (%1)\n")
                             .arg(mother));
    const ToolRun none = RunTool({"parentela", son, stranger, db.path()});
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.out, "nessuna parentela trovata\n");

    const ToolRun missing = RunTool({"parentela", son, "ROSXXX01/01/1900", db.path()});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.contains("\"ROSXXX01/01/1900\"") && missing.out.isEmpty(),
             qPrintable(missing.err));
    QCOMPARE(RunTool({"parentela", son}, db.folder()).exitCode, 2);
}

}  // namespace radici

QTEST_MAIN(radici::KinshipCommandTest)
#include "KinshipCommandTest.moc"
