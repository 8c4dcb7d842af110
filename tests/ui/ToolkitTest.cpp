#include "ui/Toolkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace radici {

class ToolkitTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesAreTitledPlainAndSafe_data() {
        QTest::addColumn<bool>("question");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("yes");
        QTest::newRow("information") << false << int(Qt::Key_Return) << false;
        QTest::newRow("Enter takes No") << true << int(Qt::Key_Return) << false;
        QTest::newRow("Esc refuses") << true << int(Qt::Key_Escape) << false;
        QTest::newRow("access key of Yes") << true << int(Qt::Key_Y) << true;
    }

    void messageBoxesAreTitledPlainAndSafe() {
        QFETCH(bool, question);
        QFETCH(int, key);
        QFETCH(bool, yes);
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            shown =
                box->windowTitle() + u'|' + box->text() + u'|' + QString::number(box->textFormat());
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        });
        QtToolkit toolkit;
        if (question)
            QCOMPARE(toolkit.confirm(nullptr, "Prima riga\r<b>seconda</b>"), yes);
        else
            toolkit.inform(nullptr, "Prima riga\r<b>seconda</b>");
        // Names typed by users are never read as markup.
        QCOMPARE(shown, ApplicationTitle + "|Prima riga\n<b>seconda</b>|" +
                            QString::number(Qt::PlainText));
    }
};

}  // namespace radici

QTEST_MAIN(radici::ToolkitTest)
#include "ToolkitTest.moc"
