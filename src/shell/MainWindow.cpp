#include "shell/MainWindow.h"

#include "relations/RelationsWindow.h"
#include "shell/AboutBox.h"
#include "shell/AppContext.h"
#include "shell/Toolkit.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>

namespace radici {

namespace {

// The designed client area, below the menu: 11190 x 8160 twips.
constexpr int ClientWidth = 746;
constexpr int ClientHeight = 544;

QString DatabaseNotOpenMessage(const QString& databasePath) {
    const QString folder = QDir::toNativeSeparators(QFileInfo(databasePath).absolutePath());
    return QStringLiteral(
               "Il database \"%1\" non è aperto.\r"
               "Cartella di lavoro: %2\r"
               "Se il file manca, crearlo in questa cartella con il comando \"radici-db demo\" "
               "(famiglia di esempio) o \"radici-db init\" (database vuoto), poi riavviare il "
               "programma.")
        .arg(DatabaseConnection::FileName, folder);
}

}  // namespace

MainWindow::MainWindow(AppContext& context, SystemInfoPlatform& platform, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      context_(context),
      platform_(platform) {
    ui_->setupUi(this);
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    connect(ui_->coll, &QAction::triggered, this, &MainWindow::ShowRelations);
    connect(ui_->esci, &QAction::triggered, this, &QWidget::close);
    connect(ui_->informa, &QAction::triggered, this, &MainWindow::ShowAbout);
    OpenDatabaseConnection();
}

MainWindow::~MainWindow() = default;

// A refused password is the only failure the user hears of; without a database the window still
// opens and the menu explains what is missing.
void MainWindow::OpenDatabaseConnection() {
    const Status status = context_.connection.open(context_.databasePath);
    if (!status.is(EngineError::PasswordRefused)) return;
    context_.toolkit.beep();
    context_.toolkit.inform(nullptr,
                            QString::number(status.number()) + u' ' + status.description());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    context_.connection.close();
    QMainWindow::closeEvent(event);
}

// The relations window works on the open connection, so it is never shown without one.
void MainWindow::ShowRelations() {
    if (!context_.connection.isOpen()) {
        context_.toolkit.inform(this, DatabaseNotOpenMessage(context_.databasePath));
        return;
    }
    if (!relationsWindow_) relationsWindow_ = std::make_unique<RelationsWindow>(context_);
    context_.toolkit.showModal(*relationsWindow_);
}

void MainWindow::ShowAbout() {
    if (!aboutBox_) aboutBox_ = std::make_unique<AboutBox>(context_.toolkit, platform_, this);
    context_.toolkit.showModal(*aboutBox_);
}

}  // namespace radici
