#include "tools/ToolSupport.h"

#include "store/DatabaseConnection.h"

#include <QDir>
#include <QFile>
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

// Creating the file exclusively, rather than testing for it first, means a file that appears in
// the meantime is still never overwritten.
int ClaimNewFile(const QString& path, QTextStream& err) {
    QFile file(path);
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return ToolSucceeded;
    const int refusal = errno;
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        return Failed(
            err,
            QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(ShownPath(path)));
    }
    return Failed(err, QStringLiteral("impossibile creare il file %1: %2.")
                           .arg(ShownPath(path), CreationRefusal(refusal)));
}

}  // namespace radici
