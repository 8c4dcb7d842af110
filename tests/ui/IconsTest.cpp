#include "ScriptedToolkit.h"
#include "app/AboutBox.h"
#include "app/SystemInfo.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"
#include "ui/Icons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace radici {
namespace {

QImage Comparable(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The picture committed beside the SVG it was rendered from.
QImage CommittedPicture(const QString& name, int side) {
    const QString path = QStringLiteral(RADICI_ICONS_DIR "/%1-%2.png").arg(name).arg(side);
    const QImage picture(path);
    if (picture.isNull()) qFatal("missing picture %s", qPrintable(path));
    return Comparable(picture);
}

QImage ShownPicture(const QIcon& icon, int side) {
    return Comparable(icon.pixmap(side, side).toImage());
}

}  // namespace

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    // A resource left out of the program shows as an empty picture, not as an error.
    void applicationIconComesInEveryRenderedSize() {
        const QIcon icon = ApplicationIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
        for (const int side : {16, 32, 48, 256}) {
            QCOMPARE(ShownPicture(icon, side), CommittedPicture(QStringLiteral("radici"), side));
        }
    }

    void windowsShowTheirOwnButtonPictures() {
        ScriptedToolkit toolkit;
        AppContext context(toolkit, QStringLiteral("radicidb.mdb"));
        const RegistryWindow registry(context);
        const RelationsWindow relations(context);

        const auto* search = registry.findChild<QAbstractButton*>(QStringLiteral("Command1"));
        const auto* choosePerson =
            relations.findChild<QAbstractButton*>(QStringLiteral("Command6"));
        QVERIFY(search && choosePerson);
        QCOMPARE(ShownPicture(search->icon(), 16), CommittedPicture(QStringLiteral("search"), 16));
        QCOMPARE(ShownPicture(choosePerson->icon(), 16),
                 CommittedPicture(QStringLiteral("choose-person"), 16));
    }

    // The program sets its icon at start; the About box shows that same tree.
    void aboutBoxShowsTheApplicationIcon() {
        QApplication::setWindowIcon(ApplicationIcon());
        ScriptedToolkit toolkit;
        HostSystemInfo platform;
        AboutBox about(toolkit, platform);
        about.show();

        const auto* picture = about.findChild<QLabel*>(QStringLiteral("picIcon"));
        QVERIFY(picture);
        QCOMPARE(Comparable(picture->pixmap().toImage()),
                 CommittedPicture(QStringLiteral("radici"), 32));
    }
};

}  // namespace radici

QTEST_MAIN(radici::IconsTest)
#include "IconsTest.moc"
