#include "app/TreeActions.h"

#include "store/Backup.h"
#include "store/TreeFile.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace radici {

namespace {

const QString NewTreeCaption = QStringLiteral("Nuovo albero");
const QString OpenTreeCaption = QStringLiteral("Apri albero");

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString FolderShown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
}

bool SameFile(const QString& one, const QString& other) {
    return QFileInfo(one).canonicalFilePath() == QFileInfo(other).canonicalFilePath() &&
           QFileInfo::exists(one);
}

// A dangling symbolic link of that name must go before a tree can be made there.
QString HowToMakeTheFile(const QString& databasePath) {
    const QString makeOne = QStringLiteral(
        "creare un nuovo albero o aprirne uno in un'altra cartella (menu Strumenti, \"Nuovo "
        "albero...\" e \"Apri albero...\").");
    const QFileInfo file(databasePath);
    if (file.isSymLink() && !file.exists())
        return QStringLiteral(
                   "\"%1\" è un collegamento a \"%2\", che non esiste: ripristinare "
                   "quel file, oppure cancellare il collegamento, oppure ")
                   .arg(DatabaseConnection::FileName, file.symLinkTarget()) +
               makeOne;
    return QStringLiteral("Se il file manca, ") + makeOne;
}

// Why the database is not open, where the program looked, and how to get a tree.
QString DatabaseNotOpenMessage(const QString& databasePath, const Status& openFailure) {
    QStringList lines{
        QStringLiteral("Il database \"%1\" non è aperto.").arg(DatabaseConnection::FileName)};
    if (!openFailure.is(EngineError::FileNotFound)) lines.append(openFailure.description());
    lines.append(QStringLiteral("Cartella di lavoro: %1").arg(FolderShown(databasePath)));
    lines.append(HowToMakeTheFile(databasePath));
    return MessageLines(lines);
}

// Where a new tree is offered: the working folder when it holds a tree (a new one goes beside
// it), else a folder of Radici's own in the home folder.
QString SuggestedFolder() {
    if (QFileInfo::exists(QDir::current().filePath(DatabaseConnection::FileName)))
        return QDir::currentPath();
    const QString folder = QDir::home().filePath(QStringLiteral("Radici"));
    QDir().mkpath(folder);
    return folder;
}

QString Modified(const QString& path) {
    return QFileInfo(path).lastModified().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
}

QString TakeOverQuestion(const DatabaseLock& lock) {
    return MessageLines(
        {QStringLiteral("Il file \"%1\" dice che il database è aperto da Radici sul computer "
                        "\"%2\".")
             .arg(QDir::toNativeSeparators(lock.path()), lock.otherHost()),
         QStringLiteral("Se su quel computer Radici è chiuso (per esempio il file viene da una "
                        "chiavetta), si può proseguire; se è aperto, le due copie "
                        "annullerebbero l'una il lavoro dell'altra."),
         QStringLiteral("Proseguire?")});
}

QString RestoreQuestion(const QString& copyPath, const QString& treePath,
                        const QString& asideName) {
    return MessageLines(
        {QStringLiteral("Attenzione...."),
         QStringLiteral("Il database \"%1\" (modificato il %2) sarà sostituito dalla copia "
                        "\"%3\" (modificata il %4).")
             .arg(Shown(treePath), Modified(treePath), Shown(copyPath), Modified(copyPath)),
         QStringLiteral("Il database attuale resterà nella sua cartella con il nome \"%1\".")
             .arg(asideName),
         QStringLiteral("Continuare?")});
}

}  // namespace

TreeActions::TreeActions(AppContext& context, QWidget* parent,
                         std::function<void()> closeTreeWindows)
    : context_(context), parent_(parent), closeTreeWindows_(std::move(closeTreeWindows)) {}

TreeActions::~TreeActions() = default;

QString TreeActions::openFolder() const {
    return context_.connection.isOpen() ? FolderShown(context_.databasePath) : QString();
}

// A missing file is a first start, which the menu explains. A file that is there but cannot be
// used (another password, damaged, not a database of ours) is reported at once with a beep, so
// that nobody looks for their family in it believing it opened.
void TreeActions::openAtStart() {
    const Status opened = openUnlessOpen(LockQuestion::Never);
    if (!opened.ok() && !opened.is(EngineError::FileNotFound))
        reportOpenFailure(context_.databasePath, opened);
}

Status TreeActions::openUnlessOpen(LockQuestion question) {
    if (context_.connection.isOpen()) return Status::success();
    Result<OpenedTree> tree =
        question == LockQuestion::Ask
            ? OpenTreeFile(context_.databasePath,
                           [this](const DatabaseLock& lock) { return takeOverForeignLock(lock); })
            : OpenTreeFile(context_.databasePath);
    if (!tree.ok()) return tree.status();
    adopt(tree.value(), context_.databasePath);
    return Status::success();
}

bool TreeActions::takeOverForeignLock(const DatabaseLock& lock) {
    return context_.toolkit.confirm(parent_, TakeOverQuestion(lock));
}

void TreeActions::reportOpenFailure(const QString& path, const Status& failure) {
    if (failure.is(EngineError::FileNotFound))
        return context_.toolkit.inform(parent_, DatabaseNotOpenMessage(path, failure));
    context_.toolkit.beep();
    context_.toolkit.inform(parent_,
                            QString::number(failure.number()) + u' ' + failure.description());
}

// The windows work on the open connection, so they are never shown without one. A file that was
// busy, missing or held by another copy at start is tried again.
bool TreeActions::requireOpenTree() {
    const Status opened = openUnlessOpen(LockQuestion::Ask);
    if (opened.ok()) return true;
    const int choice = context_.toolkit.choose(
        parent_, DatabaseNotOpenMessage(context_.databasePath, opened),
        {QStringLiteral("Nuovo albero..."), QStringLiteral("Apri albero...")});
    if (choice == 0) newTree();
    if (choice == 1) openTree();
    return context_.connection.isOpen();
}

void TreeActions::newTree() {
    const QString folder = context_.toolkit.askFolder(parent_, NewTreeCaption, SuggestedFolder());
    if (folder.isEmpty()) return;
    const QString path = QDir(folder).filePath(DatabaseConnection::FileName);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        const bool open = context_.toolkit.confirm(
            parent_, QStringLiteral("Nella cartella \"%1\" c'è già un albero (\"%2\"): non viene "
                                    "sovrascritto.\rAprirlo?")
                         .arg(QDir::toNativeSeparators(folder), DatabaseConnection::FileName));
        if (open) switchTo(path);
        return;
    }
    if (Status made = CreateTreeFile(path); !made.ok())
        return context_.toolkit.inform(parent_, made.description());
    switchTo(path);
}

void TreeActions::openTree() {
    const QString chosen =
        context_.toolkit.askFolder(parent_, OpenTreeCaption, QDir::currentPath());
    if (chosen.isEmpty()) return;
    const QFileInfo info(chosen);
    const QString path = info.isDir() ? QDir(chosen).filePath(DatabaseConnection::FileName)
                                      : info.absoluteFilePath();
    if (info.fileName() != DatabaseConnection::FileName && !info.isDir())
        return context_.toolkit.inform(
            parent_, QStringLiteral("Un albero è il file \"%1\" della sua cartella: scegli la "
                                    "cartella. Per riportare in uso una copia di sicurezza, "
                                    "scegli \"Ripristina copia...\".")
                         .arg(DatabaseConnection::FileName));
    switchTo(path);
}

bool TreeActions::switchTo(const QString& path) {
    if (context_.connection.isOpen() && SameFile(path, context_.databasePath)) return true;
    Result<OpenedTree> tree =
        OpenTreeFile(path, [this](const DatabaseLock& lock) { return takeOverForeignLock(lock); });
    if (!tree.ok()) {
        reportOpenFailure(path, tree.status());
        return false;
    }
    closeTree(true);
    adopt(tree.value(), QFileInfo(path).absoluteFilePath());
    // The tree's folder becomes the working folder, where the program looks for its file.
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return true;
}

void TreeActions::adopt(OpenedTree& tree, const QString& path) {
    context_.connection.takeOver(*tree.connection);
    lock_ = std::move(tree.lock);
    context_.databasePath = path;
}

void TreeActions::closeTree(bool automaticCopy) {
    closeTreeWindows_();
    const bool written = context_.connection.hasWritten();
    context_.connection.close();
    if (written && automaticCopy) makeAutomaticCopy(context_.databasePath);
    lock_.reset();
}

// A copy that fails never keeps the program from closing: it says why. There is no "Annulla":
// closing goes on either way, and a copy stopped halfway would be no copy.
void TreeActions::makeAutomaticCopy(const QString& treePath) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QProgressDialog progress(QStringLiteral("Copia automatica dell'albero in corso..."), QString(),
                             0, 0, parent_);
    progress.setCancelButton(nullptr);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ProgressDelayMilliseconds);
    // The window stays up while the finished copy is checked.
    progress.setAutoReset(false);
    const Result<QString> copy = MakeAutomaticCopy(treePath, QDateTime::currentDateTime(),
                                                   [&progress](int copied, int total) {
                                                       progress.setMaximum(total);
                                                       progress.setValue(copied);
                                                   });
    progress.reset();
    QApplication::restoreOverrideCursor();
    if (!copy.ok())
        context_.toolkit.inform(
            parent_, MessageLines({QStringLiteral("La copia automatica dell'albero non è stata "
                                                  "fatta; l'albero stesso non è cambiato."),
                                   copy.status().description()}));
}

// A file that is there but does not open (damaged, say) is just what a copy can replace.
void TreeActions::restoreCopy() {
    const Status opened = openUnlessOpen(LockQuestion::Ask);
    const bool noFileToReplace =
        opened.is(EngineError::FileNotFound) || opened.is(EngineError::FileInUse);
    if (noFileToReplace && !requireOpenTree()) return;
    const QString treePath = context_.databasePath;
    const QString copyPath = context_.toolkit.askFileToRead(
        parent_, QStringLiteral("Ripristina copia"), QFileInfo(treePath).absolutePath(),
        QStringLiteral("Database di Radici (*.mdb)"));
    if (copyPath.isEmpty()) return;
    if (SameFile(copyPath, treePath))
        return context_.toolkit.inform(
            parent_, QStringLiteral("Il file scelto è il database aperto: scegli una copia."));
    if (Status checked = CheckDatabaseFile(copyPath, DatabaseConnection::Password); !checked.ok())
        return context_.toolkit.inform(
            parent_, MessageLines({QStringLiteral("La copia \"%1\" non può essere ripristinata: "
                                                  "non è cambiato nulla.")
                                       .arg(Shown(copyPath)),
                                   checked.description()}));
    const QDateTime now = QDateTime::currentDateTime();
    if (!context_.toolkit.confirm(parent_, RestoreQuestion(copyPath, treePath, SetAsideName(now))))
        return;
    closeTree(true);
    const Result<QString> aside = PutCopyInPlace(copyPath, treePath, now);
    // Whichever file is now in place is opened again, the restored one or, failing that, the old.
    const Status reopened = openUnlessOpen(LockQuestion::Ask);
    if (!aside.ok()) return context_.toolkit.inform(parent_, aside.status().description());
    if (!reopened.ok()) return reportOpenFailure(treePath, reopened);
    context_.toolkit.inform(parent_,
                            QStringLiteral("Copia ripristinata. Il database di prima è in \"%1\".")
                                .arg(Shown(aside.value())));
}

}  // namespace radici
