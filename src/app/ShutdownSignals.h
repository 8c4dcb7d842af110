#pragma once

#include <QObject>

class QSocketNotifier;

namespace radici {

class QtToolkit;

// Ends the program cleanly on SIGTERM, SIGHUP and SIGINT (a logout, a shutdown, Ctrl+C). The
// signal only writes a byte to a socket; the event loop then answers open questions No, closes
// the open windows as their close boxes do (storing nothing the user has not confirmed, and
// cancelling work in progress, which then rolls back whole) and ends, so that main closes the
// database and releases its lock.
class ShutdownSignals : public QObject {
public:
    explicit ShutdownSignals(QtToolkit& toolkit);
    ~ShutdownSignals() override;

private:
    void closeEverything();

    QtToolkit& toolkit_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace radici
