#include "PDFTextSearch.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"
#include "PDFGlyphCollector.h"
#include "PDFGlyphIdTables.h"

#include <algorithm>

namespace {

// Sets every glyph's `folded` with MuPDF's case folding. False (error set) if MuPDF throws.
// MuPDF searches a table for every character it folds; a page repeats few characters, so
// each is folded once and remembered in a small direct-mapped table.
bool foldGlyphs(fz_context *ctx, std::vector<PDFTextMatch::Glyph> *glyphs, PDFError *error)
{
    struct Folding {
        char32_t c;
        char32_t folded;
    };
    constexpr size_t kSlots = 1024;
    Folding known[kSlots];
    const Folding start = {1, char32_t(fz_tolower(1))}; // every slot starts out right
    std::fill(std::begin(known), std::end(known), start);
    PDFTextMatch::Glyph *glyph = glyphs->data();
    const size_t count = glyphs->size();
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        for (size_t i = 0; i < count; ++i) {
            Folding &slot = known[glyph[i].c % kSlots];
            if (slot.c != glyph[i].c)
                slot = Folding {glyph[i].c, char32_t(fz_tolower(int(glyph[i].c)))};
            glyph[i].folded = slot.folded;
        }
        ok = 1;
    }
    fz_catch(ctx)
    {
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
    }
    return ok;
}

// The page's characters (PDFGlyphCollector), from its recorded list when one is cached, else
// from the page itself: loaded from `own` when given (the calling thread's private
// document), else from the engine's document under its mutex. False (error set) on failure.
bool pageGlyphs(fz_context *ctx, PDFDocumentEngine &engine, fz_document *own, PDFGlyphCollector &collector,
    PDFGlyphIdTables &glyphIds, int pageIndex, fz_cookie *cookie, std::vector<PDFTextMatch::Glyph> *glyphs,
    PDFError *error)
{
    const PDFPageGeometry &geometry = engine.geometry(pageIndex);
    // Search finds what is shown: a private document has the layers shown at its opening.
    const std::shared_ptr<const PDFHiddenLayerNames> hidden = engine.layers().hiddenNames();
    fz_display_list *list = nullptr;
    {
        std::unique_lock<std::mutex> lock(engine.mutex());
        list = engine.displayLists().keepRecordedPageList(ctx, pageIndex);
        if (!list && own)
            lock.unlock();
        else if (!list)
            engine.layers().apply(ctx, engine.pdf());
        if (!list) {
            fz_page *page = own ? PDFDocumentEngine::loadPage(ctx, own, pageIndex, error)
                                : engine.loadPage(ctx, pageIndex, error);
            if (!page)
                return false;
            if (own)
                glyphIds.prepare(ctx, page);
            const bool ok = collector.collect(ctx, nullptr, page, geometry, cookie, glyphs, error);
            fz_drop_page(ctx, page);
            return ok;
        }
    }
    const bool ok = collector.collect(ctx, list, nullptr, geometry, cookie, glyphs, error, hidden.get());
    fz_drop_display_list(ctx, list);
    return ok;
}

} // namespace

namespace PDFTextSearch {

std::u32string foldedNeedle(const QString &query)
{
    const QList<uint> ucs4 = query.toUcs4();
    std::u32string folded(ucs4.begin(), ucs4.end());
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx)
        return {};
    char32_t *c = folded.data();
    const size_t count = folded.size();
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        for (size_t i = 0; i < count; ++i)
            c[i] = char32_t(fz_tolower(int(PDFTextMatch::scalarValue(int(c[i])))));
        ok = 1;
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok ? PDFTextMatch::needle(folded) : std::u32string();
}

std::vector<PDFTextMatch::Hit> find(PDFDocumentEngine &engine, fz_document *own, PDFGlyphCollector &collector,
    PDFGlyphIdTables &glyphIds, int pageIndex, const std::u32string &needle, fz_cookie *cookie, PDFError *error)
{
    std::vector<PDFTextMatch::Hit> hits;
    if (!engine.hasPage(pageIndex) || needle.empty())
        return hits;
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        PDFError::set(error, PDFEngineContext::noContextError());
        return hits;
    }
    std::vector<PDFTextMatch::Glyph> glyphs;
    if (!pageGlyphs(ctx, engine, own, collector, glyphIds, pageIndex, cookie, &glyphs, error))
        return hits;
    if (PDFCancelCookie::reportIfCancelled(cookie, error))
        return hits;
    if (!foldGlyphs(ctx, &glyphs, error))
        return hits;
    hits = PDFTextMatch::find(glyphs, needle);
    PDFError::set(error, PDFError {});
    return hits;
}

} // namespace PDFTextSearch
