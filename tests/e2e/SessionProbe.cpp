// What the end-to-end session and the screenshot script need to know about the real program
// without reading its screen: where a control lies inside its window.
//
//   session_probe where registry|relations CONTROL   prints "x y", the control's centre in the
//                                                    window's client area, in pixels
#include "ScriptedToolkit.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "store/DatabaseConnection.h"
#include "ui/AppContext.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>
#include <QWidget>
#include <memory>

namespace radici {
namespace {

constexpr int Succeeded = 0;
constexpr int Failed = 1;
constexpr int Misused = 2;

std::unique_ptr<QWidget> MakeWindow(const QString& form, AppContext& context) {
    if (form == QLatin1String("registry")) return std::make_unique<RegistryWindow>(context);
    if (form == QLatin1String("relations")) return std::make_unique<RelationsWindow>(context);
    return nullptr;
}

// The windows are built from the same forms and code as in the program, so their controls lie
// where the program's do.
int PrintWhere(const QString& form, const QString& controlName, QTextStream& out,
               QTextStream& err) {
    ScriptedToolkit toolkit;
    AppContext context(toolkit, DatabaseConnection::FileName);
    const std::unique_ptr<QWidget> window = MakeWindow(form, context);
    if (!window) {
        err << "session_probe: no window " << form << "\n";
        return Misused;
    }
    const auto* control = window->findChild<QWidget*>(controlName);
    if (!control) {
        err << "session_probe: no control " << controlName << " in " << form << "\n";
        return Failed;
    }
    const QPoint centre = control->mapTo(window.get(), control->rect().center());
    out << centre.x() << ' ' << centre.y() << '\n';
    return Succeeded;
}

}  // namespace
}  // namespace radici

int main(int argc, char* argv[]) {
    // Nothing of the probe's own ever appears on the display the session uses.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("where")) {
        return radici::PrintWhere(arguments[2], arguments[3], out, err);
    }
    err << "usage: session_probe where registry|relations CONTROL\n";
    return radici::Misused;
}
