#include "chart/ChartWindow.h"

#include "chart/ChartExport.h"
#include "chart/ChartPainter.h"
#include "chart/ChartReader.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"
#include "ui_ChartWindow.h"

#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace radici {

namespace {

// Chart pixels are screen pixels at 96 dots an inch.
constexpr double ChartDotsPerInch = 96;

}  // namespace

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

void ChartWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    context_.toolkit.showModal(dialog);
    if (dialog.result() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        context_.toolkit.inform(this, QStringLiteral("Impossibile avviare la stampa."));
        return;
    }
    const double scale = printer.resolution() / ChartDotsPerInch;
    painter.scale(scale, scale);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    PaintChartOnPage(painter, ui_->canvas->chart(), QRectF(QPointF(0, 0), page.size() / scale));
}

void ChartWindow::exportChart() {
    QFileDialog dialog(this, QStringLiteral("Esporta l'albero"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(
        {QStringLiteral("Immagine PNG, disegno SVG, documento PDF "
                        "(*.png *.svg *.pdf)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(windowTitle() + QStringLiteral(".pdf"));
    context_.toolkit.showModal(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const Status saved = ExportChart(ui_->canvas->chart(), dialog.selectedFiles().constFirst());
    if (!saved.ok()) context_.toolkit.inform(this, saved.description());
}

}  // namespace radici
