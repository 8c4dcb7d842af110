#include "Backup.h"

#include "Schema.h"
#include "StagedFile.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace radici {

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

Status CopyFailed(const QString& path, const QString& why) {
    return Status::failure(SQLITE_CANTOPEN,
                           QStringLiteral("Impossibile creare la copia di sicurezza \"%1\" (%2). "
                                          "Controlla che la cartella esista e sia scrivibile, "
                                          "poi riprova.")
                               .arg(Shown(path), why));
}

// Small steps keep the progress moving on a large tree.
constexpr int PagesPerStep = 256;

Status CopyPages(const Database& source, const Database& copy, const BackupProgress& progress) {
    sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
    if (!backup) return EngineFailure(copy.handle(), sqlite3_extended_errcode(copy.handle()));
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, PagesPerStep);
        const int total = sqlite3_backup_pagecount(backup);
        if (progress && (rc == SQLITE_OK || rc == SQLITE_DONE))
            progress(total - sqlite3_backup_remaining(backup), total);
        // Another program writing the file holds it briefly: wait and go on.
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) return EngineFailure(copy.handle(), rc);
    return Status::success();
}

}  // namespace

Status CheckDatabaseFile(const QString& path, const QString& password) {
    const Result<Database> reopened = Database::open(path, password, Database::Mode::OpenExisting);
    if (!reopened.ok()) return reopened.status();
    if (Status schema = CheckSchema(reopened.value()); !schema.ok()) return schema;
    const Result<QStringList> problems = reopened.value().integrityProblems();
    if (!problems.ok()) return problems.status();
    if (!problems.value().isEmpty())
        return Status::failure(SQLITE_CORRUPT,
                               QStringLiteral("La copia di sicurezza non ha superato il "
                                              "controllo di integrità (%1): non è stata tenuta.")
                                   .arg(problems.value().first()));
    return Status::success();
}

namespace {

Status WriteCheckedCopy(const Database& source, const QString& path, const QString& password,
                        const BackupProgress& progress) {
    {
        const Result<Database> copy = Database::open(path, password, Database::Mode::CreateNew);
        if (!copy.ok()) return copy.status();
        if (Status copied = CopyPages(source, copy.value(), progress); !copied.ok()) return copied;
    }
    return CheckDatabaseFile(path, password);
}

}  // namespace

Status BackupDatabase(const Database& source, const QString& copyPath, const QString& password,
                      ExistingCopy existing, const BackupProgress& progress) {
    const QString sourcePath = QString::fromUtf8(sqlite3_db_filename(source.handle(), "main"));
    if (QFileInfo(copyPath).canonicalFilePath() == QFileInfo(sourcePath).canonicalFilePath())
        return Status::failure(SQLITE_CANTOPEN,
                               QStringLiteral("La copia di sicurezza non può prendere il posto "
                                              "del database stesso: scegli un altro nome."));
    if (existing == ExistingCopy::Refuse) {
        if (Status free = RefuseExisting(copyPath); !free.ok()) return free;
    }
    // A file of the chosen name stays as it was until the new copy has passed its check.
    StagedFile staged(copyPath);
    if (!staged.created())
        return CopyFailed(copyPath, QString::fromLocal8Bit(std::strerror(staged.creationError())));
    Status done = WriteCheckedCopy(source, staged.path(), password, progress);
    if (done.ok()) done = staged.publish(existing);
    return done;
}

}  // namespace radici
