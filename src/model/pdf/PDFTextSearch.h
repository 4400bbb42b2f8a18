#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFError.h"
#include "PDFTextMatch.h"

#include <mupdf/fitz.h>

#include <QString>

#include <string>
#include <vector>

class PDFDocumentEngine;
class PDFGlyphCollector;
class PDFGlyphIdTables;

// Extracting a page's text and finding a query in it, ignoring case as MuPDF folds it.
namespace PDFTextSearch {

// `query` case-folded as find() folds the page's text, as a needle for PDFTextMatch; empty
// when the query is blank. Any thread.
std::u32string foldedNeedle(const QString &query);
// The hits of `needle` (from foldedNeedle) on one page, in reading order, rectangles in page
// space. The text comes from the page's recorded list when there is one (drawn outside the
// engine's mutex), else from the page: loaded from `own`, the calling thread's private
// document (PDFDocumentEngine::openPrivateDocument) without the mutex, or, when `own` is
// null, from the engine's document under it; either way read by `collector`, the calling
// thread's. Pages loaded from `own` have their fonts prepared by `glyphIds` first. Searching
// never records a list. `cookie` may be null. Any thread.
std::vector<PDFTextMatch::Hit> find(PDFDocumentEngine &engine, fz_document *own, PDFGlyphCollector &collector,
    PDFGlyphIdTables &glyphIds, int pageIndex, const std::u32string &needle, fz_cookie *cookie, PDFError *error);

} // namespace PDFTextSearch
