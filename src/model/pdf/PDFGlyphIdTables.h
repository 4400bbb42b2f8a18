#pragma once

// Internal to the engine boundary (includes MuPDF).

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <mutex>
#include <unordered_map>
#include <vector>

// Glyph ids of substituted CJK fonts, looked up once per font instead of once per character.
//
// A CID font the file does not embed is drawn with a substitute whose glyphs MuPDF finds
// through two lookups per character: CID to Unicode in the collection's character map, then
// Unicode to glyph in the substitute's own map. On Chinese text that is a fifth of reading a
// page. prepare() fills the font's CID-to-glyph table, which MuPDF reads first when there is
// one, with exactly the ids those lookups give, and drops the map it no longer needs.
//
// Only for fonts of a document that one thread owns (a private document of a find): the
// font descriptions are changed in place. Tables are computed once per font object and
// shared by every thread that holds this object; prepare() may be called from any thread.
class PDFGlyphIdTables {
public:
    // Prepares the horizontal substituted CID fonts in the resources of `page`. Never
    // throws; a font that cannot be loaded is left to the page's own run to report.
    void prepare(fz_context *ctx, fz_page *page);

private:
    using Table = std::vector<unsigned short>;

    void prepareFont(fz_context *ctx, pdf_document *document, pdf_obj *resources, pdf_obj *entry);
    // Never throws: MuPDF's lookups it makes raise no errors.
    const Table &table(fz_context *ctx, int objectNumber, pdf_font_desc *font);

    std::mutex m_mutex; // guards m_tables
    std::unordered_map<int, Table> m_tables; // by the font's object number
};
