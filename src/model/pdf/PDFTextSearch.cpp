#include "PDFTextSearch.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"

#include <algorithm>

namespace {

// Replaces what cannot be a Unicode scalar value with U+FFFD.
char32_t scalarValue(int c)
{
    return c < 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(c);
}

// The characters of `text` in reading order, lines numbered from 0, unfolded; boxes in page
// space. Reads MuPDF's structures only, calls nothing.
std::vector<PDFTextMatch::Glyph> collectGlyphs(const fz_stext_page *text, const PDFPageGeometry &geometry)
{
    size_t count = 0;
    for (const fz_stext_block *block = text->first_block; block; block = block->next) {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (const fz_stext_line *line = block->u.t.first_line; line; line = line->next) {
            for (const fz_stext_char *ch = line->first_char; ch; ch = ch->next)
                ++count;
        }
    }
    std::vector<PDFTextMatch::Glyph> glyphs;
    glyphs.reserve(count);
    int lineNumber = 0;
    for (const fz_stext_block *block = text->first_block; block; block = block->next) {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (const fz_stext_line *line = block->u.t.first_line; line; line = line->next, ++lineNumber) {
            for (const fz_stext_char *ch = line->first_char; ch; ch = ch->next) {
                const fz_quad &q = ch->quad;
                const float x0 = std::min({q.ul.x, q.ur.x, q.ll.x, q.lr.x});
                const float x1 = std::max({q.ul.x, q.ur.x, q.ll.x, q.lr.x});
                const float y0 = std::min({q.ul.y, q.ur.y, q.ll.y, q.lr.y});
                const float y1 = std::max({q.ul.y, q.ur.y, q.ll.y, q.lr.y});
                PDFTextMatch::Glyph glyph;
                glyph.c = scalarValue(ch->c);
                glyph.line = lineNumber;
                glyph.box = geometry.toPageSpace(fz_rect {x0, y0, x1, y1});
                glyphs.push_back(glyph);
            }
        }
    }
    return glyphs;
}

// Sets every glyph's `folded` with MuPDF's case folding. False (error set) if MuPDF throws.
bool foldGlyphs(fz_context *ctx, std::vector<PDFTextMatch::Glyph> *glyphs, PDFError *error)
{
    PDFTextMatch::Glyph *glyph = glyphs->data();
    const size_t count = glyphs->size();
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        for (size_t i = 0; i < count; ++i)
            glyph[i].folded = char32_t(fz_tolower(int(glyph[i].c)));
        ok = 1;
    }
    fz_catch(ctx)
    {
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
    }
    return ok;
}

// The structured text of `list`, or else of `page` (the caller then holds the engine's
// mutex); null with `error` set when MuPDF throws.
fz_stext_page *extractText(fz_context *ctx, fz_display_list *list, fz_page *page, fz_cookie *cookie, PDFError *error)
{
    fz_stext_options options = {};
    fz_stext_page *text = nullptr;
    fz_device *device = nullptr;
    fz_var(text);
    fz_var(device);
    fz_try(ctx)
    {
        text = fz_new_stext_page(ctx, list ? fz_bound_display_list(ctx, list) : fz_bound_page(ctx, page));
        device = fz_new_stext_device(ctx, text, &options);
        if (list)
            fz_run_display_list(ctx, list, device, fz_identity, fz_infinite_rect, cookie);
        else
            fz_run_page(ctx, page, device, fz_identity, cookie);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
    }
    fz_catch(ctx)
    {
        fz_drop_stext_page(ctx, text);
        text = nullptr;
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
    }
    return text;
}

// The page's text, from its recorded list when one is cached, else from the page itself:
// loaded from `own` when given (the calling thread's private document), else from the
// engine's document under its mutex.
fz_stext_page *pageText(
    fz_context *ctx, PDFDocumentEngine &engine, fz_document *own, int pageIndex, fz_cookie *cookie, PDFError *error)
{
    fz_display_list *list = nullptr;
    {
        std::unique_lock<std::mutex> lock(engine.mutex());
        list = engine.displayLists().keepRecordedPageList(ctx, pageIndex);
        if (!list && own)
            lock.unlock();
        if (!list) {
            fz_page *page = own ? PDFDocumentEngine::loadPage(ctx, own, pageIndex, error)
                                : engine.loadPage(ctx, pageIndex, error);
            if (!page)
                return nullptr;
            fz_stext_page *text = extractText(ctx, nullptr, page, cookie, error);
            fz_drop_page(ctx, page);
            return text;
        }
    }
    fz_stext_page *text = extractText(ctx, list, nullptr, cookie, error);
    fz_drop_display_list(ctx, list);
    return text;
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
            c[i] = char32_t(fz_tolower(int(scalarValue(int(c[i])))));
        ok = 1;
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok ? PDFTextMatch::needle(folded) : std::u32string();
}

std::vector<PDFTextMatch::Hit> find(PDFDocumentEngine &engine, fz_document *own, int pageIndex,
    const std::u32string &needle, fz_cookie *cookie, PDFError *error)
{
    std::vector<PDFTextMatch::Hit> hits;
    if (!engine.hasPage(pageIndex) || needle.empty())
        return hits;
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        PDFError::set(error, PDFEngineContext::noContextError());
        return hits;
    }
    fz_stext_page *text = pageText(ctx, engine, own, pageIndex, cookie, error);
    if (!text)
        return hits;
    if (PDFCancelCookie::reportIfCancelled(cookie, error)) {
        fz_drop_stext_page(ctx, text);
        return hits;
    }
    std::vector<PDFTextMatch::Glyph> glyphs = collectGlyphs(text, engine.geometry(pageIndex));
    fz_drop_stext_page(ctx, text);
    if (!foldGlyphs(ctx, &glyphs, error))
        return hits;
    hits = PDFTextMatch::find(glyphs, needle);
    PDFError::set(error, PDFError {});
    return hits;
}

} // namespace PDFTextSearch
