#pragma once

#include "ChartLayout.h"

#include <QPointF>
#include <QWidget>
#include <optional>

namespace radici {

// Shows a chart at any zoom and paints only what is in view. The mouse wheel with Ctrl zooms
// around the pointer, the wheel alone scrolls, dragging pans, a click on a box activates it. By
// keyboard the arrows move the current box to the nearest box that way (bringing it into
// view), Enter or Space activates it, + and - zoom; the current box's texts are the control's
// accessible description.
class ChartCanvas : public QWidget {
    Q_OBJECT
public:
    explicit ChartCanvas(QWidget* parent = nullptr);

    // Shows a new chart at the same zoom, its person in the middle and current.
    void setChart(ChartLayout layout);
    const ChartLayout& chart() const { return layout_; }

    double zoom() const { return zoom_; }
    // Zooms keeping the chart point under anchor (in the canvas) where it is.
    void zoomBy(double factor, QPointF anchor);
    void fitToWindow();
    // Pans so the chart point is in the middle of the canvas.
    void centreOn(QPointF chartPoint);

    QPointF toChart(QPointF canvasPoint) const { return origin_ + canvasPoint / zoom_; }
    QPointF toCanvas(QPointF chartPoint) const { return (chartPoint - origin_) * zoom_; }
    std::optional<int> boxAt(QPointF canvasPoint) const;

signals:
    void boxActivated(const QString& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setCurrent(int box);
    void moveCurrent(QPointF direction);

    ChartLayout layout_;
    double zoom_ = 1;
    QPointF origin_;  // the chart point at the canvas's top left corner
    QPointF pressedAt_;
    QPointF originAtPress_;
    bool dragging_ = false;
    int current_ = 0;
};

}  // namespace radici
