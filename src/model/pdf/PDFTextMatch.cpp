#include "PDFTextMatch.h"

#include <QChar>

namespace PDFTextMatch {

namespace {

constexpr char32_t kSpace = U' ';

// The text as the needle is matched against it, walked without being built: each glyph as
// its folded character (white space as U+0020), and before a glyph that starts a new line a
// U+0020 for the break, unless the break lies between two CJK characters.
class Haystack {
public:
    // A place in the text: glyph `glyph`, or the break just before it.
    struct Place {
        size_t glyph;
        bool atBreak;
    };

    explicit Haystack(const std::vector<Glyph> &glyphs)
        : m_glyphs(glyphs)
    {
    }

    bool atEnd(Place place) const { return place.glyph >= m_glyphs.size(); }
    char32_t at(Place place) const
    {
        if (place.atBreak)
            return kSpace;
        const Glyph &glyph = m_glyphs[place.glyph];
        return isWhiteSpace(glyph.c) ? kSpace : glyph.folded;
    }
    // Whether glyph i's character is `c` (the test the search makes at every glyph, cheapest
    // first).
    bool glyphIs(size_t i, char32_t c) const
    {
        const Glyph &glyph = m_glyphs[i];
        return c == kSpace ? isWhiteSpace(glyph.c) || glyph.folded == kSpace
                           : glyph.folded == c && !isWhiteSpace(glyph.c);
    }
    Place next(Place place) const
    {
        if (place.atBreak)
            return Place {place.glyph, false};
        const size_t i = place.glyph + 1;
        return Place {i, i < m_glyphs.size() && breaksBefore(i)};
    }

private:
    bool breaksBefore(size_t i) const
    {
        const Glyph &before = m_glyphs[i - 1];
        const Glyph &glyph = m_glyphs[i];
        return glyph.line != before.line && !(isCJK(before.c) && isCJK(glyph.c));
    }

    const std::vector<Glyph> &m_glyphs;
};

// The text from `first` up to `end` as a hit.
Hit makeHit(const std::vector<Glyph> &glyphs, const Haystack &haystack, Haystack::Place first, Haystack::Place end)
{
    Hit hit;
    std::u32string text;
    QRectF lineRect;
    int line = 0;
    bool haveLine = false;
    for (Haystack::Place place = first; place.glyph != end.glyph || place.atBreak != end.atBreak;
         place = haystack.next(place)) {
        if (place.atBreak) {
            text.push_back(kSpace);
            continue;
        }
        const Glyph &glyph = glyphs[place.glyph];
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
    const Haystack haystack(glyphs);
    const size_t m = needle.size();
    size_t start = 0;
    // A hit starts on a character, never on a line break.
    while (start < glyphs.size()) {
        if (!haystack.glyphIs(start, needle[0])) {
            ++start;
            continue;
        }
        Haystack::Place h {start, false};
        size_t k = 0;
        while (k < m && !haystack.atEnd(h) && haystack.at(h) == needle[k]) {
            h = haystack.next(h);
            ++k;
            // Inside the needle a space takes the text's whole run of white space.
            if (needle[k - 1] == kSpace && k < m) {
                while (!haystack.atEnd(h) && haystack.at(h) == kSpace)
                    h = haystack.next(h);
            }
        }
        if (k < m) {
            ++start;
            continue;
        }
        hits.push_back(makeHit(glyphs, haystack, Haystack::Place {start, false}, h));
        start = h.glyph;
    }
    return hits;
}

} // namespace PDFTextMatch
