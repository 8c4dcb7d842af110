#include "chart/ChartWindow.h"

#include "chart/ChartExport.h"
#include "chart/ChartOutput.h"
#include "chart/ChartReader.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"
#include "ui_ChartWindow.h"

namespace radici {

ChartWindow::ChartWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::ChartWindow>()) {
    ui_->setupUi(this);
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    connect(ui_->antenati, &QRadioButton::toggled, this, [this](bool on) {
        if (on) chooseKind(ChartKind::Ancestors);
    });
    connect(ui_->discendenti, &QRadioButton::toggled, this, [this](bool on) {
        if (on) chooseKind(ChartKind::Descendants);
    });
    connect(ui_->generazioni, &QSpinBox::valueChanged, this, &ChartWindow::setGenerations);
    connect(ui_->adatta, &QPushButton::clicked, ui_->canvas, &ChartCanvas::fitToWindow);
    connect(ui_->stampa, &QPushButton::clicked, this, &ChartWindow::print);
    connect(ui_->esporta, &QPushButton::clicked, this, &ChartWindow::exportChart);
    connect(ui_->chiudi, &QPushButton::clicked, this, &QDialog::close);
    connect(ui_->canvas, &ChartCanvas::boxActivated, this, [this](const QString& key) {
        key_ = key;
        reload();
    });
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::showPerson(const QString& key) {
    key_ = key.trimmed();
    reload();
    show();
    raise();
    activateWindow();
}

void ChartWindow::chooseKind(ChartKind kind) {
    kind_ = kind;
    const QSignalBlocker blocker(ui_->generazioni);
    ui_->generazioni->setValue(generations());
    reload();
}

void ChartWindow::setGenerations(int count) {
    generations() = count;
    reload();
}

void ChartWindow::reload() {
    if (key_.isEmpty()) return;
    const Result<ChartFamily> family =
        ReadChartFamily(context_.connection, kind_, key_, generations());
    if (!family.ok()) {
        context_.toolkit.inform(this, family.status().description());
        return;
    }
    ui_->canvas->setChart(LayoutChart(kind_, family.value(), key_, generations()));
    setWindowTitle(ChartTitle(ui_->canvas->chart()));
}

void ChartWindow::print() { PrintChart(context_.toolkit, this, ui_->canvas->chart()); }

void ChartWindow::exportChart() {
    SaveChartAs(context_.toolkit, this, ui_->canvas->chart(), QStringLiteral("Esporta l'albero"));
}

}  // namespace radici
