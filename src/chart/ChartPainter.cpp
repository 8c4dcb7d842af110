#include "ChartPainter.h"

#include "store/PartialDate.h"
#include "store/PersonKey.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace radici {
namespace {

constexpr double TextInset = 7;
constexpr double LineHeight = 14;
constexpr double Rounding = 12;
constexpr double SmallestLegibleLine = 5;  // pixels on the screen

struct BoxStyle {
    QColor fill;
    Qt::PenStyle border;
    bool rounded;
    QString sign;
};

BoxStyle StyleOf(const ChartBox& box) {
    BoxStyle style{QColor(0xe4, 0xe4, 0xe4), Qt::DashLine, false, QStringLiteral("?")};
    if (box.person && box.person->sesso == Male) {
        style = {QColor(0xdd, 0xe9, 0xf6), Qt::SolidLine, false, QString(QChar(0x2642))};
    } else if (box.person && box.person->sesso == Female) {
        style = {QColor(0xf7, 0xe1, 0xe8), Qt::SolidLine, true, QString(QChar(0x2640))};
    } else if (box.person) {
        style.border = Qt::SolidLine;  // sex not known
    }
    if (box.repeat) style.border = Qt::DotLine;
    return style;
}

// The year of a date known to the day; a date known in part in its short form.
QString Event(const QString& sign, const QDate& date, const QString& inPart, const QString& place) {
    const QString when = date.isValid() ? QString::number(date.year()) : ShownDate({}, inPart);
    QStringList parts{sign, when, place};
    parts.removeAll(QString());
    return parts.size() > 1 ? parts.join(u' ') : QString();
}

QFont ChartFont(bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

void PaintBox(QPainter& painter, const ChartBox& box, bool chartPerson, bool withTexts) {
    const BoxStyle style = StyleOf(box);
    QPainterPath outline;
    if (style.rounded) {
        outline.addRoundedRect(box.rect, Rounding, Rounding);
    } else {
        outline.addRect(box.rect);
    }
    painter.setPen(QPen(QColor(0x44, 0x44, 0x44), chartPerson ? 2.5 : 1.2, style.border));
    painter.setBrush(style.fill);
    painter.drawPath(outline);
    if (!withTexts) return;

    painter.setPen(Qt::black);
    const QRectF text = box.rect.adjusted(TextInset, 5, -TextInset, -3);
    painter.setFont(ChartFont(false));
    painter.drawText(QRectF(text.right() - 12, text.top(), 12, LineHeight), Qt::AlignRight,
                     style.sign);
    const QStringList lines = BoxLines(box);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        painter.setFont(ChartFont(i == 0));
        const QFontMetricsF metrics(painter.font());
        const double width = text.width() - (i == 0 ? 14 : 0);
        const QRectF line(text.left(), text.top() + LineHeight * static_cast<double>(i), width,
                          LineHeight);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(lines[i], Qt::ElideRight, width));
    }
}

}  // namespace

QStringList BoxLines(const ChartBox& box) {
    QStringList lines;
    if (!box.person) {
        lines << box.key << QStringLiteral("non in anagrafica");
    } else {
        const Person& person = *box.person;
        lines << person.cognome << person.nome;
        QString birth =
            Event(QStringLiteral("n."), person.datanasc, box.inPart.birth, person.luogonasc);
        const QString death =
            Event(QStringLiteral("m."), person.datamorte, box.inPart.death, person.luogomorte);
        // Radici's own key holds no date to fall back on.
        if (birth.isEmpty() && death.isEmpty() && !IsOwnKey(box.key))
            birth = QStringLiteral("data: ") + box.key.mid(6);
        lines << birth << death;
    }
    if (box.repeat) lines << QStringLiteral("(ripetuto)");
    return lines;
}

void PaintChart(QPainter& painter, const ChartLayout& layout, const QRectF& visible,
                ChartDetail detail) {
    const bool withTexts = detail == ChartDetail::Full ||
                           painter.transform().m11() * LineHeight >= SmallestLegibleLine;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.2));
    for (const QLineF& line : layout.lines) {
        // A straight line's bounds have no width or no height: widen them to test them.
        if (QRectF(line.p1(), line.p2()).normalized().adjusted(-1, -1, 1, 1).intersects(visible)) {
            painter.drawLine(line);
        }
    }
    for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
        if (layout.boxes[i].rect.intersects(visible))
            PaintBox(painter, layout.boxes[i], i == 0, withTexts);
    }
    painter.restore();
}

void PaintChartOnPage(QPainter& painter, const ChartLayout& layout, const QRectF& page) {
    const QRectF& bounds = layout.bounds;
    if (bounds.isEmpty()) return;
    const double scale =
        std::min({1.0, page.width() / bounds.width(), page.height() / bounds.height()});
    painter.save();
    painter.translate(page.center());
    painter.scale(scale, scale);
    painter.translate(-bounds.center());
    PaintChart(painter, layout, bounds);
    painter.restore();
}

}  // namespace radici
