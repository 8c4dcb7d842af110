#include "chart/KinshipWindow.h"

#include "chart/ChartOutput.h"
#include "chart/KinshipPath.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"
#include "ui_KinshipWindow.h"

namespace radici {

KinshipWindow::KinshipWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::KinshipWindow>()) {
    ui_->setupUi(this);
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    connect(ui_->relazioni, &QListWidget::currentRowChanged, this, &KinshipWindow::showPath);
    connect(ui_->adatta, &QPushButton::clicked, ui_->canvas, &ChartCanvas::fitToWindow);
    connect(ui_->stampa, &QPushButton::clicked, this,
            [this] { PrintChart(context_.toolkit, this, ui_->canvas->chart()); });
    connect(ui_->esporta, &QPushButton::clicked, this, [this] {
        SaveChartAs(context_.toolkit, this, ui_->canvas->chart(),
                    QStringLiteral("Esporta la parentela"));
    });
    connect(ui_->chiudi, &QPushButton::clicked, this, &QDialog::close);
}

KinshipWindow::~KinshipWindow() = default;

void KinshipWindow::showPair(const QString& firstKey, const QString& secondKey) {
    Result<Kinship> found = FindKinship(context_.connection, firstKey, secondKey);
    if (!found.ok()) {
        context_.toolkit.inform(this, found.status().description());
        return;
    }
    kinship_ = std::move(found).value();
    show();  // first, so the path is centred in the canvas's real size
    setWindowTitle(KinshipTitle(kinship_));
    ui_->limite->setText(kinship_.stoppedAtBound ? StoppedAtBoundText() : QString());
    ui_->limite->setVisible(kinship_.stoppedAtBound);
    const QSignalBlocker blocker(ui_->relazioni);
    ui_->relazioni->clear();
    for (const Relationship& relationship : kinship_.relationships)
        ui_->relazioni->addItem(KinshipLine(kinship_, relationship));
    if (kinship_.relationships.empty()) ui_->relazioni->addItem(NoKinshipText(kinship_));
    ui_->relazioni->setCurrentRow(0);
    showPath(0);
    raise();
    activateWindow();
}

void KinshipWindow::showPath(int row) {
    const bool any = row >= 0 && row < static_cast<int>(kinship_.relationships.size());
    ui_->stampa->setEnabled(any);
    ui_->esporta->setEnabled(any);
    ui_->canvas->setChart(any ? LayoutKinshipPath(kinship_, kinship_.relationships[row])
                              : ChartLayout{});
    ui_->canvas->centreOn(ui_->canvas->chart().bounds.center());
}

}  // namespace radici
