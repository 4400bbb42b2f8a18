#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFError.h"

#include <mupdf/fitz.h>

#include <QImage>
#include <QRect>

class PDFDocumentEngine;

// Drawing pages into images. `rotation` is the viewer's absolute rotation in degrees,
// `scale` device pixels per point, `tile` device pixels of the displayed page with its
// top-left at (0, 0). Images are Format_RGB32, white where the page has no content. Both
// calls run on the calling thread with its own context, any thread.
namespace PDFPageRenderer {

// From the page's recorded list (recorded first if needed, under the engine's mutex), and
// at high zoom from the block of it around the tile; the drawing itself runs outside the
// lock. `cookie` may be null. Null image when cancelled or on error; a page whose content is
// partly broken still gives its image, with error Damaged.
QImage renderTile(PDFDocumentEngine &engine, int pageIndex, int rotation, qreal scale, const QRect &tile,
    fz_cookie *cookie, PDFError *error);
// Straight from the page in one pass under the engine's mutex, recording nothing.
QImage renderPageOnce(
    PDFDocumentEngine &engine, int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error);

} // namespace PDFPageRenderer
