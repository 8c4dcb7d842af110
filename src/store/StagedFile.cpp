#include "StagedFile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace radici {

namespace {

const QString Prefix = QStringLiteral(".radici-tmp-");

// The computer's name in hexadecimal, so that it holds no separator of the staging name.
QString ThisHost() {
    static const QString host = QString::fromLatin1(QSysInfo::machineHostName().toUtf8().toHex());
    return host;
}

// ".radici-tmp-PID-HOST-NAME": NAME keeps the chosen name's extension, which some writers read.
QString StagingName(const QString& finalName) {
    return Prefix + QString::number(::getpid()) + u'-' + ThisHost() + u'-' + finalName;
}

bool ProcessEnded(qint64 pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

Status NotNamed(const QString& path) {
    return Status::failure(SQLITE_CANTOPEN,
                           QStringLiteral("Impossibile dare al file il nome \"%1\" (%2): "
                                          "controlla la cartella e i suoi permessi, poi riprova.")
                               .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                    QString::fromLocal8Bit(std::strerror(errno))));
}

// Where the folder's file system cannot rename without replacing, a hard link does the same.
int RenameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    if (::link(from.constData(), to.constData()) != 0) return -1;
    return ::unlink(from.constData());
}

}  // namespace

Status RefuseExisting(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink()) return Status::success();
    return Status::failure(SQLITE_CANTOPEN,
                           QStringLiteral("Il file \"%1\" esiste già e non viene sovrascritto: "
                                          "scegli un altro nome.")
                               .arg(QDir::toNativeSeparators(file.absoluteFilePath())));
}

StagedFile::StagedFile(const QString& finalPath) : finalPath_(finalPath) {
    const QFileInfo target(finalPath);
    if (target.fileName().isEmpty()) {  // "folder/": the name of a folder
        creationError_ = EISDIR;
        return;
    }
    RemoveLeftovers(target.absolutePath());
    path_ = target.absoluteDir().filePath(StagingName(target.fileName()));
    errno = 0;
    const int fd = ::open(Native(path_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        creationError_ = errno ? errno : EIO;
        return;
    }
    ::close(fd);
}

StagedFile::~StagedFile() {
    if (published_ || !created()) return;
    QFile::remove(path_);
    QFile::remove(path_ + QStringLiteral("-journal"));
}

Status StagedFile::publish(ExistingCopy existing) {
    const QByteArray from = Native(path_);
    const QByteArray to = Native(finalPath_);
    const int renamed = existing == ExistingCopy::Replace
                            ? std::rename(from.constData(), to.constData())
                            : RenameNoReplace(from, to);
    if (renamed != 0) return errno == EEXIST ? RefuseExisting(finalPath_) : NotNamed(finalPath_);
    published_ = true;
    return Status::success();
}

void StagedFile::RemoveLeftovers(const QString& folder) {
    static const QRegularExpression staging(
        QStringLiteral("^\\.radici-tmp-([0-9]+)-([0-9a-f]*)-.+$"));
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({Prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = staging.match(name);
        if (!match.hasMatch() || match.captured(2) != ThisHost()) continue;
        if (ProcessEnded(match.captured(1).toLongLong())) QFile::remove(dir.filePath(name));
    }
}

}  // namespace radici
