#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/ExchangeActions.h"
#include "app/ImportActions.h"
#include "chart/ChartWindow.h"
#include "chart/KinshipWindow.h"
#include "personcard/PersonCardWindow.h"
#include "registry/RegistryWindow.h"
#include "relations/RelationsWindow.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace radici {

namespace {

// The designed client area, below the menu: 11190 x 8160 twips.
constexpr int ClientWidth = 746;
constexpr int ClientHeight = 544;

}  // namespace

MainWindow::MainWindow(AppContext& context, SystemInfoPlatform& platform, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      context_(context),
      platform_(platform),
      tree_(context, this, [this] { closeTreeWindows(); }) {
    ui_->setupUi(this);
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    connect(ui_->coll, &QAction::triggered, this, &MainWindow::showRelations);
    connect(ui_->esci, &QAction::triggered, this, &QWidget::close);
    connect(ui_->esportaGedcom, &QAction::triggered, this, &MainWindow::exportGedcom);
    connect(ui_->importaGedcom, &QAction::triggered, this, &MainWindow::importGedcom);
    connect(ui_->copiaSicurezza, &QAction::triggered, this, &MainWindow::makeBackup);
    connect(ui_->persona, &QAction::triggered, this, &MainWindow::showPersonCard);
    connect(ui_->albero, &QAction::triggered, this, &MainWindow::showChart);
    connect(ui_->parentela, &QAction::triggered, this, &MainWindow::showKinship);
    connect(ui_->informa, &QAction::triggered, this, &MainWindow::showAbout);
    onTree(ui_->nuovoAlbero, &TreeActions::newTree);
    onTree(ui_->apriAlbero, &TreeActions::openTree);
    onTree(ui_->ripristinaCopia, &TreeActions::restoreCopy);
    OpenDatabaseConnection();
}

MainWindow::~MainWindow() = default;

void MainWindow::OpenDatabaseConnection() {
    tree_.openAtStart();
    showOpenFolder();
}

void MainWindow::onTree(QAction* item, void (TreeActions::*action)()) {
    connect(item, &QAction::triggered, this, [this, action] {
        (tree_.*action)();
        showOpenFolder();
    });
}

void MainWindow::showOpenFolder() {
    QString folder = tree_.openFolder();
    folder.replace(u'&', QStringLiteral("&&"));
    ui_->alberoAperto->setText(QStringLiteral("Albero aperto: %1")
                                   .arg(folder.isEmpty() ? QStringLiteral("nessuno") : folder));
}

void MainWindow::closeTreeWindows() {
    delete chartWindow_;
    chartWindow_ = nullptr;
    delete kinshipWindow_;
    kinshipWindow_ = nullptr;
    delete context_.registryWindow;
    relationsWindow_.reset();
    personCardWindow_.reset();
}

void MainWindow::closeOnSignal() {
    automaticCopyOnClose_ = false;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    tree_.closeTree(automaticCopyOnClose_);
    QMainWindow::closeEvent(event);
}

// The windows work on the open connection, so they are never shown without one.
bool MainWindow::requireOpenDatabase() {
    const bool open = tree_.requireOpenTree();
    showOpenFolder();
    return open;
}

void MainWindow::showRelations() {
    if (!requireOpenDatabase()) return;
    if (!relationsWindow_) relationsWindow_ = std::make_unique<RelationsWindow>(context_);
    context_.toolkit.showModal(*relationsWindow_);
}

void MainWindow::showPersonCard() {
    if (!requireOpenDatabase()) return;
    if (!personCardWindow_) personCardWindow_ = std::make_unique<PersonCardWindow>(context_);
    context_.toolkit.showModal(*personCardWindow_);
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
