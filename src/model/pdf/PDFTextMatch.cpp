#include "PDFTextMatch.h"

#include <QChar>

namespace PDFTextMatch {

namespace {

constexpr char32_t kSpace = U' ';
constexpr int kBreak = -1;

// The haystack: one item per glyph, white space as U+0020, plus one U+0020 item (glyph
// kBreak) for every line break that counts as white space.
struct Item {
    char32_t c;
    int glyph;
};

std::vector<Item> haystack(const std::vector<Glyph> &glyphs)
{
    std::vector<Item> items;
    items.reserve(glyphs.size() + glyphs.size() / 8 + 1);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Glyph &glyph = glyphs[i];
        if (i > 0 && glyph.line != glyphs[i - 1].line && !(isCJK(glyphs[i - 1].c) && isCJK(glyph.c)))
            items.push_back({kSpace, kBreak});
        items.push_back({isWhiteSpace(glyph.c) ? kSpace : glyph.folded, int(i)});
    }
    return items;
}

// Items [first, end) as a hit.
Hit makeHit(const std::vector<Glyph> &glyphs, const std::vector<Item> &items, size_t first, size_t end)
{
    Hit hit;
    std::u32string text;
    text.reserve(end - first);
    QRectF lineRect;
    int line = 0;
    bool haveLine = false;
    for (size_t i = first; i < end; ++i) {
        if (items[i].glyph == kBreak) {
            text.push_back(kSpace);
            continue;
        }
        const Glyph &glyph = glyphs[size_t(items[i].glyph)];
        text.push_back(glyph.c);
        if (haveLine && glyph.line == line) {
            lineRect = lineRect.united(glyph.box);
            continue;
        }
        if (haveLine)
            hit.rects.append(lineRect);
        lineRect = glyph.box;
        line = glyph.line;
        haveLine = true;
    }
    if (haveLine)
        hit.rects.append(lineRect);
    hit.text = QString::fromUcs4(text.data(), qsizetype(text.size()));
    return hit;
}

} // namespace

char32_t scalarValue(int c)
{
    return c < 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(c);
}

bool isWhiteSpace(char32_t c)
{
    return QChar::isSpace(c);
}

bool isCJK(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x2FFF) // radicals, ideographic description
        || (c >= 0x3001 && c <= 0x33FF) // punctuation (not U+3000, a space), kana, bopomofo, enclosed
        || (c >= 0x3400 && c <= 0x4DBF) // extension A
        || (c >= 0x4E00 && c <= 0x9FFF) // unified ideographs
        || (c >= 0xF900 && c <= 0xFAFF) // compatibility ideographs
        || (c >= 0xFE30 && c <= 0xFE4F) // compatibility forms
        || (c >= 0xFF01 && c <= 0xFF9F) // full-width forms and half-width kana
        || (c >= 0x20000 && c <= 0x3FFFF); // extensions B and later
}

std::u32string needle(const std::u32string &folded)
{
    std::u32string result;
    result.reserve(folded.size());
    bool hasText = false;
    for (const char32_t c : folded) {
        if (isWhiteSpace(c)) {
            if (result.empty() || result.back() != kSpace)
                result.push_back(kSpace);
        } else {
            result.push_back(c);
            hasText = true;
        }
    }
    return hasText ? result : std::u32string();
}

std::vector<Hit> find(const std::vector<Glyph> &glyphs, const std::u32string &needle)
{
    std::vector<Hit> hits;
    if (needle.empty() || glyphs.empty())
        return hits;
    const std::vector<Item> items = haystack(glyphs);
    const size_t n = items.size();
    const size_t m = needle.size();
    size_t start = 0;
    while (start < n) {
        // A hit starts on a character, never on a line break.
        if (items[start].c != needle[0] || items[start].glyph == kBreak) {
            ++start;
            continue;
        }
        size_t h = start;
        size_t k = 0;
        while (k < m && h < n && items[h].c == needle[k]) {
            ++h;
            ++k;
            // Inside the needle a space takes the text's whole run of white space.
            if (needle[k - 1] == kSpace && k < m) {
                while (h < n && items[h].c == kSpace)
                    ++h;
            }
        }
        if (k < m) {
            ++start;
            continue;
        }
        hits.push_back(makeHit(glyphs, items, start, h));
        start = h;
    }
    return hits;
}

} // namespace PDFTextMatch
