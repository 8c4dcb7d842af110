#include "TestDatabase.h"
#include "store/DatabaseConnection.h"
#include "store/IndexRebuild.h"

#include <QTest>
#include <algorithm>

namespace radici {

class IndexRebuildTest : public QObject {
    Q_OBJECT

    static QStringList IndexRows(TestDatabase& db) {
        return db.column(
            "select type || '|' || name || '|' || tbl_name || '|' || sql "
            "from sqlite_master where type = 'index' order by name");
    }

private slots:

    // Indexes another tool made, with a name to quote, columns in their own order, a collation
    // and uniqueness, come back exactly as the file had them.
    void indexesAreBuiltAgainAsTheFileHadThem() {
        TestDatabase db;
        db.execute(
            "create unique index \"nomi \"\"altri\"\"\" on anagrafica (nome desc, "
            "cognome collate nocase, idrecord); create index relazioni_verso on "
            "relazioni (idsesso, idfigli)");
        const QStringList before = IndexRows(db);
        DatabaseConnection connection;
        QVERIFY(connection.open(db.path()).ok());
        const Status done = connection.runInTransaction([&] {
            Result<IndexRebuild> dropped = IndexRebuild::dropIndexes(
                *connection.database(),
                {QStringLiteral("anagrafica"), QStringLiteral("RELAZIONI")});
            if (!dropped.ok()) return dropped.status();
            const std::vector<StoredIndex>& indexes = dropped.value().indexes();
            const auto custom =
                std::find_if(indexes.begin(), indexes.end(),
                             [](const StoredIndex& i) { return i.name == "nomi \"altri\""; });
            if (indexes.size() != 7 || custom == indexes.end() || !custom->unique ||
                custom->columns != QStringList{"nome", "cognome", "idrecord"})
                return Status::failure(1, QStringLiteral("indexes read wrong"));
            return dropped.value().rebuild();
        });
        QVERIFY2(done.ok(), qPrintable(done.description()));
        QCOMPARE(IndexRows(db), before);
    }

    // A cancel between two indexes, and a repeated key that only the rebuilt unique index sees,
    // both roll back to the file as it was.
    void aCancelOrARepeatedKeyLeavesTheFileAsItWas() {
        TestDatabase db;
        const QString key = db.addPerson("SALA", "PIETRO", "01/01/1900");
        const QByteArray before = FileBytes(db.path());
        DatabaseConnection connection;
        QVERIFY(connection.open(db.path()).ok());
        for (const bool cancel : {true, false}) {
            int asked = 0;
            const Status done = connection.runInTransaction([&] {
                Result<IndexRebuild> dropped =
                    IndexRebuild::dropIndexes(*connection.database(), {"anagrafica"});
                if (!dropped.ok()) return dropped.status();
                Person twin;
                twin.idrecord = key;
                twin.cognome = QStringLiteral("SALA");
                if (Status added = cancel ? Status::success() : connection.anagrafica().add(twin);
                    !added.ok())
                    return added;
                return dropped.value().rebuild([&](int built, int) {
                    ++asked;
                    return cancel && built == 1 ? Status::failure(7, QStringLiteral("annullata"))
                                                : Status::success();
                });
            });
            QCOMPARE(done.number(), cancel ? 7 : EngineError::DuplicateKey);
            QCOMPARE(asked, cancel ? 2 : 1);
            if (!cancel) QVERIFY2(done.description().contains(key), qPrintable(done.description()));
            QCOMPARE(FileBytes(db.path()), before);
        }
        QCOMPARE(db.personCount(), 1);
    }
};

}  // namespace radici

QTEST_GUILESS_MAIN(radici::IndexRebuildTest)
#include "IndexRebuildTest.moc"
