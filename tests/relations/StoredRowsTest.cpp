#include "Driver.h"
#include "RawRows.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace radici {
namespace {

struct Relations {
    Relations() {
        db.addPerson("LEONI", "LUCA", "07/07/1978");
        db.addPerson("ORSI", "OLGA", "03/03/1944", Female);
        db.addPerson("ALFA", "ANNA", "01/01/1980", Female);
        db.addPerson("DORIA", "BRUNO", "03/03/1982");
        // Written by another program: two rows for one couple, dates the program cannot read,
        // a link whose idsesso is neither 0 nor 1.
        db.execute(
            QStringLiteral(
                "insert into matrimoni values ('%1', '%2', '1950-01-01'), ('%1', '%2', 'abc'), "
                "('%1', '%3', '15/07/1920'); insert into relazioni values ('%1', '%4', 7)")
                .arg(Luca, "ORSOLG03/03/1944", "ALFANN01/01/1980", Bruno));
        QVERIFY(context.connection.open(db.path()).ok());
        window.show();
    }
    void click(const char* name) { window.findChild<QPushButton*>(name)->click(); }
    void choose(const char* button, const QString& surname) {
        toolkit.onNextModal(ChooseInRegistry(surname));
        click(button);
    }
    QStringList rows() {
        return RawRows(db, "matrimoni", "idmarito, idmoglie, Data") +
               RawRows(db, "relazioni", "idgenitori, idfigli, idsesso");
    }

    static inline const QString Luca = QStringLiteral("LEOLUC07/07/1978");
    static inline const QString Bruno = QStringLiteral("DORBRU03/03/1982");
    TestDatabase db;
    ScriptedToolkit toolkit;
    AppContext context{toolkit, db.path()};
    RelationsWindow window{context};
};

}  // namespace

class StoredRowsTest : public QObject {
    Q_OBJECT
private slots:
    void savingKeepsTheRowsReadFromTheFile();
    void savingNeverLinksAPersonDeletedElsewhere();
    void maleOptionHasItsWidth();
};

void StoredRowsTest::savingKeepsTheRowsReadFromTheFile() {
    Relations r;
    const QStringList before = r.rows();
    r.choose("Command6", "LEONI");
    QCOMPARE(r.window.findChild<QListWidget*>("List1")->count(), 3);
    r.click("Command4");
    QCOMPARE(r.rows(), before);

    // A link removed by another program while the window showed it does not come back.
    r.choose("Command6", "LEONI");
    r.db.execute("delete from relazioni");
    r.click("Command4");
    QVERIFY(r.db.links().isEmpty());
    QVERIFY(r.toolkit.texts.isEmpty());
}

void StoredRowsTest::savingNeverLinksAPersonDeletedElsewhere() {
    Relations r;
    r.choose("Command6", "LEONI");
    r.choose("Command1", "ORSI");  // as father: the window does not judge
    r.db.execute("delete from anagrafica where nome = 'OLGA'");
    const QStringList before = r.rows();
    r.click("Command4");
    QCOMPARE(r.rows(), before);
    QCOMPARE(r.toolkit.texts.size(), 1);
    QVERIFY(r.toolkit.texts[0].contains("ORSOLG03/03/1944"));
    QCOMPARE(r.window.findChild<QLabel*>("Label20")->text(), Relations::Luca);
}

void StoredRowsTest::maleOptionHasItsWidth() {
    Relations r;
    QCOMPARE(r.window.findChild<QRadioButton*>("sesso_0")->width(), 73);  // 1095 twips
}

}  // namespace radici

QTEST_MAIN(radici::StoredRowsTest)
#include "StoredRowsTest.moc"
