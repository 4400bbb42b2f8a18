#pragma once

// Internal to the engine boundary.

#include "PDFDocument.h"
#include "PDFMeasureViewport.h"
#include "PDFSnapIndex.h"

#include <mupdf/fitz.h>

#include <memory>

class PDFDocumentEngine;

// What a page's vector drawing and page dictionary say about its geometry: the points a
// measurement snaps to, and the page's measuring viewports.
namespace PDFPageVectors {

// Every straight piece and curve end of the page's filled and stroked paths, in page space.
// Walks the page's recording, outside the engine's mutex once it is recorded. Null with
// `error` set when the page cannot be read or `cookie` is cancelled. Any thread.
std::shared_ptr<PDFSnapIndex> snapIndex(PDFDocumentEngine &engine, int pageIndex, fz_cookie *cookie, PDFError *error);

// The page's /VP entries with a usable scale, in file order (the last one drawn on top).
// None for a page out of range or without any. Any thread; holds the engine's mutex.
QVector<PDFMeasureViewport> measureViewports(const PDFDocumentEngine &engine, int pageIndex);

} // namespace PDFPageVectors
