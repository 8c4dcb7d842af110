#include "ui/Icons.h"

#include <QString>
#include <initializer_list>

namespace radici {
namespace {

// Each picture is rendered from its SVG at a few sizes, so none is scaled at run time.
QIcon RenderedIcon(const QString& name, std::initializer_list<int> sides) {
    QIcon icon;
    for (const int side : sides) {
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(side), QSize(side, side));
    }
    return icon;
}

}  // namespace

QIcon ApplicationIcon() { return RenderedIcon(QStringLiteral("radici"), {16, 32, 48, 256}); }

QIcon SearchIcon() { return RenderedIcon(QStringLiteral("search"), {16, 24, 32}); }

QIcon ChoosePersonIcon() { return RenderedIcon(QStringLiteral("choose-person"), {16, 24, 32}); }

}  // namespace radici
