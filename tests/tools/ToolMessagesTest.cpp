#include "tools/DatabaseTool.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace radici {

class ToolMessagesTest : public QObject {
    Q_OBJECT
private slots:
    // The system's own words are English: each refusal is said in Italian.
    void refusalsAreItalian() {
        QTemporaryDir folder;
        const QStringList paths{folder.filePath("nuova/"), folder.filePath(QString(300, 'x')),
                                folder.filePath("manca/radicidb.mdb")};
        const QStringList reasons{"è una cartella", "troppo lungo", "non esiste"};
        for (qsizetype at = 0; at < paths.size(); ++at) {
            QString output, errors;
            QTextStream out(&output), err(&errors);
            QCOMPARE_NE(RunDatabaseTool({"radici-db", "init", paths[at]}, out, err), 0);
            err.flush();
            QVERIFY2(errors.contains(reasons[at]) && !errors.contains('('), qPrintable(errors));
        }
    }
};

}  // namespace radici

QTEST_MAIN(radici::ToolMessagesTest)
#include "ToolMessagesTest.moc"
