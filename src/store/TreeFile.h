#pragma once

#include "Backup.h"
#include "DatabaseConnection.h"
#include "DatabaseLock.h"
#include "Status.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace radici {

// A tree's file opened and checked on a connection of its own, with the lock that keeps other
// copies of Radici off it while it is open.
struct OpenedTree {
    std::unique_ptr<DatabaseLock> lock;
    std::unique_ptr<DatabaseConnection> connection;
};

// Whether to take over the lock of another computer, once the user says that copy is closed.
using ForeignLockQuestion = std::function<bool(const DatabaseLock& lock)>;

// Opens an existing file only while no other copy of Radici has it; never creates one. A lock of
// another computer is taken over only when takeOverForeignLock is given and says yes. A folder
// where the lock cannot be made (read-only) leaves nobody to coordinate with: the file is opened
// all the same.
Result<OpenedTree> OpenTreeFile(const QString& path,
                                const ForeignLockQuestion& takeOverForeignLock = {});

// An empty file with the program's password and schema at the path, which must not exist.
Status CreateEmptyDatabase(const QString& path);
// The same, made under another name and renamed into place only once complete, so that a file
// that is there (or appears meanwhile) is never overwritten and a half-made one never seen.
Status CreateTreeFile(const QString& path);

// "radicidb-prima-del-ripristino-AAAA-MM-GG-hhmmss.mdb" for that time.
QString SetAsideName(const QDateTime& when);
// Keeps the tree file aside under SetAsideName(when) in its folder and puts a
// copy of the file at copyPath in its place, the copy's own file untouched. The tree's name never
// lacks a file where links are possible. Returns the path of the file kept aside.
Result<QString> PutCopyInPlace(const QString& copyPath, const QString& treePath,
                               const QDateTime& when);

inline const QString AutomaticCopiesFolder = QStringLiteral("radicidb-copie");
inline constexpr int AutomaticCopiesKept = 10;

// A checked copy of the closed tree file into the copies folder beside it, named by the time;
// then only the newest automatic copies are kept, never another file of that folder. Returns the
// copy's path. The progress hears the pages copied, as for any backup.
Result<QString> MakeAutomaticCopy(const QString& treePath, const QDateTime& when,
                                  const BackupProgress& progress = {});

}  // namespace radici
