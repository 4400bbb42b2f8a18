#pragma once

// Internal to the engine boundary.

#include "PDFDocument.h"

class PDFDocumentEngine;

// Reading a page's links and keeping only those the viewer may follow: web and mail
// addresses, and moves to a page of this document (see PDFLink).
namespace PDFLinkReader {

// The links of page `pageIndex` in page space; none for a page out of range or one whose
// links cannot be read. Any thread; holds the engine's mutex throughout.
QVector<PDFLink> links(const PDFDocumentEngine &engine, int pageIndex);

} // namespace PDFLinkReader
