#include "PDFHelpArtwork.h"

#include "PDFViewerPalette.h"
#include "PDFViewerSymbol.h"

#include <QPainter>

#include <algorithm>

namespace {

// A rectangle of `size` centred on `centre`.
QRectF centred(QPointF centre, QSizeF size)
{
    return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
}

} // namespace

namespace PDFHelpBlueprintGrid {

QPainterPath path(const QRectF &rect)
{
    QPainterPath grid;
    // Counted rather than accumulated, so a far edge at an exact multiple keeps its line.
    const int columns = int(rect.width() / spacing + 1e-9);
    const int rows = int(rect.height() / spacing + 1e-9);
    for (int i = 0; i <= columns; ++i) {
        const qreal x = rect.left() + i * spacing;
        grid.moveTo(x, rect.top());
        grid.lineTo(x, rect.bottom());
    }
    for (int i = 0; i <= rows; ++i) {
        const qreal y = rect.top() + i * spacing;
        grid.moveTo(rect.left(), y);
        grid.lineTo(rect.right(), y);
    }
    return grid;
}

} // namespace PDFHelpBlueprintGrid

namespace PDFHelpCanonicalSmileArc {

qreal scale(const QRectF &rect)
{
    return std::min(rect.height() / 17.0, rect.width() / 128.0);
}

QPainterPath path(const QRectF &rect)
{
    const qreal s = scale(rect);
    const QRectF box = centred(rect.center(), QSizeF(128 * s, 17 * s));
    const qreal x0 = box.left();
    const qreal y0 = box.top();
    QPainterPath arc(QPointF(x0, y0));
    arc.cubicTo(QPointF(x0 + 34 * s, y0 + 17 * s), QPointF(x0 + 94 * s, y0 + 17 * s), QPointF(x0 + 128 * s, y0));
    return arc;
}

} // namespace PDFHelpCanonicalSmileArc

namespace PDFHelpDocumentGlyph {

QPainterPath path(const QRectF &rect)
{
    QPainterPath page(rect.topLeft());
    page.lineTo(rect.right() - 0.28 * rect.width(), rect.top());
    page.lineTo(rect.right(), rect.top() + 0.24 * rect.height());
    page.lineTo(rect.bottomRight());
    page.lineTo(rect.bottomLeft());
    page.closeSubpath();
    return page;
}

} // namespace PDFHelpDocumentGlyph

namespace PDFHelpProductMark {

void paint(QPainter &painter, const QRectF &frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath square;
    square.addRoundedRect(frame, 12, 12);
    painter.fillPath(square, pdfBrandPurple);

    const QPointF centre = frame.center();
    painter.fillPath(PDFHelpDocumentGlyph::path(centred(centre + QPointF(0, -2), QSizeF(25, 29))), Qt::white);
    PDFViewerSymbol::paint(painter, QStringLiteral("viewfinder"), centred(centre + QPointF(0, -1), QSizeF(17, 17)),
        pdfBrandPurple, PDFViewerSymbol::Weight::Bold);
    painter.strokePath(PDFHelpCanonicalSmileArc::path(centred(centre + QPointF(0, 18), QSizeF(25, 4))),
        QPen(Qt::white, 2.3, Qt::SolidLine, Qt::RoundCap));
    painter.restore();
}

} // namespace PDFHelpProductMark
