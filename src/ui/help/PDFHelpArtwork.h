#pragma once

#include <QPainterPath>
#include <QRectF>

class QPainter;

// The help card's drawn decorations. Each shape turns a rectangle (logical pixels, y down) into
// a path; the caller strokes or fills it. Nothing is a picture, so they stay sharp at any scale.

// Lines every 24 pixels from the rectangle's top-left corner, vertical ones first, up to and
// including a line lying exactly on the far edge.
namespace PDFHelpBlueprintGrid {
constexpr qreal spacing = 24;
QPainterPath path(const QRectF &rect);
} // namespace PDFHelpBlueprintGrid

// An open curve sagging like a smile, designed on a 128 × 17 box scaled uniformly (by the smaller
// of height / 17 and width / 128) and centred in the rectangle; its ends are at the top of that
// box. Meant to be stroked.
namespace PDFHelpCanonicalSmileArc {
// The uniform scale the curve is drawn at in `rect`.
qreal scale(const QRectF &rect);
QPainterPath path(const QRectF &rect);
} // namespace PDFHelpCanonicalSmileArc

// A page with its top-right corner cut off diagonally (0.28 of the width, 0.24 of the height),
// filling the rectangle. Closed.
namespace PDFHelpDocumentGlyph {
QPainterPath path(const QRectF &rect);
} // namespace PDFHelpDocumentGlyph

// The product mark filling `frame`: a brand-purple rounded square, a white page on it with a
// viewfinder aiming at the sheet, and a white smile under the page.
namespace PDFHelpProductMark {
void paint(QPainter &painter, const QRectF &frame);
} // namespace PDFHelpProductMark
