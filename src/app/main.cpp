#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/ShutdownSignals.h"
#include "app/SystemInfo.h"
#include "common/QtTexts.h"
#include "common/Version.h"
#include "ui/AppContext.h"
#include "ui/Icons.h"
#include "ui/Toolkit.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Radici"));
    QApplication::setApplicationVersion(radici::ProgramVersion());
    radici::InstallItalianQtTexts();
    // Every window, and the About box's picture, take the icon from here; the desktop entry's
    // name lets a desktop match the running program to its entry.
    QApplication::setWindowIcon(radici::ApplicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("radici"));

    radici::QtToolkit toolkit;
    // The database is looked up in the working folder, never anywhere else.
    radici::AppContext context(toolkit,
                               QDir::current().filePath(radici::DatabaseConnection::FileName));
    radici::HostSystemInfo platform;
    radici::MainWindow window(context, platform);
    const radici::ShutdownSignals endingSignals(toolkit);
    window.show();
    const int code = QApplication::exec();
    // A signal ends the event loop with the window still open: closing it closes the database
    // and releases the lock.
    if (window.isVisible()) window.closeOnSignal();
    return code;
}
