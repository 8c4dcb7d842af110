#include "Driver.h"
#include "RawRows.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QTest>

namespace radici {

// Another program wrote two rows for one couple, dates the program cannot read and a link whose
// idsesso is neither 0 nor 1.
class StoredRowsTest : public QObject {
    Q_OBJECT
    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RelationsWindow window{context};

    void show(const char* button, const QString& surname) {
        toolkit.onNextModal(ChooseInRegistry(surname));
        Click(window, button);
    }
    QStringList rows() {
        return RawRows(db, "matrimoni", "idmarito, idmoglie, Data") +
               RawRows(db, "relazioni", "idgenitori, idfigli, idsesso");
    }

private slots:
    void initTestCase() {
        const QString luca = db.addPerson("LEONI", "LUCA", "07/07/1978");
        const QString olga = db.addPerson("ORSI", "OLGA", "03/03/1944", Female);
        const QString anna = db.addPerson("ALFA", "ANNA", "01/01/1980", Female);
        const QString bruno = db.addPerson("DORIA", "BRUNO", "03/03/1982");
        db.execute(QStringLiteral("insert into matrimoni values ('%1', '%2', '1950-01-01'), "
                                  "('%1', '%2', 'abc'), ('%1', '%3', '15/07/1920'); "
                                  "insert into relazioni values ('%1', '%4', 7)")
                       .arg(luca, olga, anna, bruno));
        QVERIFY(context.connection.open(db.path()).ok());
        window.show();
    }

    void savingKeepsTheRowsReadFromTheFile() {
        const QStringList before = rows();
        show("Command6", "LEONI");
        Click(window, "Command4");
        QCOMPARE(rows(), before);

        // A link removed by another program while the window showed it does not come back.
        show("Command6", "LEONI");
        db.execute("delete from relazioni");
        Click(window, "Command4");
        QCOMPARE(db.links(), "");
        QVERIFY(toolkit.texts.isEmpty());
    }

    void savingNeverLinksAPersonDeletedElsewhere() {
        show("Command6", "LEONI");
        show("Command1", "ORSI");  // as father: the window does not judge
        db.execute("delete from anagrafica where nome = 'OLGA'");
        const QStringList before = rows();
        Click(window, "Command4");
        QCOMPARE(rows(), before);
        QVERIFY(toolkit.texts.value(0).contains("ORSOLG03/03/1944"));
        QCOMPARE(Shown(window, {"Label20"}), "LEOLUC07/07/1978");
        QCOMPARE(Control(window, "sesso_0").width(), 73);  // 1095 twips
    }
};

}  // namespace radici

QTEST_MAIN(radici::StoredRowsTest)
#include "StoredRowsTest.moc"
