#include "chart/ChartOutput.h"

#include "chart/ChartExport.h"
#include "chart/ChartPainter.h"
#include "ui/Toolkit.h"

#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace radici {
namespace {

// Chart pixels are screen pixels at 96 dots an inch.
constexpr double ChartDotsPerInch = 96;

}  // namespace

void PrintChart(Toolkit& toolkit, QWidget* parent, const ChartLayout& chart) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ChartTitle(chart));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, parent);
    toolkit.showModal(dialog);
    if (dialog.result() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        toolkit.inform(parent, QStringLiteral("Impossibile avviare la stampa."));
        return;
    }
    const double scale = printer.resolution() / ChartDotsPerInch;
    painter.scale(scale, scale);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    PaintChartOnPage(painter, chart, QRectF(QPointF(0, 0), page.size() / scale));
}

void SaveChartAs(Toolkit& toolkit, QWidget* parent, const ChartLayout& chart,
                 const QString& caption) {
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(
        {QStringLiteral("Immagine PNG, disegno SVG, documento PDF "
                        "(*.png *.svg *.pdf)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(ChartTitle(chart) + QStringLiteral(".pdf"));
    toolkit.showModal(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const Status saved = ExportChart(chart, dialog.selectedFiles().constFirst());
    if (!saved.ok()) toolkit.inform(parent, saved.description());
}

}  // namespace radici
