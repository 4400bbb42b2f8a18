#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

// The viewer's icons, drawn as vectors so that they stay crisp at any device pixel ratio and
// do not depend on the installed icon theme. Each symbol is designed on a 24 × 24 grid and
// scaled uniformly into the square centred in the target rectangle. Symbol names follow the
// viewer's naming ("chevron.left", "doc.richtext", …); an unknown name draws nothing.
namespace PDFViewerSymbol {

enum class Weight { Light, Regular, Medium, Semibold, Bold };

bool isKnown(const QString &name);
void paint(
    QPainter &painter, const QString &name, const QRectF &rect, const QColor &color, Weight weight = Weight::Regular);
// A square pixmap of `size` logical pixels at `devicePixelRatio`.
QPixmap pixmap(
    const QString &name, int size, const QColor &color, Weight weight = Weight::Regular, qreal devicePixelRatio = 1.0);

} // namespace PDFViewerSymbol
