#include "TestDatabase.h"
#include "store/DatabaseConnection.h"
#include "store/IndexRebuild.h"

#include <QTest>

namespace radici {

class IndexRebuildTest : public QObject {
    Q_OBJECT

private slots:

    // A cancel between two indexes, or a key repeated by the time its index is built, rolls back
    // to the file as it was; otherwise the indexes come back as the file had them, those another
    // tool made included (a name to quote, columns in their own order, a collation, uniqueness).
    void indexesComeBackAsTheFileHadThemOrNotAtAll() {
        TestDatabase db;
        const QString key = db.addPerson("SALA", "PIETRO", "01/01/1900");
        db.execute(
            "create unique index \"nomi \"\"altri\"\"\" on anagrafica (nome desc, "
            "cognome collate nocase, idrecord); create index verso on relazioni (idsesso, "
            "idfigli)");
        const QString indexes =
            "select name || ': ' || sql from sqlite_master where type = 'index' order by name";
        const QStringList before = db.column(indexes);
        const QByteArray bytes = FileBytes(db.path());
        DatabaseConnection connection;
        QVERIFY(connection.open(db.path()).ok());
        int total = 0;
        for (const int stop : {7, EngineError::DuplicateKey, 0}) {
            const Status done = connection.runInTransaction([&] {
                Result<IndexRebuild> dropped =
                    IndexRebuild::dropIndexes(*connection.database(), {"anagrafica", "RELAZIONI"});
                if (!dropped.ok()) return dropped.status();
                Person twin;
                twin.idrecord = key;
                if (stop == EngineError::DuplicateKey)
                    if (Status added = connection.anagrafica().add(twin); !added.ok()) return added;
                return dropped.value().rebuild([&](int built, int of) {
                    total = of;
                    return stop == 7 && built == 3 ? Status::failure(7, "annullata")
                                                   : Status::success();
                });
            });
            QCOMPARE(done.number(), stop);
            if (stop) QCOMPARE(FileBytes(db.path()), bytes);
            if (stop == EngineError::DuplicateKey) QVERIFY(done.description().contains(key));
        }
        QCOMPARE(total, 7);
        QCOMPARE(db.column(indexes), before);
    }
};

}  // namespace radici

QTEST_GUILESS_MAIN(radici::IndexRebuildTest)
#include "IndexRebuildTest.moc"
