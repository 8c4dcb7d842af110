#include "Driver.h"
#include "ui/Toolkit.h"
#include "ui/TypedText.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace radici {

class WindowKitTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesAreTitledPlainAndSafe() {
        // Enter takes No; the access key of Yes says yes.
        for (const auto& [question, key, yes] :
             QList<std::tuple<bool, Qt::Key, bool>>{{false, Qt::Key_Return, false},
                                                    {true, Qt::Key_Return, false},
                                                    {true, Qt::Key_Y, true}}) {
            QString shown;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box == nullptr) return;
                shown = box->windowTitle() + u'|' + box->text() + u'|' +
                        QString::number(box->textFormat());
                QTest::keyClick(box, key);
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
    }

    void boxesKeepWholePrintableText_data() {
        const QString emoji = QStringLiteral("😀");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");  // by a box of ten
        QTest::newRow("accents to the limit") << false << QString(12, u'È') << QString(10, u'È');
        QTest::newRow("typed emoji beyond") << false << "Nicolò Ab" + emoji << "Nicolò Ab";
        QTest::newRow("pasted emoji cut in half") << true << "ABCDEFGHI" + emoji << "ABCDEFGHI";
        QTest::newRow("line breaks and tabs") << true << "Ro\r\nSu\tEst"
                                              << "Ro  Su Est";
        QTest::newRow("half a pair")
            << true << "Ab" + emoji.left(1) + "c" + emoji.right(1) << "Abc";
    }

    void boxesKeepWholePrintableText() {
        QFETCH(bool, pasted);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QWidget window;
        auto* box = new QLineEdit(&window);
        box->setObjectName("box");
        box->setMaxLength(10);
        (new QVBoxLayout(&window))->addWidget(box);
        KeepTypedTextWhole(window);
        window.show();
        pasted ? Paste(window, "box", text) : Type(window, "box", text);
        QCOMPARE(box->text(), kept);
    }
};

}  // namespace radici

QTEST_MAIN(radici::WindowKitTest)
#include "WindowKitTest.moc"
