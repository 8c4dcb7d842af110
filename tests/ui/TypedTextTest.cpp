#include "Driver.h"
#include "ui/TypedText.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace radici {

const QString Emoji = QStringLiteral("😀");

class TypedTextTest : public QObject {
    Q_OBJECT

private slots:
    void boxesKeepWholePrintableText_data() {
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("accents to the limit") << false << QString(12, u'È') << QString(10, u'È');
        QTest::newRow("typed emoji beyond the limit")
            << false << "Nicolò Ab" + Emoji << "Nicolò Ab";
        QTest::newRow("pasted emoji cut in half") << true << "ABCDEFGHI" + Emoji + "B"
                                                  << "ABCDEFGHI";
        QTest::newRow("pasted emoji") << true << Emoji.repeated(6) << Emoji.repeated(5);
        QTest::newRow("line breaks and tabs") << true << "Ro\r\nSu\tEst"
                                              << "Ro  Su Est";
        QTest::newRow("half a pair")
            << true << "Ab" + Emoji.left(1) + "c" + Emoji.right(1) << "Abc";
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

QTEST_MAIN(radici::TypedTextTest)
#include "TypedTextTest.moc"
