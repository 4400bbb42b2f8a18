#pragma once

// Internal to the engine boundary (includes MuPDF).

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <QRectF>

#include <vector>

// Page geometry as read at open. Immutable afterwards, so any thread may read it unlocked.
struct PDFPageGeometry {
    fz_rect bounds; // MuPDF page space: points, y down, the file's /Rotate applied
    int fileRotation = 0;

    // `rect` (MuPDF page space) in our page space: the same points, origin at the page's
    // top-left corner.
    QRectF toPageSpace(const fz_rect &rect) const
    {
        return QRectF(
            qreal(rect.x0 - bounds.x0), qreal(rect.y0 - bounds.y0), qreal(rect.x1 - rect.x0), qreal(rect.y1 - rect.y0));
    }
};

// A page object, by object and generation number.
struct PDFPageReference {
    int num;
    int gen;
};

// Reading the page tree of a file as it opens: every page's geometry in one walk, whatever
// the tree claims, and a damaged tree made safe for the engine's own page lookups.
namespace PDFPageTree {

// Fills `geometry` with `pageCount` entries in page order, and `pages` with the page objects
// found, in page order. A page the tree claims but does not hold, whose box cannot be read or
// is out of PDFPage's bounds, gets A4 portrait (and fails when drawn if it is missing). A tree
// the engine's lookup cannot be trusted on is replaced by index() of the pages found; false
// when that fails, and the document must not be used. The caller holds the only use of `pdf`.
bool read(fz_context *ctx, pdf_document *pdf, int pageCount, std::vector<PDFPageGeometry> *geometry,
    std::vector<PDFPageReference> *pages);
// Replaces the page tree of `pdf` (read()'s own, or another document's on the same file), in
// memory only, by one over `pages` in groups of about the square root of their number, so
// that a page is found in a few steps rather than past every page before it. Each page keeps
// its /Parent, so what it inherits stays as the file has it. False when that fails.
bool index(fz_context *ctx, pdf_document *pdf, const std::vector<PDFPageReference> &pages);

} // namespace PDFPageTree
