#include "store/DatabaseLock.h"

#include "store/StagedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <csignal>

namespace radici {

namespace {

constexpr qint64 LongestLock = 4096;

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QByteArray ProgramOf(qint64 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
}

// Running, and (where the system says) the same program: a reused number is another process.
bool CopyRunning(qint64 pid) {
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)) return false;
    const QByteArray program = ProgramOf(pid);
    return program.isEmpty() || program == ProgramOf(::getpid());
}

// The lock's lines, read without following a link; none when it is not a regular file.
QList<QByteArray> LockLines(const QString& path) {
    const int handle = ::open(Native(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) return {};
    QFile file;
    QByteArray text;
    if (file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        text = file.read(LongestLock);
    else
        ::close(handle);
    return text.split('\n');
}

}  // namespace

DatabaseLock::DatabaseLock(QString path) : path_(std::move(path)) {}

DatabaseLock::~DatabaseLock() { unlock(); }

DatabaseLock::Holder DatabaseLock::tryLock() {
    if (held_) return Holder::Nobody;
    // Two copies taking over the same dead lock: the loser reads the winner's lock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Holder found = holder();
        if (found != Holder::Nobody) return found;
        take();
        if (held_ || (!QFileInfo(path_).isSymLink() && !QFileInfo::exists(path_)))
            return Holder::Nobody;
    }
    return holder();
}

void DatabaseLock::takeOver() {
    ::unlink(Native(path_).constData());
    take();
}

// Who holds the lock; a lock nobody can hold is removed on the way.
DatabaseLock::Holder DatabaseLock::holder() {
    const QByteArray name = Native(path_);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) return Holder::Nobody;
    if (S_ISDIR(status.st_mode)) {
        ::rmdir(name.constData());
        return Holder::Nobody;
    }
    const QList<QByteArray> lines = LockLines(path_);
    bool number = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
    const QString host = QString::fromUtf8(lines.value(2).trimmed());
    if (S_ISREG(status.st_mode) && number && pid > 0 && !host.isEmpty()) {
        if (host != QSysInfo::machineHostName()) {
            otherHost_ = host;
            return Holder::OtherComputer;
        }
        if (CopyRunning(pid)) return Holder::CopyOnThisComputer;
    }
    ::unlink(name.constData());
    return Holder::Nobody;
}

// Written whole under a staging name, then linked in: the lock never appears empty.
void DatabaseLock::take() {
    StagedFile staged(path_);
    if (!staged.created()) return;
    QFile file(staged.path());
    const QByteArray text =
        QByteArray::number(::getpid()) + "\nRadici\n" + QSysInfo::machineHostName().toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return;
    file.close();
    held_ = staged.publish(ExistingCopy::Refuse).ok();
}

void DatabaseLock::unlock() {
    if (!held_) return;
    // A copy elsewhere may have taken over meanwhile: its lock stays.
    if (LockLines(path_).value(0) == QByteArray::number(::getpid()))
        ::unlink(Native(path_).constData());
    held_ = false;
}

}  // namespace radici
