// What the end-to-end session and the screenshot script need to know about the real program
// without reading its screen: where a control lies inside its window.
//
//   session_probe where registry|relations CONTROL   prints "x y", the control's centre in the
//                                                    window's client area, in pixels
#include "ScriptedToolkit.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"

#include <QApplication>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // Nothing of the probe's own ever appears on the display the session uses.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4 || arguments[1] != "where" ||
        (arguments[2] != "registry" && arguments[2] != "relations")) {
        std::fprintf(stderr, "usage: session_probe where registry|relations CONTROL\n");
        return 2;
    }
    // The windows are built from the same forms and code as in the program, so their controls
    // lie where the program's do.
    radici::ScriptedToolkit toolkit;
    radici::AppContext context(toolkit, radici::DatabaseConnection::FileName);
    std::unique_ptr<QWidget> window;
    if (arguments[2] == "registry") window = std::make_unique<radici::RegistryWindow>(context);
    if (arguments[2] == "relations") window = std::make_unique<radici::RelationsWindow>(context);
    const auto* control = window->findChild<QWidget*>(arguments[3]);
    if (!control) {
        std::fprintf(stderr, "session_probe: no control %s\n", qPrintable(arguments[3]));
        return 1;
    }
    const QPoint centre = control->mapTo(window.get(), control->rect().center());
    std::printf("%d %d\n", centre.x(), centre.y());
    return 0;
}
