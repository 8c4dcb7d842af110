#include "tools/ToolSupport.h"

#include "store/DatabaseConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>

namespace radici {

QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

int Misused(QTextStream& err, const QString& problem) {
    err << ToolName << ": " << problem << " Vedere " << ToolName << " --help.\n";
    return ToolMisused;
}

int Failed(QTextStream& err, const QString& problem) {
    err << ToolName << ": " << problem << "\n";
    return ToolFailed;
}

int OpenDatabase(DatabaseConnection& connection, const QString& path, QTextStream& err) {
    const Status opened = connection.open(path);
    if (opened.ok()) return ToolSucceeded;
    return Failed(
        err, QStringLiteral("impossibile aprire il database %1: %2 %3")
                 .arg(ShownPath(path), QString::number(opened.number()), opened.description()));
}

namespace {

// Why the system refused to create a file, in Italian: its own words are English.
QString CreationRefusal(int error) {
    switch (error) {
        case EISDIR:
            return QStringLiteral("è una cartella; indica il nome di un file");
        case ENAMETOOLONG:
            return QStringLiteral("il nome è troppo lungo; scegline uno più corto");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("la cartella indicata non esiste");
        case EACCES:
        case EPERM:
            return QStringLiteral("la cartella non permette di creare file; rendila scrivibile");
        case EROFS:
            return QStringLiteral("il disco è di sola lettura");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("il disco è pieno; libera spazio");
        default:
            return QStringLiteral("controlla il nome, la cartella e i suoi permessi");
    }
}

}  // namespace

std::unique_ptr<StagedFile> StageNewFile(const QString& path, QTextStream& err) {
    if (!RefuseExisting(path).ok()) {
        Failed(
            err,
            QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(ShownPath(path)));
        return nullptr;
    }
    auto staged = std::make_unique<StagedFile>(path);
    if (staged->created()) return staged;
    // The staging name is longer than the chosen one: a name at the limit fails here first.
    Failed(err, QStringLiteral("impossibile creare il file %1: %2.")
                    .arg(ShownPath(path), CreationRefusal(staged->creationError())));
    return nullptr;
}

int PublishNewFile(StagedFile& staged, QTextStream& err) {
    const Status named = staged.publish(ExistingCopy::Refuse);
    return named.ok() ? ToolSucceeded : Failed(err, named.description());
}

}  // namespace radici
