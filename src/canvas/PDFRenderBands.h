#pragma once

#include "PDFTileKey.h"

#include <QList>
#include <QRect>
#include <QSizeF>

// Groups the tiles a view lacks into a few large renders. Drawing a tile walks every recorded
// command that reaches into it, so a long path crossing the whole page is flattened once per
// tile; a band of tiles drawn in one pass walks it once. With one band per core the view is
// drawn in the fewest passes that still use the whole machine.
namespace PDFRenderBands {

struct Band {
    QRect pixels; // what the band draws, in the page's pixels
    QList<PDFTileKey> tiles; // the tiles it reaches into
};

// Splits `tiles` (of one page, rotation and scale, together filling a rectangle of the tile
// grid) into at most `pieces` bands of whole tile rows or columns, along the axis that leaves
// the largest band smallest. `pixels[i]` is the part of tiles[i] to draw, in the page's
// pixels: its whole rectangle, or the part of it a view shows. Empty when the tiles do not
// fill a rectangle.
QList<Band> split(const QList<PDFTileKey> &tiles, const QList<QRect> &pixels, int pieces);
// For the parts of tiles a view shows: cuts what `pixels` cover together into `pieces` rows
// of equal height (to a pixel), each drawing the parts of several tiles; bands of whole tile
// rows can be far apart in size when the view cuts its edge tiles short. Rows, because a path
// is scan-converted over every row it spans however narrow the strip drawn. Empty for fewer
// than two tiles or when they do not fill a rectangle.
QList<Band> strips(const QList<PDFTileKey> &tiles, const QList<QRect> &pixels, int pieces);

} // namespace PDFRenderBands
