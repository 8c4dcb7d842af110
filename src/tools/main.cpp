#include "common/QtTexts.h"
#include "tools/DatabaseTool.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QtMessageHandler qtHandler = nullptr;

// Drawing needs no runtime folder, so Qt's warning that the session has none would only puzzle.
void WithoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context,
                                 const QString& message) {
    if (message.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
    qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Only a chart needs fonts, hence Qt's GUI; it shows no window, so it needs no display.
    const bool drawsChart = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return !std::strcmp(argument, "chart");
    });
    std::unique_ptr<QCoreApplication> application;
    if (drawsChart) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qtHandler = qInstallMessageHandler(WithoutRuntimeFolderWarning);
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("radici-db"));

    radici::InstallItalianQtTexts();

    QTextStream out(stdout);
    QTextStream err(stderr);
    return radici::RunDatabaseTool(QCoreApplication::arguments(), out, err);
}
