#pragma once

#include <QString>

namespace radici {

// The file beside the database that tells other copies of Radici it is open: "pid", the
// program's name and the computer's name, one a line. Only a copy known to be running keeps
// others out; a lock no running copy can hold is taken over. The lock's name is never followed
// to write: a link there is removed, not written through.
class DatabaseLock {
public:
    // Who holds the lock when it could not be taken.
    enum class Holder { Nobody, CopyOnThisComputer, OtherComputer };

    explicit DatabaseLock(QString path);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // Takes the lock, unless a running copy on this computer or a copy on another computer holds
    // it. A lock left by a copy that has ended, or one no copy wrote (empty, garbage, a link, an
    // empty folder), is taken over silently. Nobody also when no lock can be made here (a folder
    // that cannot be written): nobody is there to keep out.
    Holder tryLock();
    // Takes over the lock of another computer, once the user says that copy is closed.
    void takeOver();
    void unlock();

    const QString& path() const { return path_; }
    // The computer named by a lock that OtherComputer holds.
    const QString& otherHost() const { return otherHost_; }

private:
    Holder holder();
    void take();

    QString path_;
    QString otherHost_;
    bool held_ = false;
};

}  // namespace radici
