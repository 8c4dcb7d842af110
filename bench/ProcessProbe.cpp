// process-probe: the program as main() starts it, in the working folder with its radicidb.mdb,
// stopping as soon as the main window has been painted for the first time. It then writes one line
// and ends:
//   process-probe startup         writes "shown"
//   process-probe memory TEXT     first searches TEXT by surname in the registry window, then
//                                 writes "peak <MiB>" (the process's peak resident memory)
#include "Floor.h"
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SystemInfo.h"
#include "common/Version.h"
#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// Runs the action once, after the first paint of the watched widget has finished.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget& watched, std::function<void()> action)
        : watched_(watched), action_(std::move(action)) {
        watched_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == &watched_ && event->type() == QEvent::Paint) {
            watched_.removeEventFilter(this);
            QTimer::singleShot(0, this, action_);
        }
        return false;
    }

private:
    QWidget& watched_;
    std::function<void()> action_;
};

void Say(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The largest search result held in the registry window, as a user would leave it.
void SearchAndReport(radici::AppContext& context, const QString& text) {
    radici::RegistryWindow registry(context);
    registry.show();
    registry.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(text);
    registry.findChild<QAbstractButton*>(QStringLiteral("Command1"))->click();
    QCoreApplication::processEvents();
    const bool shown = registry.findChild<QLabel*>(QStringLiteral("Label15"))
                           ->text()
                           .startsWith(QStringLiteral("1/"));
    radici::bench::ReportPeak(shown);
}

}  // namespace

int main(int argc, char* argv[]) {
    // The same start as the program's own main().
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Radici"));
    QApplication::setApplicationVersion(radici::ProgramVersion());
    radici::QtToolkit toolkit;
    radici::AppContext context(toolkit,
                               QDir::current().filePath(radici::DatabaseConnection::FileName));
    radici::HostSystemInfo platform;
    radici::MainWindow window(context, platform);

    const QStringList arguments = QCoreApplication::arguments();
    const bool memory = arguments.value(1) == QLatin1String("memory");
    const FirstPaint watcher(window, [&] {
        if (memory) {
            SearchAndReport(context, arguments.value(2));
        } else {
            Say(context.connection.isOpen() ? "shown" : "not open");
        }
        window.close();
    });
    window.show();
    return QApplication::exec();
}
