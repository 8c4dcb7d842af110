#include "app/ShutdownSignals.h"

#include "ui/Toolkit.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>

namespace radici {

namespace {

int signalSocket[2] = {-1, -1};  // the handler writes to [0], the event loop reads [1]
constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Only what is safe inside a signal handler.
void OnEndingSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = saved;
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

ShutdownSignals::ShutdownSignals(QtToolkit& toolkit) : toolkit_(toolkit) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket) != 0)
        return;
    notifier_ = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::closeEverything);
    for (int signal : EndingSignals) Handle(signal, OnEndingSignal);
}

ShutdownSignals::~ShutdownSignals() {
    if (!notifier_) return;
    for (int signal : EndingSignals) Handle(signal, SIG_DFL);
    ::close(signalSocket[0]);
    ::close(signalSocket[1]);
}

// Runs in whichever event loop is turning: innermost windows close first.
void ShutdownSignals::closeEverything() {
    char bytes[16];
    while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
    }
    toolkit_.answerNoFromNowOn();
    // A window that refuses to close would otherwise be met again and again.
    for (QWidget* last = nullptr; QWidget* modal = QApplication::activeModalWidget();) {
        if (modal == last) break;
        modal->close();
        last = modal;
    }
    QCoreApplication::exit(0);
}

}  // namespace radici
