#include "PDFGlyphCollector.h"

#include "PDFEngineContext.h"

#include <mupdf/ucdn.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// MuPDF's thresholds, in units of the font size.
constexpr float kSameDirection = 0.999f;
constexpr float kSpaceDistance = 0.15f;
constexpr float kSpaceMaxDistance = 0.8f;

} // namespace

// Glyph advances asked of MuPDF, per font, most recently used font last; the fonts are kept
// so that no other font takes a freed one's address. Glyph ids from kCachedGlyphs on are
// asked for every time.
class PDFGlyphCollector::Advances {
public:
    static constexpr int kCachedGlyphs = 65536;

    void clear(fz_context *ctx)
    {
        for (Font &font : m_fonts)
            fz_drop_font(ctx, font.font);
        m_fonts.clear();
    }

    // May throw as MuPDF does; holds nothing then that needs unwinding.
    float advance(fz_context *ctx, fz_font *font, int gid, int wmode)
    {
        if (gid >= kCachedGlyphs)
            return fz_advance_glyph(ctx, font, gid, wmode);
        std::vector<float> &known = fontEntry(ctx, font).advances[wmode];
        if (size_t(gid) >= known.size())
            known.resize(std::max(size_t(gid) + 1, std::min(known.size() * 2, size_t(kCachedGlyphs))), NAN);
        float &value = known[size_t(gid)];
        if (std::isnan(value))
            value = fz_advance_glyph(ctx, font, gid, wmode);
        return value;
    }

private:
    struct Font {
        fz_font *font;
        std::vector<float> advances[2]; // by writing mode, then glyph id; NaN when not asked
    };

    Font &fontEntry(fz_context *ctx, fz_font *font)
    {
        if (!m_fonts.empty() && m_fonts.back().font == font)
            return m_fonts.back();
        auto found = std::find_if(m_fonts.begin(), m_fonts.end(), [font](const Font &f) { return f.font == font; });
        if (found != m_fonts.end()) {
            std::rotate(found, found + 1, m_fonts.end());
            return m_fonts.back();
        }
        if (m_fonts.size() == size_t(kKeptFonts)) {
            fz_drop_font(ctx, m_fonts.front().font);
            m_fonts.erase(m_fonts.begin());
        }
        m_fonts.push_back(Font {fz_keep_font(ctx, font), {}});
        return m_fonts.back();
    }

    std::vector<Font> m_fonts;
};

namespace {

// What MuPDF's structured-text device keeps between characters, minus the structures.
struct Layout {
    const PDFPageGeometry *geometry;
    std::vector<PDFTextMatch::Glyph> *glyphs;
    PDFGlyphCollector::Advances *advances;
    const fz_text *lastText = nullptr; // kept: a text both filled and clipped is read once
    fz_point pen = {0, 0};
    int direction = 1; // of the last strongly directed character: 1 left to right, -1 right to left
    int lastChar = ' ';
    bool haveLine = false;
    int line = -1;
    int lineWritingMode = 0;
    fz_point lineDirection = {0, 0};
};

struct CollectorDevice {
    fz_device super;
    Layout *layout;
};

int directionAfter(int bidiClass, int direction)
{
    switch (bidiClass) {
    case UCDN_BIDI_CLASS_L:
        return 1;
    case UCDN_BIDI_CLASS_R:
    case UCDN_BIDI_CLASS_AL:
        return -1;
    case UCDN_BIDI_CLASS_EN:
    case UCDN_BIDI_CLASS_ES:
    case UCDN_BIDI_CLASS_ET:
    case UCDN_BIDI_CLASS_AN:
    case UCDN_BIDI_CLASS_CS:
    case UCDN_BIDI_CLASS_NSM:
    case UCDN_BIDI_CLASS_BN:
    case UCDN_BIDI_CLASS_B:
    case UCDN_BIDI_CLASS_S:
    case UCDN_BIDI_CLASS_WS:
    case UCDN_BIDI_CLASS_ON:
        return direction;
    default:
        return 0;
    }
}

// What MuPDF derives for every character from its transform but which depends only on the
// span's: the transform of its glyphs differs from one to the next only in the origin.
struct SpanMetrics {
    fz_point dir; // the pen's motion for an advance of 1
    fz_point ndir; // `dir` normalised
    float size;
    fz_point ascent[2]; // by the line's writing mode: from the baseline to the quad's top...
    fz_point descent[2]; // ...and to its bottom
};

SpanMetrics spanMetrics(fz_context *ctx, fz_font *font, int wmode, fz_matrix trm)
{
    SpanMetrics m;
    m.dir = fz_transform_vector(wmode == 0 ? fz_make_point(1, 0) : fz_make_point(0, -1), trm);
    m.ndir = fz_normalize_vector(m.dir);
    m.size = fz_matrix_expansion(trm);
    m.ascent[0] = fz_transform_vector(fz_make_point(0, fz_font_ascender(ctx, font)), trm);
    m.descent[0] = fz_transform_vector(fz_make_point(0, fz_font_descender(ctx, font)), trm);
    m.ascent[1] = fz_transform_vector(fz_make_point(1, 0), trm);
    m.descent[1] = fz_transform_vector(fz_make_point(0, 0), trm);
    return m;
}

// Appends `c` with the quad MuPDF gives a character from `p` to `q` on the current line.
void addGlyph(Layout &layout, const SpanMetrics &m, int c, fz_point p, fz_point q)
{
    const fz_point a = m.ascent[layout.lineWritingMode];
    const fz_point d = m.descent[layout.lineWritingMode];
    const fz_point ll = fz_make_point(p.x + d.x, p.y + d.y);
    const fz_point ul = fz_make_point(p.x + a.x, p.y + a.y);
    const fz_point lr = fz_make_point(q.x + d.x, q.y + d.y);
    const fz_point ur = fz_make_point(q.x + a.x, q.y + a.y);
    const fz_rect box = {std::min({ul.x, ur.x, ll.x, lr.x}), std::min({ul.y, ur.y, ll.y, lr.y}),
        std::max({ul.x, ur.x, ll.x, lr.x}), std::max({ul.y, ur.y, ll.y, lr.y})};
    layout.glyphs->push_back({PDFTextMatch::scalarValue(c), 0, layout.line, layout.geometry->toPageSpace(box)});
}

// One character as MuPDF's device adds it, its glyph's origin at `origin`: where it starts
// and stops, whether it opens a new line, and whether a space goes before it.
void addChar(Layout &layout, const SpanMetrics &m, int c, int gid, fz_point origin, float adv, int wmode)
{
    layout.direction = directionAfter(ucdn_get_bidi_class(c), layout.direction);
    fz_point p;
    fz_point q;
    if (wmode == 0) {
        p = origin;
        q = fz_make_point(origin.x + adv * m.dir.x, origin.y + adv * m.dir.y);
    } else {
        p = fz_make_point(origin.x - adv * m.dir.x, origin.y - adv * m.dir.y);
        q = origin;
    }
    const fz_point ndir = m.ndir;
    const float size = m.size;

    if (layout.haveLine && gid < 0) {
        // A character without a glyph of its own (the tail of a ligature) neither moves the
        // pen nor breaks the line.
        addGlyph(layout, m, c, layout.pen, layout.pen);
        layout.lastChar = c;
        return;
    }

    bool newLine = true;
    bool addSpace = false;
    if (layout.haveLine && layout.lineWritingMode == wmode
        && !(ndir.x * layout.lineDirection.x + ndir.y * layout.lineDirection.y < kSameDirection)) {
        // Text printed twice in the same place (fake bold) is read once.
        if (std::fabs(q.x - layout.pen.x) < FLT_EPSILON && std::fabs(q.y - layout.pen.y) < FLT_EPSILON
            && c == layout.lastChar)
            return;
        const fz_point delta = fz_make_point(p.x - layout.pen.x, p.y - layout.pen.y);
        const float spacing = ndir.x * delta.x + ndir.y * delta.y;
        const float baseOffset = -ndir.y * delta.x + ndir.x * delta.y;
        if (std::fabs(baseOffset) < size * kSpaceMaxDistance) {
            if (layout.direction >= 0) {
                if (std::fabs(spacing) < size * kSpaceDistance)
                    newLine = false;
                else if (std::fabs(spacing) > size * kSpaceMaxDistance)
                    newLine = true;
                else if (spacing < 0)
                    newLine = false;
                else {
                    addSpace = layout.lastChar != ' ' && wmode == 0;
                    newLine = false;
                }
            } else {
                newLine = false;
            }
        }
        // Further off the baseline is a new line (MuPDF also tells a new paragraph from a
        // line there, which changes nothing here).
    }

    if (newLine) {
        layout.haveLine = true;
        ++layout.line;
        layout.lineWritingMode = wmode;
        layout.lineDirection = ndir;
    }
    if (addSpace)
        addGlyph(layout, m, ' ', layout.pen, p);
    addGlyph(layout, m, c, p, q);
    layout.lastChar = c;
    layout.pen = q;
}

bool isWhiteSpace(int c)
{
    switch (c) {
    case 0x0009:
    case 0x0020:
    case 0x00A0:
    case 0x1680:
    case 0x180E:
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
    case 0x2004:
    case 0x2005:
    case 0x2006:
    case 0x2007:
    case 0x2008:
    case 0x2009:
    case 0x200A:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return false;
    }
}

// The letters a ligature stands for, or null.
const char *ligature(int c)
{
    switch (c) {
    case 0xFB00:
        return "ff";
    case 0xFB01:
        return "fi";
    case 0xFB02:
        return "fl";
    case 0xFB03:
        return "ffi";
    case 0xFB04:
        return "ffl";
    case 0xFB05:
    case 0xFB06:
        return "st";
    default:
        return nullptr;
    }
}

void readSpan(fz_context *ctx, Layout &layout, const fz_text_span *span, fz_matrix ctm)
{
    fz_matrix tm = span->trm;
    const int wmode = span->wmode;
    SpanMetrics m;
    for (int i = 0; i < span->len; ++i) {
        const fz_text_item &item = span->items[i];
        tm.e = item.x;
        tm.f = item.y;
        const fz_matrix trm = fz_concat(tm, ctm);
        if (i == 0)
            m = spanMetrics(ctx, span->font, wmode, trm);
        const fz_point origin = fz_make_point(trm.e, trm.f);
        const float adv = item.gid >= 0 ? layout.advances->advance(ctx, span->font, item.gid, wmode) : 0;
        int c = item.ucs;
        if (c == -1)
            continue; // one character drawn with several glyphs: read at the first
        if (const char *letters = ligature(c)) {
            addChar(layout, m, letters[0], item.gid, origin, adv, wmode);
            for (const char *letter = letters + 1; *letter; ++letter)
                addChar(layout, m, *letter, -1, origin, 0, wmode);
            continue;
        }
        if (isWhiteSpace(c))
            c = ' ';
        addChar(layout, m, c, item.gid, origin, adv, wmode);
    }
}

void readText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm)
{
    Layout &layout = *reinterpret_cast<CollectorDevice *>(device)->layout;
    if (text == layout.lastText)
        return;
    for (const fz_text_span *span = text->head; span; span = span->next)
        readSpan(ctx, layout, span, ctm);
    fz_drop_text(ctx, layout.lastText);
    layout.lastText = fz_keep_text(ctx, text);
}

void fillText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm, fz_colorspace *, const float *,
    float, fz_color_params)
{
    readText(ctx, device, text, ctm);
}

void strokeText(fz_context *ctx, fz_device *device, const fz_text *text, const fz_stroke_state *, fz_matrix ctm,
    fz_colorspace *, const float *, float, fz_color_params)
{
    readText(ctx, device, text, ctm);
}

void clipText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm, fz_rect)
{
    readText(ctx, device, text, ctm);
}

void clipStrokeText(
    fz_context *ctx, fz_device *device, const fz_text *text, const fz_stroke_state *, fz_matrix ctm, fz_rect)
{
    readText(ctx, device, text, ctm);
}

void ignoreText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm)
{
    readText(ctx, device, text, ctm);
}

void dropDevice(fz_context *ctx, fz_device *device)
{
    Layout &layout = *reinterpret_cast<CollectorDevice *>(device)->layout;
    fz_drop_text(ctx, layout.lastText);
    layout.lastText = nullptr;
}

} // namespace

PDFGlyphCollector::PDFGlyphCollector()
    : m_advances(std::make_unique<Advances>())
{
}

PDFGlyphCollector::~PDFGlyphCollector()
{
    if (fz_context *ctx = PDFEngineContext::current())
        clear(ctx);
}

void PDFGlyphCollector::clear(fz_context *ctx)
{
    m_advances->clear(ctx);
}

bool PDFGlyphCollector::collect(fz_context *ctx, fz_display_list *list, fz_page *page, const PDFPageGeometry &geometry,
    fz_cookie *cookie, std::vector<PDFTextMatch::Glyph> *glyphs, PDFError *error, const PDFHiddenLayerNames *hidden)
{
    Layout layout;
    layout.geometry = &geometry;
    layout.glyphs = glyphs;
    layout.advances = m_advances.get();
    glyphs->clear();
    // Pages of a document tend to hold about as many characters as the one before.
    glyphs->reserve(m_lastCount);
    fz_device *device = nullptr;
    fz_device *filter = nullptr;
    int ok = 0;
    fz_var(device);
    fz_var(filter);
    fz_var(ok);
    fz_try(ctx)
    {
        auto *collector = fz_new_derived_device(ctx, CollectorDevice);
        collector->layout = &layout;
        device = &collector->super;
        device->drop_device = dropDevice;
        device->fill_text = fillText;
        device->stroke_text = strokeText;
        device->clip_text = clipText;
        device->clip_stroke_text = clipStrokeText;
        device->ignore_text = ignoreText;
        if (list && hidden)
            filter = PDFLayerFilterDevice::create(ctx, device, hidden);
        if (list)
            fz_run_display_list(ctx, list, filter ? filter : device, fz_identity, fz_infinite_rect, cookie);
        else
            fz_run_page(ctx, page, device, fz_identity, cookie);
        fz_close_device(ctx, device);
        ok = 1;
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, filter);
        fz_drop_device(ctx, device);
    }
    fz_catch(ctx)
    {
        glyphs->clear();
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
    }
    m_lastCount = glyphs->size();
    return ok;
}
