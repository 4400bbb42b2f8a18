#pragma once

// The drawing vocabulary of the sample sheets: a content-stream writer, a seeded random
// sequence, and the pieces every sheet shares (frame, title block, hatching, leaders).
// Coordinates are PDF user space in points, origin bottom-left.

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace SheetDrawing {

constexpr double kPi = 3.14159265358979323846;
// Bezier handle length of a quarter circle of radius 1.
constexpr double kArc = 0.5523;

// xorshift32: the same sequence on every platform and compiler, unlike std distributions.
class Rng {
public:
    explicit Rng(quint32 seed)
        : m_state(seed * 2654435761u + 0x9E3779B9u)
    {
        if (m_state == 0)
            m_state = 0x6D2B79F5u;
        next();
        next();
    }
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [0, 1).
    double unit() { return (next() >> 8) * (1.0 / 16777216.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // Uniform in [0, n); n > 0.
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint32 m_state;
};

// Width in points of Latin `text` in /F1 at `size`.
double latinWidth(const QString &text, double size);
// Width in points of `text` drawn by Pen::textMixed at `size`: Latin runs in Helvetica,
// everything else as full-width ideographs.
double textWidth(const QString &text, double size);

struct Box {
    double x0, y0, x1, y1;
    bool intersects(const Box &o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// PDF string operands for /F1 (Latin-1) and /F2 (CJK).
QByteArray latin(const QString &text);
QByteArray cjk(const QString &text);

// Appends content-stream operators. Numbers are written with at most two decimals, no
// trailing zeros and no leading zero ("-.5", "12.25", "3"). Counts path segments: each
// l and c is one, each re four.
class Pen {
public:
    explicit Pen(qsizetype reserve = 1 << 16) { m_out.reserve(reserve); }

    QByteArray take() { return std::move(m_out); }
    qint64 segments() const { return m_segments; }

    void num(double v) { hundredths(std::llround(v * 100.0)); }
    // `operands`, then the operator `name` and a newline.
    void op(const char *name, std::initializer_list<double> operands = {})
    {
        for (double v : operands)
            num(v);
        m_out.append(name);
        m_out.append('\n');
    }

    void moveTo(double x, double y) { op("m", {x, y}); }
    void lineTo(double x, double y)
    {
        op("l", {x, y});
        ++m_segments;
    }
    void curveTo(double x1, double y1, double x2, double y2, double x3, double y3)
    {
        op("c", {x1, y1, x2, y2, x3, y3});
        ++m_segments;
    }
    void line(double x0, double y0, double x1, double y1)
    {
        moveTo(x0, y0);
        lineTo(x1, y1);
    }
    void rect(double x, double y, double w, double h)
    {
        op("re", {x, y, w, h});
        m_segments += 4;
    }
    void rect(const Box &b) { rect(b.x0, b.y0, b.x1 - b.x0, b.y1 - b.y0); }
    void close() { op("h"); }
    void circle(double cx, double cy, double r)
    {
        const double k = kArc * r;
        moveTo(cx + r, cy);
        curveTo(cx + r, cy + k, cx + k, cy + r, cx, cy + r);
        curveTo(cx - k, cy + r, cx - r, cy + k, cx - r, cy);
        curveTo(cx - r, cy - k, cx - k, cy - r, cx, cy - r);
        curveTo(cx + k, cy - r, cx + r, cy - k, cx + r, cy);
        close();
    }

    void stroke() { op("S"); }
    void fill() { op("f"); }
    void save() { op("q"); }
    void restore() { op("Q"); }
    void width(double w) { op("w", {w}); }
    void strokeRgb(double r, double g, double b) { op("RG", {r, g, b}); }
    void fillRgb(double r, double g, double b) { op("rg", {r, g, b}); }
    void strokeGray(double g) { op("G", {g}); }
    void fillGray(double g) { op("g", {g}); }
    // `pattern` is a complete dash operand pair, e.g. "[6 2] 0"; "[] 0" restores solid.
    void dash(const char *pattern)
    {
        m_out.append(pattern);
        op(" d");
    }
    void transform(double a, double b, double c, double d, double e, double f) { op("cm", {a, b, c, d, e, f}); }
    void translate(double x, double y) { transform(1, 0, 0, 1, x, y); }

    // Text object. Positions given to textAt are in the user space of the enclosing
    // graphics state; successive labels are placed with relative Td moves computed in
    // exact hundredths, so rounding never accumulates.
    void beginText(const char *font, double size)
    {
        op("BT");
        m_font = nullptr;
        setFont(font, size);
        m_cursorX = m_cursorY = 0;
        m_cursorValid = true;
    }
    // Selects /F1 or /F2 at `size` inside a text object; nothing when already selected.
    void setFont(const char *font, double size)
    {
        if (m_font && qstrcmp(m_font, font) == 0 && m_fontSize == size)
            return;
        m_font = font;
        m_fontSize = size;
        m_out.append('/');
        m_out.append(font);
        m_out.append(' ');
        op("Tf", {size});
    }
    void endText() { op("ET"); }
    // One label as a text object of its own.
    void labelAt(const char *font, double size, double x, double y, const QByteArray &operand)
    {
        beginText(font, size);
        textAt(x, y, operand);
        endText();
    }
    // `operand` is a complete PDF string operand: "(...)" or "<...>".
    void textAt(double x, double y, const QByteArray &operand)
    {
        const qint64 hx = std::llround(x * 100.0);
        const qint64 hy = std::llround(y * 100.0);
        if (m_cursorValid) {
            hundredths(hx - m_cursorX);
            hundredths(hy - m_cursorY);
            op("Td");
        } else {
            op("Tm", {1, 0, 0, 1, double(hx) / 100, double(hy) / 100});
        }
        m_cursorX = hx;
        m_cursorY = hy;
        m_cursorValid = true;
        show(operand);
    }
    // `text` at the current size, ASCII runs in /F1 and the rest in /F2, so that Latin
    // letters and digits keep their proportional widths (see textWidth).
    void textMixed(double x, double y, const QString &text)
    {
        const double size = m_fontSize;
        qsizetype start = 0;
        while (start < text.size()) {
            const bool ascii = text.at(start).unicode() < 0x80;
            qsizetype end = start + 1;
            while (end < text.size() && (text.at(end).unicode() < 0x80) == ascii)
                ++end;
            const QString run = text.mid(start, end - start);
            setFont(ascii ? "F1" : "F2", size);
            textAt(x, y, ascii ? latin(run) : cjk(run));
            x += textWidth(run, size);
            start = end;
        }
    }
    // Text whose baseline runs up the page (rotated a quarter turn counter-clockwise).
    void textUp(double x, double y, const QByteArray &operand)
    {
        op("Tm", {0, 1, -1, 0, x, y});
        m_cursorValid = false;
        show(operand);
    }

private:
    void show(const QByteArray &operand)
    {
        m_out.append(operand);
        op(" Tj");
    }
    void hundredths(qint64 v)
    {
        char buf[32];
        char *end = buf + sizeof buf;
        char *p = end;
        *--p = ' ';
        const bool negative = v < 0;
        quint64 u = negative ? quint64(-v) : quint64(v);
        const int frac = int(u % 100);
        u /= 100;
        if (frac != 0) {
            if (frac % 10 != 0)
                *--p = char('0' + frac % 10);
            *--p = char('0' + frac / 10);
            *--p = '.';
        }
        if (u != 0 || frac == 0) {
            do {
                *--p = char('0' + u % 10);
                u /= 10;
            } while (u != 0);
        }
        if (negative)
            *--p = '-';
        m_out.append(p, end - p);
    }

    QByteArray m_out;
    qint64 m_segments = 0;
    qint64 m_cursorX = 0;
    qint64 m_cursorY = 0;
    bool m_cursorValid = false;
    const char *m_font = nullptr; // a string literal
    double m_fontSize = 0;
};

// Parallel lines at `angleDeg` (from the x axis), `spacing` apart, filling `area` and
// leaving out `hole` when given. Only the path; the caller strokes.
void hatch(Pen &pen, const Box &area, double angleDeg, double spacing, const Box *hole = nullptr);

// Dark navy drawing ink, grey hatching, red axes.
void ink(Pen &pen);
void inkFill(Pen &pen);
void axisInk(Pen &pen);

// Millimetres on paper to points.
constexpr double kPtPerMm = 72.0 / 25.4;

// mm of building at 1:`scale` to points on paper.
inline double mmToPt(double mm, double scale)
{
    return mm / scale * kPtPerMm;
}

// The sheet border: trim line, thick drawing frame (binding margin on the left), zone
// marks between them (numbers along the top and bottom, letters down the sides), centring
// arrows. Returns the drawing frame.
Box drawFrame(Pen &pen, double w, double h);

struct TitleInfo {
    QString project; // CJK
    QString projectLatin; // Latin
    QString title; // CJK, the drawing's name
    QString number; // e.g. "A-101"
    QString scale; // e.g. "1:100"
    QString sheet; // e.g. "1"
    QString sheetSize; // e.g. "A0"
};

constexpr double kTitleW = 640;
constexpr double kTitleH = 240;

// The title block, kTitleW × kTitleH points at scale `s`, bottom-left corner (x, y).
void drawTitleBlock(Pen &pen, double x, double y, double s, const TitleInfo &info, quint32 seed);

// Architectural tick: a short 45° slash centred on (x, y).
void tick(Pen &pen, double x, double y, double r = 3.5);
// A millimetre label for `pt` points of drawing at 1:`scale`, rounded to 10 mm.
QString mmLabel(double pt, double scale);
// Axis label: 1, 2, … for index along x; A, B, … (skipping I, O and Z) along y, then AA, AB, ….
QString axisLetter(int index);

// Leader with a dot at `from` and a horizontal shoulder ending at the note's baseline.
void leader(Pen &pen, QPointF from, QPointF to, double shoulder);
// Insulation symbol: a row of loops along y = y0..y0+h from x0 to x1.
void insulation(Pen &pen, double x0, double x1, double y0, double h);

} // namespace SheetDrawing
