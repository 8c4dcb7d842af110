#include "tools/NewFile.h"

#include "tools/DatabaseTool.h"

#include <QFileInfo>
#include <QTextStream>
#include <cerrno>

namespace radici {

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
        err << ToolName << ": il file " << ShownPath(path)
            << " esiste già e non viene sovrascritto.\n";
        return nullptr;
    }
    auto staged = std::make_unique<StagedFile>(path);
    if (staged->created()) return staged;
    // The staging name is longer than the chosen one: a name at the limit fails here first.
    err << ToolName << ": impossibile creare il file " << ShownPath(path) << ": "
        << CreationRefusal(staged->creationError()) << ".\n";
    return nullptr;
}

int PublishNewFile(StagedFile& staged, QTextStream& err) {
    const Status named = staged.publish(ExistingCopy::Refuse);
    return named.ok() ? ToolSucceeded : Failed(err, named.description());
}

}  // namespace radici
