#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/ExchangeActions.h"
#include "app/ImportActions.h"
#include "chart/ChartWindow.h"
#include "chart/KinshipWindow.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QStringList>

namespace radici {

namespace {

// The designed client area, below the menu: 11190 x 8160 twips.
constexpr int ClientWidth = 746;
constexpr int ClientHeight = 544;

// How to get a file: a dangling symbolic link of that name must go first, or radici-db would
// refuse to make one.
QString HowToMakeTheFile(const QString& databasePath) {
    const QString makeOne = QStringLiteral(
        "crearlo in questa cartella con il comando \"radici-db demo\" (famiglia di esempio) o "
        "\"radici-db init\" (database vuoto), poi riavviare il programma.");
    const QFileInfo file(databasePath);
    if (file.isSymLink() && !file.exists())
        return QStringLiteral(
                   "\"%1\" è un collegamento a \"%2\", che non esiste: ripristinare "
                   "quel file, oppure cancellare il collegamento e ")
                   .arg(DatabaseConnection::FileName, file.symLinkTarget()) +
               makeOne;
    return QStringLiteral("Se il file manca, ") + makeOne;
}

// Why the database is not open, where the program looked, and how to make a file.
QString DatabaseNotOpenMessage(const QString& databasePath, const Status& openFailure) {
    const QString folder = QDir::toNativeSeparators(QFileInfo(databasePath).absolutePath());
    QStringList lines{
        QStringLiteral("Il database \"%1\" non è aperto.").arg(DatabaseConnection::FileName)};
    if (!openFailure.is(EngineError::FileNotFound)) lines.append(openFailure.description());
    lines.append(QStringLiteral("Cartella di lavoro: %1").arg(folder));
    lines.append(HowToMakeTheFile(databasePath));
    return MessageLines(lines);
}

Status InUseByAnotherCopy(const QString& databasePath, const QString& lockPath) {
    return Status::failure(
        EngineError::FileInUse,
        QStringLiteral("Il database \"%1\" è già aperto da un'altra copia di Radici (lo dice il "
                       "file \"%2\"): due copie sullo stesso file annullerebbero l'una il lavoro "
                       "dell'altra. Chiudi l'altra copia, poi scegli \"Collegamenti\" per "
                       "riprovare.")
            .arg(QDir::toNativeSeparators(databasePath), QDir::toNativeSeparators(lockPath)));
}

Status InUseOnAnotherComputer(const QString& databasePath, const DatabaseLock& lock) {
    return Status::failure(
        EngineError::FileInUse,
        QStringLiteral("Il database \"%1\" risulta aperto da Radici sul computer \"%2\" (lo dice "
                       "il file \"%3\"). Se su quel computer Radici è chiuso, scegli "
                       "\"Collegamenti\": ti sarà chiesto se proseguire.")
            .arg(QDir::toNativeSeparators(databasePath), lock.otherHost(),
                 QDir::toNativeSeparators(lock.path())));
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

}  // namespace

MainWindow::MainWindow(AppContext& context, SystemInfoPlatform& platform, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      context_(context),
      platform_(platform),
      lock_(context.databasePath + QStringLiteral(".lock")) {
    ui_->setupUi(this);
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    connect(ui_->coll, &QAction::triggered, this, &MainWindow::showRelations);
    connect(ui_->esci, &QAction::triggered, this, &QWidget::close);
    connect(ui_->esportaGedcom, &QAction::triggered, this, &MainWindow::exportGedcom);
    connect(ui_->importaGedcom, &QAction::triggered, this, &MainWindow::importGedcom);
    connect(ui_->copiaSicurezza, &QAction::triggered, this, &MainWindow::makeBackup);
    connect(ui_->albero, &QAction::triggered, this, &MainWindow::showChart);
    connect(ui_->parentela, &QAction::triggered, this, &MainWindow::showKinship);
    connect(ui_->informa, &QAction::triggered, this, &MainWindow::showAbout);
    OpenDatabaseConnection();
}

MainWindow::~MainWindow() = default;

// A missing file is a first start, which the menu explains. A file that is there but cannot be
// used (another password, damaged, not a database of ours) is reported at once with a beep, so
// that nobody looks for their family in it believing it opened.
void MainWindow::OpenDatabaseConnection() {
    openFailure_ = openUnlessInUse(LockQuestion::Never);
    if (openFailure_.ok() || openFailure_.is(EngineError::FileNotFound)) return;
    context_.toolkit.beep();
    context_.toolkit.inform(
        nullptr, QString::number(openFailure_.number()) + u' ' + openFailure_.description());
}

// A folder where the lock cannot be made (read-only) leaves nobody to coordinate with: the file is
// opened all the same.
Status MainWindow::openUnlessInUse(LockQuestion question) {
    if (context_.connection.isOpen()) return Status::success();
    if (Status locked = takeLock(question); !locked.ok()) return locked;
    const Status opened = context_.connection.open(context_.databasePath);
    if (!opened.ok()) lock_.unlock();
    return opened;
}

Status MainWindow::takeLock(LockQuestion question) {
    switch (lock_.tryLock()) {
        case DatabaseLock::Holder::Nobody:
            return Status::success();
        case DatabaseLock::Holder::CopyOnThisComputer:
            return InUseByAnotherCopy(context_.databasePath, lock_.path());
        case DatabaseLock::Holder::OtherComputer:
            if (question == LockQuestion::Never ||
                !context_.toolkit.confirm(this, TakeOverQuestion(lock_)))
                return InUseOnAnotherComputer(context_.databasePath, lock_);
            lock_.takeOver();
            return Status::success();
    }
    return Status::success();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (chartWindow_) chartWindow_->close();
    if (kinshipWindow_) kinshipWindow_->close();
    context_.connection.close();
    lock_.unlock();
    QMainWindow::closeEvent(event);
}

// The windows work on the open connection, so they are never shown without one. A file that was
// busy, missing or held by another copy at start is tried again.
bool MainWindow::requireOpenDatabase() {
    openFailure_ = openUnlessInUse(LockQuestion::Ask);
    if (openFailure_.ok()) return true;
    context_.toolkit.inform(this, DatabaseNotOpenMessage(context_.databasePath, openFailure_));
    return false;
}

void MainWindow::showRelations() {
    if (!requireOpenDatabase()) return;
    if (!relationsWindow_) relationsWindow_ = std::make_unique<RelationsWindow>(context_);
    context_.toolkit.showModal(*relationsWindow_);
}

void MainWindow::showChart() {
    if (!requireOpenDatabase()) return;
    const QString key = PickFromRegistry(context_, this);
    if (key.isEmpty()) return;
    if (!chartWindow_) chartWindow_ = new ChartWindow(context_, this);
    chartWindow_->showPerson(key);
}

void MainWindow::showKinship() {
    if (!requireOpenDatabase()) return;
    const QString first = PickFromRegistry(context_, this);
    if (first.isEmpty()) return;
    const QString second = PickFromRegistry(context_, this);
    if (second.isEmpty()) return;
    if (!kinshipWindow_) kinshipWindow_ = new KinshipWindow(context_, this);
    kinshipWindow_->showPair(first, second);
}

void MainWindow::showAbout() {
    if (!aboutBox_) aboutBox_ = std::make_unique<AboutBox>(context_.toolkit, platform_, this);
    context_.toolkit.showModal(*aboutBox_);
}

void MainWindow::exportGedcom() {
    if (requireOpenDatabase()) ExportGedcomInteractively(context_, this);
}

void MainWindow::importGedcom() {
    if (requireOpenDatabase()) ImportGedcomInteractively(context_, this);
}

void MainWindow::makeBackup() {
    if (requireOpenDatabase()) MakeBackupInteractively(context_, this);
}

}  // namespace radici
