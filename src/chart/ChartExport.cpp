#include "ChartExport.h"

#include "ChartPainter.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace radici {
namespace {

// Large enough for a very wide family, small enough for an image in memory (4 bytes a pixel).
constexpr double LargestPictureSide = 32000;
constexpr double LargestPicturePixels = 256e6;
// PDF pages end at 200 inches; the chart is drawn one pixel to one point.
constexpr double LargestPageSide = 14400;
constexpr int ExportFailedNumber = 1;

Status Failed(const QString& text) { return Status::failure(ExportFailedNumber, text); }

Status NotWritten(const QString& path, const QString& reason) {
    return Failed(QStringLiteral("Impossibile scrivere il file %1: %2.")
                      .arg(QFileInfo(path).absoluteFilePath(), reason));
}

double Fit(QSizeF size, double side, double area) {
    return std::min({1.0, side / size.width(), side / size.height(),
                     std::sqrt(area / (size.width() * size.height()))});
}

bool WritePng(const ChartLayout& layout, QIODevice& device) {
    const QSize size = PictureSize(layout);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintChartOnPage(painter, layout, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image.save(&device, "PNG");
}

bool WriteSvg(const ChartLayout& layout, QIODevice& device) {
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(layout.bounds.size().toSize());
    svg.setViewBox(layout.bounds);
    svg.setTitle(ChartTitle(layout));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    PaintChart(painter, layout, layout.bounds);
    return painter.end();
}

bool WritePdf(const ChartLayout& layout, QIODevice& device) {
    QPdfWriter pdf(&device);
    pdf.setTitle(ChartTitle(layout));
    pdf.setResolution(72);
    const double scale =
        Fit(layout.bounds.size(), LargestPageSide, LargestPageSide * LargestPageSide);
    pdf.setPageSize(QPageSize(layout.bounds.size() * scale, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    PaintChartOnPage(painter, layout, QRectF(QPointF(0, 0), layout.bounds.size() * scale));
    return painter.end();
}

}  // namespace

QString ChartTitle(const ChartLayout& layout) {
    if (!layout.title.isEmpty()) return layout.title;
    if (layout.boxes.empty()) return {};
    const ChartBox& person = layout.boxes.front();
    const QString name =
        person.person ? person.person->nome + u' ' + person.person->cognome : person.key;
    return QStringLiteral("Albero di ") + name;
}

QSize PictureSize(const ChartLayout& layout) {
    const double scale = Fit(layout.bounds.size(), LargestPictureSide, LargestPicturePixels);
    return (layout.bounds.size() * scale).toSize().expandedTo(QSize(1, 1));
}

Status ExportChart(const ChartLayout& layout, const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool (*write)(const ChartLayout&, QIODevice&) = nullptr;
    if (suffix == QLatin1String("png")) write = WritePng;
    if (suffix == QLatin1String("svg")) write = WriteSvg;
    if (suffix == QLatin1String("pdf")) write = WritePdf;
    if (!write) {
        return Failed(
            QStringLiteral("Il nome del file deve terminare con .png, .svg o .pdf: "
                           "l'estensione sceglie il formato."));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return NotWritten(path, file.errorString());
    if (!write(layout, file)) {
        file.cancelWriting();
        return NotWritten(path, QStringLiteral("il disegno non è riuscito"));
    }
    if (!file.commit()) return NotWritten(path, file.errorString());
    return Status::success();
}

}  // namespace radici
