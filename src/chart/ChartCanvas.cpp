#include "ChartCanvas.h"

#include "ChartPainter.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace radici {
namespace {

constexpr double MinZoom = 0.02;
constexpr double MaxZoom = 4;
constexpr double ZoomStep = 1.25;
constexpr double DragThreshold = 4;  // pixels a press may move and still be a click

}  // namespace

ChartCanvas::ChartCanvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::OpenHandCursor);
}

void ChartCanvas::setChart(ChartLayout layout) {
    layout_ = std::move(layout);
    if (!layout_.boxes.empty()) centreOn(layout_.boxes.front().rect.center());
    setCurrent(0);
}

void ChartCanvas::zoomBy(double factor, QPointF anchor) {
    const QPointF fixed = toChart(anchor);
    zoom_ = std::clamp(zoom_ * factor, MinZoom, MaxZoom);
    origin_ = fixed - anchor / zoom_;
    update();
}

void ChartCanvas::fitToWindow() {
    const QRectF& bounds = layout_.bounds;
    if (bounds.isEmpty() || width() <= 0 || height() <= 0) return;
    zoom_ = std::clamp(std::min(width() / bounds.width(), height() / bounds.height()), MinZoom,
                       MaxZoom);
    centreOn(bounds.center());
}

void ChartCanvas::centreOn(QPointF chartPoint) {
    origin_ = chartPoint - QPointF(width(), height()) / (2 * zoom_);
    update();
}

std::optional<int> ChartCanvas::boxAt(QPointF canvasPoint) const {
    const QPointF point = toChart(canvasPoint);
    for (std::size_t i = 0; i < layout_.boxes.size(); ++i) {
        if (layout_.boxes[i].rect.contains(point)) return static_cast<int>(i);
    }
    return std::nullopt;
}

void ChartCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.scale(zoom_, zoom_);
    painter.translate(-origin_);
    PaintChart(painter, layout_, QRectF(origin_, QSizeF(size()) / zoom_), ChartDetail::Legible);
    if (hasFocus() && current_ < static_cast<int>(layout_.boxes.size())) {
        painter.setPen(QPen(palette().highlight(), 3 / zoom_, Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(layout_.boxes[current_].rect.adjusted(-4, -4, 4, 4));
    }
}

void ChartCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressedAt_ = event->position();
    originAtPress_ = origin_;
    dragging_ = false;
}

void ChartCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPointF moved = event->position() - pressedAt_;
    if (!dragging_ && moved.manhattanLength() < DragThreshold) return;
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    origin_ = originAtPress_ - moved / zoom_;
    update();
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setCursor(Qt::OpenHandCursor);
    if (dragging_) {
        dragging_ = false;
        return;
    }
    if (const std::optional<int> box = boxAt(event->position())) {
        emit boxActivated(layout_.boxes[*box].key);
    }
}

void ChartCanvas::wheelEvent(QWheelEvent* event) {
    const QPointF steps = QPointF(event->angleDelta()) / 120.0;
    if (event->modifiers() & Qt::ControlModifier) {
        zoomBy(std::pow(ZoomStep, steps.y()), event->position());
    } else {
        origin_ -= steps * 60.0 / zoom_;
        update();
    }
    event->accept();
}

void ChartCanvas::keyPressEvent(QKeyEvent* event) {
    const QPointF middle(width() / 2.0, height() / 2.0);
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomBy(ZoomStep, middle);
            break;
        case Qt::Key_Minus:
            zoomBy(1 / ZoomStep, middle);
            break;
        case Qt::Key_Left:
            moveCurrent({-1, 0});
            break;
        case Qt::Key_Right:
            moveCurrent({1, 0});
            break;
        case Qt::Key_Up:
            moveCurrent({0, -1});
            break;
        case Qt::Key_Down:
            moveCurrent({0, 1});
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (current_ < static_cast<int>(layout_.boxes.size())) {
                emit boxActivated(layout_.boxes[current_].key);
            }
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

// The chart point in the middle stays in the middle.
void ChartCanvas::resizeEvent(QResizeEvent* event) {
    const QSizeF before = event->oldSize().isValid() ? QSizeF(event->oldSize()) : QSizeF(size());
    centreOn(origin_ + QPointF(before.width(), before.height()) / (2 * zoom_));
}

void ChartCanvas::setCurrent(int box) {
    current_ = box;
    if (box >= static_cast<int>(layout_.boxes.size())) return;
    const QRectF& rect = layout_.boxes[box].rect;
    const QRectF shown(origin_, QSizeF(size()) / zoom_);
    if (!shown.contains(rect)) centreOn(rect.center());
    setAccessibleDescription(BoxLines(layout_.boxes[box]).join(QStringLiteral(", ")));
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

// The nearest box whose centre lies that way, favouring boxes straight ahead.
void ChartCanvas::moveCurrent(QPointF direction) {
    if (current_ >= static_cast<int>(layout_.boxes.size())) return;
    const QPointF from = layout_.boxes[current_].rect.center();
    int best = -1;
    double bestScore = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < layout_.boxes.size(); ++i) {
        const QPointF offset = layout_.boxes[i].rect.center() - from;
        const double ahead = QPointF::dotProduct(offset, direction);
        if (ahead <= 1) continue;
        const double aside = std::abs(offset.x() * direction.y() - offset.y() * direction.x());
        const double score = ahead + 3 * aside;
        if (score < bestScore) {
            bestScore = score;
            best = static_cast<int>(i);
        }
    }
    if (best >= 0) setCurrent(best);
}

}  // namespace radici
