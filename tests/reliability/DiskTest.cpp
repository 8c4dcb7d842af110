// Writes that the disk refuses, because it is full or the file or its folder cannot be written,
// and a failure that ends a transaction by itself: the user is told why, and neither the file
// nor what the windows show changes.
#include "Operations.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <QFile>
#include <QTest>

namespace radici {
namespace {

constexpr int DiskFull = 13;  // the engine's number for a full disk
const QString FullDisk = QStringLiteral("disco è pieno");
const QString ReadOnlyFile = QStringLiteral("sola lettura");
const QString Cancelled =
    QStringLiteral("Si è verificato un errore. La procedura è stata annullata");

// Makes a file or a folder unwritable while it lives, even for root, who ignores permissions:
// root sets the file system's immutable attribute, anybody else takes away the write permission.
class Unwritable {
public:
    explicit Unwritable(QString path) : path_(std::move(path)) { made_ = change(true); }
    ~Unwritable() {
        if (made_) change(false);
    }
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

    bool made() const { return made_; }

private:
    bool change(bool unwritable) {
        if (geteuid() != 0) {
            if (unwritable) permissions_ = QFile::permissions(path_);
            constexpr QFileDevice::Permissions writing =
                QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup |
                QFileDevice::WriteOther;
            return QFile::setPermissions(path_,
                                         unwritable ? permissions_ & ~writing : permissions_);
        }
        const int file = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        if (file < 0) return false;
        int flags = 0;
        bool changed = ::ioctl(file, FS_IOC_GETFLAGS, &flags) == 0;
        if (changed) {
            flags = unwritable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            changed = ::ioctl(file, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(file);
        return changed;
    }

    QString path_;
    QFileDevice::Permissions permissions_;
    bool made_ = false;
};

// A disk that is full for the database file: a write that would make the file longer fails as the
// operating system fails it, while the journal beside it can still be written. Installed as the
// engine's default file layer, under every connection opened afterwards; the files themselves
// are the engine's own, only their write method is wrapped.
class FullDiskLayer {
public:
    FullDiskLayer() : base_(sqlite3_vfs_find(nullptr)), vfs_(*base_) {
        vfs_.zName = "radici-full-disk";
        vfs_.szOsFile = base_->szOsFile + static_cast<int>(sizeof(Extra));
        vfs_.xOpen = &FullDiskLayer::open;
        active_ = this;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~FullDiskLayer() {
        sqlite3_vfs_unregister(&vfs_);
        active_ = nullptr;
    }
    FullDiskLayer(const FullDiskLayer&) = delete;
    FullDiskLayer& operator=(const FullDiskLayer&) = delete;

    // From now on no database file grows.
    void fill() { full_ = true; }

private:
    struct Extra {
        const sqlite3_io_methods* real;
        bool mainDatabase;
    };

    static Extra& extra(sqlite3_file* file) {
        return *reinterpret_cast<Extra*>(reinterpret_cast<char*>(file) + active_->base_->szOsFile);
    }

    static int open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* out) {
        const int rc = active_->base_->xOpen(active_->base_, name, file, flags, out);
        if (rc != SQLITE_OK || file->pMethods == nullptr) return rc;
        extra(file) = {file->pMethods, (flags & SQLITE_OPEN_MAIN_DB) != 0};
        active_->methods_ = *file->pMethods;
        active_->methods_.xWrite = &FullDiskLayer::write;
        file->pMethods = &active_->methods_;
        return SQLITE_OK;
    }

    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
        const Extra& own = extra(file);
        sqlite3_int64 size = 0;
        if (own.mainDatabase && active_->full_ && own.real->xFileSize(file, &size) == SQLITE_OK &&
            offset + amount > size)
            return SQLITE_FULL;
        return own.real->xWrite(file, data, amount, offset);
    }

    static inline FullDiskLayer* active_ = nullptr;
    sqlite3_vfs* base_;
    sqlite3_vfs vfs_;
    sqlite3_io_methods methods_{};
    bool full_ = false;
};

void AddWriteRows(const QStringList& names) {
    QTest::addColumn<QString>("operation");
    for (const QString& name : names) QTest::newRow(qPrintable(name)) << name;
}

// Adds small rows through the program's connection until every table of a file that may not
// grow is full: the next row that needs a new page is refused, as on a full disk.
void FillToTheBrim(DatabaseConnection& connection) {
    const std::vector<std::function<Status(const QString&)>> adders = {
        [&](const QString& key) {
            Person filler;
            filler.idrecord = key;
            return connection.anagrafica().add(filler);
        },
        [&](const QString& key) {
            return connection.relazioni().upsert({key, key, Male});
        },
        [&](const QString& key) {
            return connection.matrimoni().upsert({key, key, QDate()});
        }};
    for (const auto& add : adders) {
        for (int row = 0;; ++row) {
            const Status added = add(QStringLiteral("F%1").arg(row, 15, 10, QChar(u'0')));
            if (added.is(DiskFull)) break;
            QVERIFY2(added.ok(), qPrintable(added.description()));
            QVERIFY2(row < 10000, "the file keeps growing");
        }
    }
}

// Does the operation, which must be refused with a message giving the reason, leaving the
// windows and the file as they were.
void VerifyRefused(Session& session, TestDatabase& database, const Family& family,
                   const Operation& operation, const QString& reason) {
    const QStringList file = FileContents(database, family);
    const QStringList screen = operation.screen(session);
    session.toolkit.clearMessages();
    operation.act(session);

    const QString messages = session.toolkit.texts().join(QStringLiteral(" / "));
    QVERIFY2(messages.contains(reason), qPrintable(messages));
    QCOMPARE(operation.screen(session), screen);
    QCOMPARE(FileContents(database, family), file);
    QVERIFY(!operation.done(session, database));
}

}  // namespace

class DiskTest : public QObject {
    Q_OBJECT

private slots:
    void fullDiskRefusesWritesThatNeedRoom_data();
    void fullDiskRefusesWritesThatNeedRoom();
    void unwritableStorageRefusesEveryWrite_data();
    void unwritableStorageRefusesEveryWrite();
    void failureThatEndsTheTransactionCancelsTheWholeDeletion();
};

// Removing and deleting free room, so only the writes that add to the file are refused.
void DiskTest::fullDiskRefusesWritesThatNeedRoom_data() {
    AddWriteRows({"create", "correct", "save"});
}

void DiskTest::fullDiskRefusesWritesThatNeedRoom() {
    QFETCH(QString, operation);
    TestDatabase database;
    const Family family(database);
    FullDiskLayer disk;
    Session session(database.path());
    disk.fill();
    FillToTheBrim(session.context.connection);
    if (QTest::currentTestFailed()) return;

    const Operation write = Named(Writes(family), operation);
    write.prepare(session);
    VerifyRefused(session, database, family, write, FullDisk);
}

// A read-only file, or a folder where the journal the engine makes beside the file for each
// write cannot be created.
void DiskTest::unwritableStorageRefusesEveryWrite_data() {
    QTest::addColumn<bool>("folderOnly");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("advice");
    for (const bool folderOnly : {false, true}) {
        for (const char* name : {"create", "correct", "save", "remove", "delete"}) {
            QTest::addRow("%s %s", folderOnly ? "folder" : "file", name)
                << folderOnly << QString::fromLatin1(name)
                << (folderOnly ? QStringLiteral("cartella") : ReadOnlyFile);
        }
    }
}

void DiskTest::unwritableStorageRefusesEveryWrite() {
    QFETCH(bool, folderOnly);
    QFETCH(QString, operation);
    QFETCH(QString, advice);
    TestDatabase database;
    const Family family(database);
    const Unwritable storage(folderOnly ? database.folder() : database.path());
    if (!storage.made()) QSKIP("this file system cannot make it unwritable");
    Session session(database.path());
    QVERIFY(session.context.connection.isOpen());

    const Operation write = Named(Writes(family), operation);
    write.prepare(session);
    VerifyRefused(session, database, family, write, advice);
}

// A failure that the engine answers by rolling back the whole transaction, as it may for a full
// disk or a failed write: the deletions after it must not go on, each committed alone.
void DiskTest::failureThatEndsTheTransactionCancelsTheWholeDeletion() {
    TestDatabase database;
    const Family family(database);
    database.link(family.paolo, family.mario, Male);
    database.execute(
        QStringLiteral("create trigger interrupt before delete on matrimoni "
                       "begin select raise(rollback, 'interrotto'); end"));
    Session session(database.path());

    const Operation deletion = Named(Writes(family), QStringLiteral("delete"));
    deletion.prepare(session);
    VerifyRefused(session, database, family, deletion, QStringLiteral("interrotto"));
    QCOMPARE(session.toolkit.texts().last(), Cancelled);
}

}  // namespace radici

QTEST_MAIN(radici::DiskTest)
#include "DiskTest.moc"
