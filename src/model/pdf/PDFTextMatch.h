#pragma once

// Internal to the engine boundary, but free of MuPDF: the engine extracts and case-folds a
// page's characters, this finds the query among them.

#include <QRectF>
#include <QString>
#include <QVector>

#include <string>
#include <vector>

// Literal, case-insensitive matching over a page's extracted characters.
//
// Line breaks: extraction puts a break between every two lines. A break between two CJK
// characters (Chinese text wraps without a space) matches nothing, so a phrase that wraps
// onto the next line is still found; any other break counts as white space. Any run of
// white space (characters or breaks) in the text matches one white-space run in the query.
// Hits do not overlap: the search goes on after the end of each hit. Any thread.
namespace PDFTextMatch {

struct Glyph {
    char32_t c = 0; // as extracted
    char32_t folded = 0; // `c` case-folded the same way as the needle
    int line = 0; // lines are numbered in reading order; a change of number is a line break
    QRectF box; // page space
};

struct Hit {
    QVector<QRectF> rects; // one per line the hit touches: the union of its characters' boxes
    QString text; // the characters as extracted; a break that counts as white space is " "
};

// `c`, or U+FFFD when it is not a Unicode scalar value.
char32_t scalarValue(int c);
bool isWhiteSpace(char32_t c);
// Ideographs, kana, bopomofo and the CJK and full-width punctuation: scripts that wrap lines
// without a space.
bool isCJK(char32_t c);

// The needle for `folded` (case-folded query code points): each run of white space becomes
// one U+0020. Empty when the query holds no other character.
std::u32string needle(const std::u32string &folded);

// The hits of `needle` (from needle()) in `glyphs`, in reading order.
std::vector<Hit> find(const std::vector<Glyph> &glyphs, const std::u32string &needle);

} // namespace PDFTextMatch
