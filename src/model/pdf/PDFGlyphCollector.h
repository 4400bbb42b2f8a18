#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFError.h"
#include "PDFLayerFilterDevice.h"
#include "PDFPageTree.h"
#include "PDFTextMatch.h"

#include <mupdf/fitz.h>

#include <memory>
#include <vector>

// A page's characters for the matcher, read by a device of our own that lays text out
// exactly as MuPDF's structured-text device does with no options set (the MuPDF we build
// against): the same characters in the same order, ligatures expanded, white space made
// U+0020, the same synthetic spaces and line breaks, and each character's box the bounds of
// the same quad. It builds no blocks or lines and keeps no font per character, and it asks
// MuPDF for a glyph's advance once: the structured-text device takes the allocator's lock
// twice and FreeType's once for every character, which keeps two finds from running side
// by side.
//
// The layout rules are MuPDF's, not ours: a newer MuPDF may change them, and
// tst_PDFTextSearch compares both devices on the same pages.
//
// One thread's: it keeps the advances it asked for, with a reference to each of the last
// kKeptFonts fonts they belong to, until clear() or destruction on that thread.
class PDFGlyphCollector {
public:
    static constexpr int kKeptFonts = 16;

    PDFGlyphCollector();
    ~PDFGlyphCollector();
    PDFGlyphCollector(const PDFGlyphCollector &) = delete;
    PDFGlyphCollector &operator=(const PDFGlyphCollector &) = delete;

    // The characters of `list` run through the device, or else of `page`; boxes in page
    // space per `geometry`, `c` as extracted, `folded` left 0. False, with `error` set and
    // `glyphs` empty, when MuPDF throws (a cancelled cookie included). `cookie` may be null.
    // Text in the layers `hidden` names is left out of `list` (PDFLayerFilterDevice).
    bool collect(fz_context *ctx, fz_display_list *list, fz_page *page, const PDFPageGeometry &geometry,
        fz_cookie *cookie, std::vector<PDFTextMatch::Glyph> *glyphs, PDFError *error,
        const PDFHiddenLayerNames *hidden = nullptr);
    // Lets go of the fonts kept.
    void clear(fz_context *ctx);

    class Advances;

private:
    std::unique_ptr<Advances> m_advances;
    size_t m_lastCount = 0; // characters on the page collected last
};
