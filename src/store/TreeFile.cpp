#include "TreeFile.h"

#include "Backup.h"
#include "Schema.h"
#include "StagedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <filesystem>

namespace radici {

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

Status InUseByAnotherCopy(const QString& path, const DatabaseLock& lock) {
    return Status::failure(
        EngineError::FileInUse,
        QStringLiteral("Il database \"%1\" è già aperto da un'altra copia di Radici (lo dice il "
                       "file \"%2\"): due copie sullo stesso file annullerebbero l'una il lavoro "
                       "dell'altra. Chiudi l'altra copia, poi scegli \"Collegamenti\" per "
                       "riprovare.")
            .arg(Shown(path), Shown(lock.path())));
}

Status InUseOnAnotherComputer(const QString& path, const DatabaseLock& lock) {
    return Status::failure(
        EngineError::FileInUse,
        QStringLiteral("Il database \"%1\" risulta aperto da Radici sul computer \"%2\" (lo dice "
                       "il file \"%3\"). Se su quel computer Radici è chiuso, scegli "
                       "\"Collegamenti\": ti sarà chiesto se proseguire.")
            .arg(Shown(path), lock.otherHost(), Shown(lock.path())));
}

// The user said the copy on the other computer may still be open.
Status LeftToAnotherComputer(const QString& path, const DatabaseLock& lock) {
    return Status::failure(
        EngineError::FileInUse,
        QStringLiteral("Il database \"%1\" resta chiuso: risulta aperto da Radici sul computer "
                       "\"%2\" (lo dice il file \"%3\").")
            .arg(Shown(path), lock.otherHost(), Shown(lock.path())));
}

Status TakeLock(const QString& path, DatabaseLock& lock,
                const ForeignLockQuestion& takeOverForeignLock) {
    switch (lock.tryLock()) {
        case DatabaseLock::Holder::Nobody:
            return Status::success();
        case DatabaseLock::Holder::CopyOnThisComputer:
            return InUseByAnotherCopy(path, lock);
        case DatabaseLock::Holder::OtherComputer:
            if (!takeOverForeignLock) return InUseOnAnotherComputer(path, lock);
            if (!takeOverForeignLock(lock)) return LeftToAnotherComputer(path, lock);
            lock.takeOver();
            return Status::success();
    }
    return Status::success();
}

Status FileFailure(const QString& what, const QString& path, const QString& why) {
    return Status::failure(EngineError::FileNotFound,
                           QStringLiteral("%1 \"%2\": %3.").arg(what, Shown(path), why));
}

QString Stamp(const QDateTime& when) { return when.toString(QStringLiteral("yyyy-MM-dd-hhmmss")); }

// The copy's bytes into a new file beside the tree; the tree's name gets it by one rename.
Status StageCopy(const QString& copyPath, QSaveFile& staged) {
    QFile copy(copyPath);
    if (!copy.open(QIODevice::ReadOnly))
        return FileFailure(QStringLiteral("Impossibile leggere la copia"), copyPath,
                           copy.errorString());
    if (!staged.open(QIODevice::WriteOnly))
        return FileFailure(QStringLiteral("Impossibile scrivere"), staged.fileName(),
                           staged.errorString());
    constexpr qint64 Chunk = 1 << 20;
    while (!copy.atEnd()) {
        const QByteArray bytes = copy.read(Chunk);
        if (bytes.isEmpty() || staged.write(bytes) != bytes.size())
            return FileFailure(QStringLiteral("Impossibile copiare"), copyPath,
                               staged.errorString());
    }
    return Status::success();
}

// A second name for the tree's file, so that the name the program opens is never missing; a
// file system without links gets a rename instead.
bool KeepAside(const QString& treePath, const QString& asidePath) {
    std::error_code error;
    std::filesystem::create_hard_link(treePath.toStdString(), asidePath.toStdString(), error);
    if (!error) return true;
    return !QFileInfo::exists(asidePath) && QFile::rename(treePath, asidePath);
}

void RemoveOldAutomaticCopies(const QDir& folder, const QString& kept) {
    static const QRegularExpression automaticName(
        QStringLiteral("^radicidb-\\d{4}-\\d{2}-\\d{2}-\\d{6}\\.mdb$"));
    QStringList copies = folder.entryList(QDir::Files, QDir::Name);
    copies.removeIf(
        [&](const QString& name) { return name == kept || !automaticName.match(name).hasMatch(); });
    // The names sort by time: the oldest come first.
    for (qsizetype i = 0; i < copies.size() - (AutomaticCopiesKept - 1); ++i)
        QFile::remove(folder.filePath(copies.at(i)));
}

}  // namespace

Result<OpenedTree> OpenTreeFile(const QString& path,
                                const ForeignLockQuestion& takeOverForeignLock) {
    OpenedTree tree{std::make_unique<DatabaseLock>(path + QStringLiteral(".lock")),
                    std::make_unique<DatabaseConnection>()};
    if (Status locked = TakeLock(path, *tree.lock, takeOverForeignLock); !locked.ok())
        return locked;
    if (Status opened = tree.connection->open(path); !opened.ok()) return opened;
    return tree;
}

Status CreateEmptyDatabase(const QString& path) {
    Result<Database> database =
        Database::open(path, DatabaseConnection::Password, Database::Mode::CreateNew);
    if (!database.ok()) return database.status();
    return CreateSchema(database.value());
}

Status CreateTreeFile(const QString& path) {
    if (Status free = RefuseExisting(path); !free.ok()) return free;
    StagedFile staged(path);
    if (!staged.created())
        return FileFailure(QStringLiteral("Impossibile creare"), path,
                           QStringLiteral("la cartella non è scrivibile"));
    // The staging file is there, empty: the engine makes a database in an empty file.
    if (Status made = CreateEmptyDatabase(staged.path()); !made.ok()) return made;
    return staged.publish(ExistingCopy::Refuse);
}

QString SetAsideName(const QDateTime& when) {
    return QStringLiteral("radicidb-prima-del-ripristino-%1.mdb").arg(Stamp(when));
}

Result<QString> PutCopyInPlace(const QString& copyPath, const QString& treePath,
                               const QDateTime& when) {
    const QString asidePath = QFileInfo(treePath).absoluteDir().filePath(SetAsideName(when));
    QSaveFile staged(treePath);
    if (Status copied = StageCopy(copyPath, staged); !copied.ok()) return copied;
    if (!KeepAside(treePath, asidePath))
        return FileFailure(QStringLiteral("Impossibile mettere da parte il database"), treePath,
                           QStringLiteral("la cartella non è scrivibile o \"%1\" esiste già")
                               .arg(QFileInfo(asidePath).fileName()));
    if (staged.commit()) return asidePath;
    // The tree's own file goes back under its name when it was renamed rather than linked.
    if (!QFileInfo::exists(treePath)) QFile::rename(asidePath, treePath);
    return FileFailure(QStringLiteral("Impossibile ripristinare la copia in"), treePath,
                       staged.errorString());
}

Result<QString> MakeAutomaticCopy(const QString& treePath, const QDateTime& when,
                                  const BackupProgress& progress) {
    const QDir folder(QFileInfo(treePath).absoluteDir().filePath(AutomaticCopiesFolder));
    if (!folder.mkpath(QStringLiteral(".")))
        return FileFailure(QStringLiteral("Impossibile creare la cartella"), folder.path(),
                           QStringLiteral("controlla che la cartella dell'albero sia scrivibile"));
    const QString name = QStringLiteral("radicidb-%1.mdb").arg(Stamp(when));
    const QString path = folder.filePath(name);
    {
        const Result<Database> tree =
            Database::open(treePath, DatabaseConnection::Password, Database::Mode::OpenExisting);
        if (!tree.ok()) return tree.status();
        // The copy takes its name only once it is whole and checked.
        if (Status copied = BackupDatabase(tree.value(), path, DatabaseConnection::Password,
                                           ExistingCopy::Refuse, progress);
            !copied.ok())
            return copied;
    }
    RemoveOldAutomaticCopies(folder, name);
    return path;
}

}  // namespace radici
