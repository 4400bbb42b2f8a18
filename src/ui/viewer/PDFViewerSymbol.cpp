#include "PDFViewerSymbol.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace PDFViewerSymbol {

namespace {

// Drawing context on the 24-unit grid: stroke() outlines with the weight's line width,
// fill() fills with the symbol colour.
struct Pen {
    QPainter &p;
    QColor color;
    qreal width;

    void stroke(const QPainterPath &path) const
    {
        QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(path, pen);
    }
    void fill(const QPainterPath &path) const { p.fillPath(path, color); }
};

QPainterPath line(QPointF a, QPointF b)
{
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

QPainterPath polyline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (QPointF point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    return path;
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// An arc around `centre` from `startDegrees` sweeping `sweepDegrees` (counter-clockwise
// positive, 0° at three o'clock), ending in an arrowhead pointing along the sweep.
void arcArrow(const Pen &pen, QPointF centre, qreal radius, qreal startDegrees, qreal sweepDegrees)
{
    QPainterPath arc;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(box, startDegrees);
    arc.arcTo(box, startDegrees, sweepDegrees);
    pen.stroke(arc);

    const qreal end = qDegreesToRadians(startDegrees + sweepDegrees);
    const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    // Tangent in the direction of travel (screen coordinates, y down).
    const qreal sign = sweepDegrees >= 0 ? 1.0 : -1.0;
    const QPointF tangent(-std::sin(end) * sign, -std::cos(end) * sign);
    const QPointF normal(-tangent.y(), tangent.x());
    const qreal head = 3.2;
    pen.stroke(polyline({tip - tangent * head + normal * head, tip, tip - tangent * head - normal * head}));
}

void magnifier(const Pen &pen)
{
    pen.stroke(circle({10, 10}, 6.5));
    pen.stroke(line({14.8, 14.8}, {20.5, 20.5}));
}

void documentOutline(const Pen &pen)
{
    pen.stroke(
        polyline({{14, 2.5}, {6.5, 2.5}, {5, 4}, {5, 20}, {6.5, 21.5}, {17.5, 21.5}, {19, 20}, {19, 7.5}, {14, 2.5}}));
    pen.stroke(polyline({{14, 2.5}, {14, 7.5}, {19, 7.5}}));
}

using Drawer = std::function<void(const Pen &)>;

const QHash<QString, Drawer> &drawers()
{
    static const QHash<QString, Drawer> table = {
        {QStringLiteral("folder"),
            [](const Pen &pen) {
                pen.stroke(polyline({{3, 7}, {3, 5.5}, {4.5, 4.5}, {9, 4.5}, {11, 6.5}, {19.5, 6.5}, {21, 8}, {21, 18},
                    {19.5, 19.5}, {4.5, 19.5}, {3, 18}, {3, 7}}));
                pen.stroke(line({3, 9.5}, {21, 9.5}));
            }},
        {QStringLiteral("clock"),
            [](const Pen &pen) {
                pen.stroke(circle({12, 12}, 9));
                pen.stroke(polyline({{12, 6.5}, {12, 12}, {15.5, 14}}));
            }},
        {QStringLiteral("chevron.left"),
            [](const Pen &pen) {
                pen.stroke(polyline({{15, 4.5}, {8, 12}, {15, 19.5}}));
            }},
        {QStringLiteral("chevron.right"),
            [](const Pen &pen) {
                pen.stroke(polyline({{9, 4.5}, {16, 12}, {9, 19.5}}));
            }},
        {QStringLiteral("chevron.up"),
            [](const Pen &pen) {
                pen.stroke(polyline({{4.5, 15.5}, {12, 8}, {19.5, 15.5}}));
            }},
        {QStringLiteral("chevron.down"),
            [](const Pen &pen) {
                pen.stroke(polyline({{4.5, 8.5}, {12, 16}, {19.5, 8.5}}));
            }},
        {QStringLiteral("magnifyingglass"), [](const Pen &pen) { magnifier(pen); }},
        {QStringLiteral("minus.magnifyingglass"),
            [](const Pen &pen) {
                magnifier(pen);
                pen.stroke(line({7, 10}, {13, 10}));
            }},
        {QStringLiteral("plus.magnifyingglass"),
            [](const Pen &pen) {
                magnifier(pen);
                pen.stroke(line({7, 10}, {13, 10}));
                pen.stroke(line({10, 7}, {10, 13}));
            }},
        {QStringLiteral("rectangle.inset.filled"),
            [](const Pen &pen) {
                pen.stroke(roundedRect(QRectF(2.5, 5, 19, 14), 2.5));
                pen.fill(roundedRect(QRectF(6, 8.5, 12, 7), 1));
            }},
        {QStringLiteral("rotate.left"),
            [](const Pen &pen) {
                pen.stroke(roundedRect(QRectF(4, 11, 11, 9.5), 1.5));
                arcArrow(pen, {12, 11}, 7.5, 10, 100);
            }},
        {QStringLiteral("rotate.right"),
            [](const Pen &pen) {
                pen.stroke(roundedRect(QRectF(9, 11, 11, 9.5), 1.5));
                arcArrow(pen, {12, 11}, 7.5, 170, -100);
            }},
        {QStringLiteral("arrow.counterclockwise"),
            [](const Pen &pen) {
                arcArrow(pen, {12, 12.5}, 8, 110, -300);
            }},
        {QStringLiteral("rectangle.on.rectangle"),
            [](const Pen &pen) {
                pen.stroke(
                    polyline({{6, 6}, {6, 4.5}, {7.5, 3}, {19.5, 3}, {21, 4.5}, {21, 14.5}, {19.5, 16}, {18, 16}}));
                pen.stroke(roundedRect(QRectF(3, 8, 15, 13), 1.8));
            }},
        {QStringLiteral("rectangle.arrowtriangle.2.outward"),
            [](const Pen &pen) {
                pen.stroke(roundedRect(QRectF(2.5, 4.5, 19, 15), 2.5));
                QPainterPath left(QPointF(6, 12));
                left.lineTo(9.5, 9);
                left.lineTo(9.5, 15);
                left.closeSubpath();
                QPainterPath right(QPointF(18, 12));
                right.lineTo(14.5, 9);
                right.lineTo(14.5, 15);
                right.closeSubpath();
                pen.fill(left);
                pen.fill(right);
            }},
        {QStringLiteral("doc.text"),
            [](const Pen &pen) {
                documentOutline(pen);
                pen.stroke(line({8.5, 12}, {15.5, 12}));
                pen.stroke(line({8.5, 15}, {15.5, 15}));
                pen.stroke(line({8.5, 18}, {13, 18}));
            }},
        {QStringLiteral("doc.richtext"),
            [](const Pen &pen) {
                documentOutline(pen);
                // A small picture (sun over hills) and two text lines.
                pen.stroke(circle({9.6, 9.8}, 1.3));
                pen.stroke(polyline({{8, 15.5}, {10.5, 13}, {12.2, 14.6}, {13.6, 13.2}, {16, 15.5}}));
                pen.stroke(line({8, 18.5}, {16, 18.5}));
            }},
        {QStringLiteral("exclamationmark.triangle.fill"),
            [](const Pen &pen) {
                QPainterPath triangle;
                triangle.moveTo(12, 2.5);
                triangle.lineTo(22, 20.5);
                triangle.lineTo(2, 20.5);
                triangle.closeSubpath();
                QPainterPathStroker rounder;
                rounder.setWidth(2.5);
                rounder.setJoinStyle(Qt::RoundJoin);
                QPainterPath body = triangle.united(rounder.createStroke(triangle));
                QPainterPath mark = roundedRect(QRectF(10.9, 8, 2.2, 7.2), 1.1);
                mark.addEllipse(QPointF(12, 17.6), 1.35, 1.35);
                pen.fill(body.subtracted(mark));
            }},
        {QStringLiteral("questionmark.circle"),
            [](const Pen &pen) {
                pen.stroke(circle({12, 12}, 9));
                QPainterPath hook;
                hook.moveTo(9.2, 9.6);
                hook.cubicTo(9.2, 6.2, 14.8, 6.2, 14.8, 9.4);
                hook.cubicTo(14.8, 11.6, 12, 11.7, 12, 14);
                pen.stroke(hook);
                pen.fill(circle({12, 17}, pen.width * 0.65));
            }},
        // Four corner brackets around a centre mark: aiming at a spot on the sheet.
        {QStringLiteral("viewfinder"),
            [](const Pen &pen) {
                pen.stroke(polyline({{4, 9}, {4, 4}, {9, 4}}));
                pen.stroke(polyline({{15, 4}, {20, 4}, {20, 9}}));
                pen.stroke(polyline({{20, 15}, {20, 20}, {15, 20}}));
                pen.stroke(polyline({{9, 20}, {4, 20}, {4, 15}}));
                pen.fill(circle({12, 12}, 2.2));
            }},
    };
    return table;
}

qreal strokeWidth(Weight weight)
{
    switch (weight) {
    case Weight::Light:
        return 1.25;
    case Weight::Regular:
        return 1.6;
    case Weight::Medium:
        return 1.85;
    case Weight::Semibold:
        return 2.1;
    case Weight::Bold:
        return 2.5;
    }
    return 1.6;
}

} // namespace

bool isKnown(const QString &name)
{
    return drawers().contains(name);
}

void paint(QPainter &painter, const QString &name, const QRectF &rect, const QColor &color, Weight weight)
{
    const auto it = drawers().constFind(name);
    if (it == drawers().cend() || rect.isEmpty())
        return;
    const qreal side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    painter.scale(side / 24.0, side / 24.0);
    // Thin strokes would vanish at small sizes; keep at least about one device pixel.
    const qreal minimum = 24.0 / side;
    Pen pen {painter, color, std::max(strokeWidth(weight), minimum)};
    it.value()(pen);
    painter.restore();
}

QPixmap pixmap(const QString &name, int size, const QColor &color, Weight weight, qreal devicePixelRatio)
{
    const int side = int(std::ceil(size * devicePixelRatio));
    QPixmap result(side, side);
    result.setDevicePixelRatio(devicePixelRatio);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    paint(painter, name, QRectF(0, 0, size, size), color, weight);
    return result;
}

} // namespace PDFViewerSymbol
