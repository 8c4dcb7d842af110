// Run on a real X display (xcb), whose fonts differ from the offscreen platform's.
#include "ScriptedToolkit.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QAccessible>
#include <QRadioButton>
#include <QTest>

namespace radici {

class OptionWidthTest : public QObject {
    Q_OBJECT
private slots:
    // What a screen reader reports, and where a click takes: the whole width the form gives.
    void sexOptionsTakeTheirWholeWidth() {
        ScriptedToolkit toolkit;
        AppContext context(toolkit, "radicidb.mdb");
        RelationsWindow window(context);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const char* name : {"sesso_0", "sesso_1"}) {
            auto* option = window.findChild<QRadioButton*>(name);
            const QRect reported = QAccessible::queryAccessibleInterface(option)->rect();
            QCOMPARE(reported.width(), 73);
        }
    }
};

}  // namespace radici

QTEST_MAIN(radici::OptionWidthTest)
#include "OptionWidthTest.moc"
