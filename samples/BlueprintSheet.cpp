#include "BlueprintSheet.h"

#include "PDFDocumentBuilder.h"

#include <QDir>
#include <QFileInfo>
#include <QPointF>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

namespace {

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

// Helvetica advance widths (1/1000 em) for ASCII 32..126.
constexpr short kHelvetica[95]
    = {278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // ' '../
        556, 556, 556, 556, 556, 556, 556, 556, 556, 556, // 0..9
        278, 278, 584, 584, 584, 556, 1015, // :..@
        667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, // A..M
        722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, // N..Z
        278, 278, 278, 469, 556, 333, // [..`
        556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, // a..m
        556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, // n..z
        334, 260, 334, 584}; // {..~

// Width in points of Latin `text` in /F1 at `size`.
double latinWidth(const QString &text, double size)
{
    int units = 0;
    for (QChar ch : text) {
        const ushort u = ch.unicode();
        units += (u >= 32 && u <= 126) ? kHelvetica[u - 32] : 556;
    }
    return units * size / 1000.0;
}

// Width in points of `text` drawn by Pen::textMixed at `size`: Latin runs in Helvetica,
// everything else as full-width ideographs.
double textWidth(const QString &text, double size)
{
    double width = 0;
    for (QChar ch : text)
        width += ch.unicode() < 0x80 ? latinWidth(QString(ch), size) : size;
    return width;
}

struct Box {
    double x0, y0, x1, y1;
    bool intersects(const Box &o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

QByteArray latin(const QString &text)
{
    return PDFDocumentBuilder::latinText(text);
}
QByteArray cjk(const QString &text)
{
    return PDFDocumentBuilder::cjkText(text);
}

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

// Clips the line through (px, py) with direction (dx, dy) to `b`; the visible part is
// parameters [t0, t1]. False when it misses or the part is shorter than 0.05.
bool clipLine(const Box &b, double px, double py, double dx, double dy, double &t0, double &t1)
{
    t0 = -std::numeric_limits<double>::infinity();
    t1 = std::numeric_limits<double>::infinity();
    const double p[2] = {px, py};
    const double d[2] = {dx, dy};
    const double lo[2] = {b.x0, b.y0};
    const double hi[2] = {b.x1, b.y1};
    for (int axis = 0; axis < 2; ++axis) {
        if (std::fabs(d[axis]) < 1e-9) {
            if (p[axis] < lo[axis] || p[axis] > hi[axis])
                return false;
            continue;
        }
        double a = (lo[axis] - p[axis]) / d[axis];
        double c = (hi[axis] - p[axis]) / d[axis];
        if (a > c)
            std::swap(a, c);
        t0 = std::max(t0, a);
        t1 = std::min(t1, c);
    }
    return t1 - t0 > 0.05;
}

// Parallel lines at `angleDeg` (from the x axis), `spacing` apart, filling `area` and
// leaving out `hole` when given. Only the path; the caller strokes.
void hatch(Pen &pen, const Box &area, double angleDeg, double spacing, const Box *hole = nullptr)
{
    const double a = angleDeg * kPi / 180.0;
    const double dx = std::cos(a), dy = std::sin(a);
    const double nx = -dy, ny = dx;
    double pmin = std::numeric_limits<double>::infinity();
    double pmax = -pmin;
    for (double x : {area.x0, area.x1}) {
        for (double y : {area.y0, area.y1}) {
            const double proj = x * nx + y * ny;
            pmin = std::min(pmin, proj);
            pmax = std::max(pmax, proj);
        }
    }
    for (double p = (std::floor(pmin / spacing) + 0.5) * spacing; p < pmax; p += spacing) {
        const double px = p * nx, py = p * ny;
        double t0, t1;
        if (!clipLine(area, px, py, dx, dy, t0, t1))
            continue;
        auto segment = [&](double s0, double s1) {
            if (s1 - s0 > 0.3)
                pen.line(px + s0 * dx, py + s0 * dy, px + s1 * dx, py + s1 * dy);
        };
        double u0, u1;
        if (hole && clipLine(*hole, px, py, dx, dy, u0, u1) && u0 < t1 && u1 > t0) {
            segment(t0, std::min(t1, u0));
            segment(std::max(t0, u1), t1);
        } else {
            segment(t0, t1);
        }
    }
}

// Dark navy drawing ink, grey hatching, red axes.
void ink(Pen &pen)
{
    pen.strokeRgb(0.1, 0.2, 0.45);
}
void inkFill(Pen &pen)
{
    pen.fillRgb(0.1, 0.2, 0.45);
}
void axisInk(Pen &pen)
{
    pen.strokeRgb(0.78, 0.1, 0.1);
}

// Millimetres on paper to points.
constexpr double kPtPerMm = 72.0 / 25.4;

// The sheet border: trim line, thick drawing frame (binding margin on the left), zone
// marks between them (numbers along the top and bottom, letters down the sides), centring
// arrows. Returns the drawing frame.
Box drawFrame(Pen &pen, double w, double h)
{
    const Box outer {10, 10, w - 10, h - 10};
    const Box inner {45, 25, w - 25, h - 25};
    pen.save();
    ink(pen);
    pen.width(0.6);
    pen.rect(outer);
    pen.stroke();
    pen.width(2.4);
    pen.rect(inner);
    pen.stroke();

    const int zonesX = std::max(2, int((inner.x1 - inner.x0) / 210));
    const int zonesY = std::max(2, int((inner.y1 - inner.y0) / 210));
    const double zw = (inner.x1 - inner.x0) / zonesX;
    const double zh = (inner.y1 - inner.y0) / zonesY;
    pen.width(0.6);
    for (int i = 1; i < zonesX; ++i) {
        const double x = inner.x0 + i * zw;
        pen.line(x, outer.y0, x, inner.y0);
        pen.line(x, inner.y1, x, outer.y1);
    }
    for (int j = 1; j < zonesY; ++j) {
        const double y = inner.y0 + j * zh;
        pen.line(outer.x0, y, inner.x0, y);
        pen.line(inner.x1, y, outer.x1, y);
    }
    pen.stroke();
    // Centring arrows on the middle of each side, pointing at the sheet.
    inkFill(pen);
    const double cx = w / 2, cy = h / 2;
    pen.moveTo(cx - 6, outer.y1);
    pen.lineTo(cx + 6, outer.y1);
    pen.lineTo(cx, inner.y1);
    pen.close();
    pen.moveTo(cx - 6, outer.y0);
    pen.lineTo(cx + 6, outer.y0);
    pen.lineTo(cx, inner.y0);
    pen.close();
    pen.moveTo(outer.x0, cy - 6);
    pen.lineTo(outer.x0, cy + 6);
    pen.lineTo(inner.x0 - 15, cy);
    pen.close();
    pen.moveTo(outer.x1, cy - 6);
    pen.lineTo(outer.x1, cy + 6);
    pen.lineTo(inner.x1, cy);
    pen.close();
    pen.fill();

    pen.beginText("F1", 8);
    for (int i = 0; i < zonesX; ++i) {
        const QString label = QString::number(i + 1);
        const double x = inner.x0 + (i + 0.5) * zw - latinWidth(label, 8) / 2;
        if (std::fabs(x - cx) < 20)
            continue;
        pen.textAt(x, outer.y0 + 4.5, latin(label));
        pen.textAt(x, inner.y1 + 4.5, latin(label));
    }
    for (int j = 0; j < zonesY; ++j) {
        const QString label(QChar(u'A' + (zonesY - 1 - j) % 26));
        const double y = inner.y0 + (j + 0.5) * zh - 3;
        if (std::fabs(y - cy) < 20)
            continue;
        pen.textAt(outer.x0 + 14, y, latin(label));
        pen.textAt(inner.x1 + 5, y, latin(label));
    }
    pen.endText();
    pen.restore();
    return inner;
}

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

// A wavy signature inside the cell [x, x + w] at baseline y.
void signature(Pen &pen, Rng &rng, double x, double y, double w)
{
    double px = x, py = y + rng.range(4, 10);
    pen.moveTo(px, py);
    const int strokes = 4 + rng.below(3);
    for (int i = 0; i < strokes; ++i) {
        const double step = w / strokes;
        const double nx = px + step, ny = y + rng.range(2, 16);
        pen.curveTo(px + step * 0.3, py + rng.range(-12, 14), nx - step * 0.3, ny + rng.range(-12, 14), nx, ny);
        px = nx;
        py = ny;
    }
    pen.stroke();
}

// The title block, kTitleW × kTitleH points at scale `s`, bottom-left corner (x, y).
void drawTitleBlock(Pen &pen, double x, double y, double s, const TitleInfo &info, quint32 seed)
{
    Rng rng(seed ^ 0x51A7u);
    pen.save();
    pen.transform(s, 0, 0, s, x, y);
    pen.fillGray(1);
    pen.rect(0, 0, kTitleW, kTitleH);
    pen.fill();
    ink(pen);
    pen.width(1.0);
    // Row lines, bottom up: sheet, checked/approved, designed/reviewed, number/scale/date.
    for (double ry : {34.0, 68.0, 102.0, 136.0})
        pen.line(0, ry, kTitleW, ry);
    pen.line(250, 136, 250, kTitleH);
    pen.line(213, 0, 213, 34);
    pen.line(426, 0, 426, 34);
    pen.line(213, 102, 213, 136);
    pen.line(426, 102, 426, 136);
    for (double cx : {80.0, 320.0, 400.0})
        pen.line(cx, 34, cx, 102);
    pen.stroke();
    pen.width(2.0);
    pen.rect(0, 0, kTitleW, kTitleH);
    pen.stroke();

    pen.width(0.7);
    signature(pen, rng, 95, 72, 150);
    signature(pen, rng, 415, 72, 150);
    signature(pen, rng, 95, 38, 130);

    inkFill(pen);
    pen.beginText("F2", 13);
    const auto cell = [&](double cx, double cy, const QString &text) { pen.textMixed(cx + 10, cy + 12, text); };
    cell(0, 102, QStringLiteral("图号 ") + info.number);
    cell(213, 102, QStringLiteral("比例 ") + info.scale);
    cell(426, 102, QStringLiteral("日期 2024.05.20"));
    cell(0, 68, QStringLiteral("设计"));
    cell(320, 68, QStringLiteral("审核"));
    cell(0, 34, QStringLiteral("校对"));
    cell(320, 34, QStringLiteral("批准"));
    cell(0, 0, QStringLiteral("图幅 ") + info.sheetSize);
    cell(213, 0, QStringLiteral("版本 B"));
    cell(426, 0, QStringLiteral("第 ") + info.sheet + QStringLiteral(" 张 共 3 张"));
    pen.endText();

    pen.beginText("F2", 22);
    pen.textMixed(18, 198, info.project);
    pen.endText();
    pen.beginText("F1", 10);
    pen.textAt(18, 176, latin(info.projectLatin));
    pen.endText();
    pen.beginText("F1", 7);
    pen.textAt(18, 146, latin(QStringLiteral("ALL DIMENSIONS IN MILLIMETRES UNLESS NOTED")));
    pen.endText();
    const double titleSize = 40;
    pen.beginText("F2", titleSize);
    pen.textMixed(250 + (390 - textWidth(info.title, titleSize)) / 2, 170, info.title);
    pen.endText();
    pen.restore();
}

// Architectural tick: a short 45° slash centred on (x, y).
void tick(Pen &pen, double x, double y, double r = 3.5)
{
    pen.line(x - r, y - r, x + r, y + r);
}

// A millimetre label for `pt` points of drawing at 1:`scale`, rounded to 10 mm.
QString mmLabel(double pt, double scale)
{
    const long mm = std::lround(pt / kPtPerMm * scale / 10.0) * 10;
    return QString::number(mm);
}

// Axis label: 1, 2, … for index along x; A, B, … (skipping I, O and Z) along y, then AA, AB, ….
QString axisLetter(int index)
{
    static const char letters[] = "ABCDEFGHJKLMNPQRSTUVWXY";
    constexpr int n = int(sizeof letters) - 1;
    QString s;
    if (index >= n)
        s += QChar::fromLatin1(letters[(index / n - 1) % n]);
    s += QChar::fromLatin1(letters[index % n]);
    return s;
}

enum class RoomKind { Office, Stairs, Meeting, Equipment, Restroom, Elevator };

struct Room {
    double x, y, w, h; // cell, walls on its edges
    RoomKind kind;
    bool doorOnLeft;
    double doorAt; // offset of the door gap along its wall
    bool hingeFirst;
    int hatchAngle;
    double hatchSpacing;
    bool crossHatch;
    // Wall ownership: each room draws its left and bottom walls; right and top only where
    // no room continues the block. Exterior walls are drawn thick.
    bool drawRight, drawTop;
    bool thickLeft, thickBottom, thickRight, thickTop;
};

QString kindName(RoomKind kind)
{
    switch (kind) {
    case RoomKind::Stairs:
        return QStringLiteral("楼梯间");
    case RoomKind::Meeting:
        return QStringLiteral("会议室");
    case RoomKind::Equipment:
        return QStringLiteral("设备间");
    case RoomKind::Restroom:
        return QStringLiteral("卫生间");
    case RoomKind::Elevator:
        return QStringLiteral("电梯厅");
    case RoomKind::Office:
        break;
    }
    return {};
}

// Room furnishings in room-local coordinates (origin at the room's bottom-left corner).
void furnish(Pen &pen, const Room &r, double inset)
{
    const double w = r.w, h = r.h, m = std::min(w, h);
    switch (r.kind) {
    case RoomKind::Stairs: {
        pen.fillRgb(0.9, 0.93, 0.98);
        pen.rect(inset, inset, w - 2 * inset, h - 2 * inset);
        pen.fill();
        const double y0 = h * 0.12, y1 = h * 0.88, step = std::max(0.9, m * 0.07);
        pen.line(w / 2, y0, w / 2, y1);
        for (double y = y0; y <= y1 + 0.01; y += step) {
            pen.line(inset + 0.5, y, w / 2 - 0.6, y);
            pen.line(w / 2 + 0.6, y, w - inset - 0.5, y);
        }
        pen.stroke();
        // Walking line: up one flight, down the other, with an arrow head.
        pen.moveTo(w * 0.25, y0 + step / 2);
        pen.lineTo(w * 0.25, y1);
        pen.lineTo(w * 0.75, y1);
        pen.lineTo(w * 0.75, y0 + step);
        pen.moveTo(w * 0.75 - m * 0.04, y0 + step + m * 0.08);
        pen.lineTo(w * 0.75, y0 + step);
        pen.lineTo(w * 0.75 + m * 0.04, y0 + step + m * 0.08);
        pen.stroke();
        break;
    }
    case RoomKind::Meeting: {
        const double tw = w * 0.56, th = h * 0.3, tx = (w - tw) / 2, ty = (h - th) / 2;
        const double c = m * 0.06;
        pen.rect(tx, ty, tw, th);
        for (int i = 0; i < 4; ++i) {
            const double cx = tx + tw * (i + 0.5) / 4 - c / 2;
            pen.rect(cx, ty + th + c * 0.5, c, c);
            pen.rect(cx, ty - c * 1.5, c, c);
        }
        pen.stroke();
        break;
    }
    case RoomKind::Equipment: {
        const double bw = w * 0.3, bh = h * 0.28;
        for (int i = 0; i < 2; ++i) {
            const double bx = w * 0.12 + i * (w * 0.46), by = h * 0.58;
            pen.rect(bx, by, bw, bh);
            pen.line(bx, by, bx + bw, by + bh);
            pen.line(bx, by + bh, bx + bw, by);
        }
        const double rr = m * 0.11;
        pen.circle(w * 0.3, h * 0.24, rr);
        pen.line(w * 0.3 - rr, h * 0.24, w * 0.3 + rr, h * 0.24);
        pen.circle(w * 0.7, h * 0.24, rr);
        pen.line(w * 0.7 - rr, h * 0.24, w * 0.7 + rr, h * 0.24);
        pen.stroke();
        break;
    }
    case RoomKind::Restroom: {
        const int stalls = 4;
        const double sw = (w - 2 * inset) / stalls, depth = h * 0.3, top = h - inset;
        for (int i = 0; i < stalls; ++i) {
            const double sx = inset + i * sw;
            if (i > 0)
                pen.line(sx, top, sx, top - depth);
            const double cx = sx + sw / 2, rx = sw * 0.22, ry = depth * 0.28, cy = top - depth * 0.45;
            pen.moveTo(cx + rx, cy);
            pen.curveTo(cx + rx, cy - ry * 1.3, cx - rx, cy - ry * 1.3, cx - rx, cy);
            pen.lineTo(cx - rx, top - depth * 0.12);
            pen.lineTo(cx + rx, top - depth * 0.12);
            pen.close();
        }
        pen.line(inset, top - depth, w - inset, top - depth);
        pen.stroke();
        break;
    }
    case RoomKind::Elevator: {
        const double s = std::min(w * 0.36, h * 0.42), gap = (w - 2 * s) / 3, sy = h - inset - s - 0.5;
        for (int i = 0; i < 2; ++i) {
            const double sx = gap + i * (s + gap);
            pen.rect(sx, sy, s, s);
            pen.line(sx, sy, sx + s, sy + s);
            pen.line(sx, sy + s, sx + s, sy);
        }
        pen.stroke();
        break;
    }
    case RoomKind::Office:
        break;
    }
}

struct PlanLayout {
    Box frame;
    Box area; // room blocks
    Box reserve; // no rooms: title block, legend
    int blockCols = 0, blockRows = 0, roomsPerRow = 6, roomsPerCol = 4;
    double cellW = 0, cellH = 0, corridor = 9;
    double blockW() const { return roomsPerRow * cellW; }
    double blockH() const { return roomsPerCol * cellH; }
    // Bottom-left corner of block (bx, by); by counts from the top.
    double blockX(int bx) const { return area.x0 + bx * (blockW() + corridor); }
    double blockY(int by) const { return area.y1 - (by + 1) * blockH() - by * corridor; }
};

// Rooms of layout `L` that stay clear of its reserved corner.
int capacity(const PlanLayout &L)
{
    const Box reserve {L.reserve.x0 - 4, L.reserve.y0, L.reserve.x1, L.reserve.y1 + 4};
    int count = 0;
    for (int by = 0; by < L.blockRows; ++by) {
        for (int bx = 0; bx < L.blockCols; ++bx) {
            const Box block {L.blockX(bx), L.blockY(by), L.blockX(bx) + L.blockW(), L.blockY(by) + L.blockH()};
            if (!block.intersects(reserve)) {
                count += L.roomsPerRow * L.roomsPerCol;
                continue;
            }
            for (int j = 0; j < L.roomsPerCol; ++j)
                for (int i = 0; i < L.roomsPerRow; ++i) {
                    const Box cell {block.x0 + i * L.cellW, block.y0 + j * L.cellH, block.x0 + (i + 1) * L.cellW,
                        block.y0 + (j + 1) * L.cellH};
                    count += cell.intersects(reserve) ? 0 : 1;
                }
        }
    }
    return count;
}

// Picks the block grid that fills the sheet with the fewest empty cells: blocks of 5 to 8
// by 3 to 5 rooms, cells at least 4 pt, slightly wider than tall. When `rooms` cannot fit,
// the layout holding the most.
PlanLayout planLayout(int rooms)
{
    PlanLayout base;
    const QSizeF size = BlueprintSheet::a0Size();
    base.frame = Box {45, 25, size.width() - 25, size.height() - 25};
    base.area = Box {base.frame.x0 + 150, base.frame.y0 + 95, base.frame.x1 - 95, base.frame.y1 - 150};
    base.reserve = Box {base.frame.x1 - kTitleW - 12, base.frame.y0, base.frame.x1, base.frame.y0 + kTitleH + 135};
    const double aw = base.area.x1 - base.area.x0, ah = base.area.y1 - base.area.y0, g = base.corridor;

    PlanLayout best = base;
    int bestCapacity = -1;
    double bestShape = 0;
    for (int perRow = 5; perRow <= 8; ++perRow) {
        for (int perCol = 3; perCol <= 5; ++perCol) {
            for (int nby = 1;; ++nby) {
                PlanLayout L = base;
                L.roomsPerRow = perRow;
                L.roomsPerCol = perCol;
                L.blockRows = nby;
                L.cellH = (ah - (nby - 1) * g) / (nby * perCol);
                if (L.cellH < 4)
                    break;
                const int guess = int((aw + g) / (perRow * L.cellH * 1.2 + g));
                bool rowFits = false;
                for (int nbx = std::max(1, guess - 1); nbx <= guess + 1; ++nbx) {
                    L.blockCols = nbx;
                    L.cellW = (aw - (nbx - 1) * g) / (nbx * perRow);
                    const double shape = L.cellW / L.cellH;
                    if (L.cellW < 4 || shape < 0.9 || shape > 1.6)
                        continue;
                    const int c = capacity(L);
                    const bool fits = c >= rooms, bestFits = bestCapacity >= rooms;
                    rowFits = rowFits || fits;
                    const double closeness = std::fabs(shape - 1.2);
                    const bool better = bestCapacity < 0 || (fits && !bestFits)
                        || (!fits && !bestFits && c > bestCapacity)
                        || (fits && bestFits && (c < bestCapacity || (c == bestCapacity && closeness < bestShape)));
                    if (better) {
                        best = L;
                        bestCapacity = c;
                        bestShape = closeness;
                    }
                }
                if (rowFits)
                    break; // more rows only add capacity
            }
        }
    }
    return best;
}

// Places `count` rooms block by block (top row of blocks first, left to right; inside a
// block top row first) and decides every room's contents.
std::vector<Room> placeRooms(const PlanLayout &L, int count, quint32 seed)
{
    const int cols = L.blockCols * L.roomsPerRow, rows = L.blockRows * L.roomsPerCol;
    std::vector<int> at(size_t(cols) * size_t(rows), -1); // room index by cell, row 0 at the bottom
    std::vector<Room> rooms;
    rooms.reserve(size_t(count));
    const Box reserve {L.reserve.x0 - 4, L.reserve.y0, L.reserve.x1, L.reserve.y1 + 4};
    Rng rng(seed);
    for (int by = 0; by < L.blockRows && int(rooms.size()) < count; ++by) {
        for (int bx = 0; bx < L.blockCols && int(rooms.size()) < count; ++bx) {
            for (int j = L.roomsPerCol - 1; j >= 0 && int(rooms.size()) < count; --j) {
                for (int i = 0; i < L.roomsPerRow && int(rooms.size()) < count; ++i) {
                    Room r {};
                    r.x = L.blockX(bx) + i * L.cellW;
                    r.y = L.blockY(by) + j * L.cellH;
                    r.w = L.cellW;
                    r.h = L.cellH;
                    if (Box {r.x, r.y, r.x + r.w, r.y + r.h}.intersects(reserve))
                        continue;
                    const double k = rng.unit();
                    r.kind = k < 0.012 ? RoomKind::Stairs
                        : k < 0.024    ? RoomKind::Meeting
                        : k < 0.032    ? RoomKind::Equipment
                        : k < 0.037    ? RoomKind::Restroom
                        : k < 0.040    ? RoomKind::Elevator
                                       : RoomKind::Office;
                    r.doorOnLeft = rng.below(2) == 0;
                    r.doorAt = rng.range(0.15, 0.55);
                    r.hingeFirst = rng.below(2) == 0;
                    static const int angles[] = {45, 135, 45, 135, 30, 150, 60, 120};
                    static const double spacings[] = {1.5, 1.9, 2.4, 3.0};
                    r.hatchAngle = angles[rng.below(8)];
                    r.hatchSpacing = spacings[rng.below(4)];
                    r.crossHatch = rng.below(6) == 0;
                    const int gx = bx * L.roomsPerRow + i, gy = (L.blockRows - 1 - by) * L.roomsPerCol + j;
                    at[size_t(gy) * size_t(cols) + size_t(gx)] = int(rooms.size());
                    rooms.push_back(r);
                }
            }
        }
    }
    // Walls: a side is exterior where the block ends or no room is on the other side.
    const auto present = [&](int gx, int gy) {
        return gx >= 0 && gy >= 0 && gx < cols && gy < rows && at[size_t(gy) * size_t(cols) + size_t(gx)] >= 0;
    };
    for (int gy = 0; gy < rows; ++gy) {
        for (int gx = 0; gx < cols; ++gx) {
            const int idx = at[size_t(gy) * size_t(cols) + size_t(gx)];
            if (idx < 0)
                continue;
            Room &r = rooms[size_t(idx)];
            const int i = gx % L.roomsPerRow, j = gy % L.roomsPerCol;
            r.thickLeft = i == 0 || !present(gx - 1, gy);
            r.thickBottom = j == 0 || !present(gx, gy - 1);
            r.thickRight = i == L.roomsPerRow - 1 || !present(gx + 1, gy);
            r.thickTop = j == L.roomsPerCol - 1 || !present(gx, gy + 1);
            r.drawRight = r.thickRight;
            r.drawTop = r.thickTop;
        }
    }
    return rooms;
}

// One room in local coordinates: hatch (grey, set by the caller), furnishings, walls with
// the door gap, the door leaf and swing. Label boxes are kept clear.
void drawRoom(Pen &pen, const Room &r, const Box &labelHole)
{
    const double m = std::min(r.w, r.h);
    const double wall = std::max(0.4, m * 0.035), thick = wall * 2.4;
    const double inset = wall * 0.5 + 0.35;
    const double door = m * 0.32;
    const Box inside {inset, inset, r.w - inset, r.h - inset};
    if (r.kind == RoomKind::Office) {
        const double spacing = r.hatchSpacing * std::max(1.0, m / 23.0);
        hatch(pen, inside, r.hatchAngle, spacing, &labelHole);
        if (r.crossHatch)
            hatch(pen, inside, r.hatchAngle + 90, spacing * 1.6, &labelHole);
        pen.stroke();
    }
    ink(pen);
    pen.width(std::max(0.2, m * 0.014));
    furnish(pen, r, inset);
    if (r.kind != RoomKind::Office) {
        pen.fillGray(1);
        pen.rect(labelHole);
        pen.fill();
    }

    // Wall runs: {x0, y0, x1, y1, thick}; the door cuts a gap in the left or bottom run.
    struct Run {
        double x0, y0, x1, y1;
        bool thick;
    };
    Run runs[6];
    int n = 0;
    const bool hasDoor = m > 4;
    const double along = (r.doorOnLeft ? r.h : r.w);
    const double d0 = std::min(along - door - wall, std::max(wall, r.doorAt * along)), d1 = d0 + door;
    if (r.doorOnLeft && hasDoor) {
        runs[n++] = {0, 0, 0, d0, r.thickLeft};
        runs[n++] = {0, d1, 0, r.h, r.thickLeft};
    } else {
        runs[n++] = {0, 0, 0, r.h, r.thickLeft};
    }
    if (!r.doorOnLeft && hasDoor) {
        runs[n++] = {0, 0, d0, 0, r.thickBottom};
        runs[n++] = {d1, 0, r.w, 0, r.thickBottom};
    } else {
        runs[n++] = {0, 0, r.w, 0, r.thickBottom};
    }
    if (r.drawRight)
        runs[n++] = {r.w, 0, r.w, r.h, r.thickRight};
    if (r.drawTop)
        runs[n++] = {0, r.h, r.w, r.h, r.thickTop};
    for (const bool heavy : {false, true}) {
        const auto inPass = [heavy](const Run &run) { return run.thick == heavy; };
        if (std::none_of(runs, runs + n, inPass))
            continue;
        pen.width(heavy ? thick : wall);
        for (int k = 0; k < n; ++k)
            if (inPass(runs[k]))
                pen.line(runs[k].x0, runs[k].y0, runs[k].x1, runs[k].y1);
        pen.stroke();
    }

    if (!hasDoor)
        return;
    // Door leaf standing open at a right angle from its hinge, and its quarter-circle swing.
    pen.width(std::max(0.15, m * 0.012));
    const double k = kArc * door;
    if (r.doorOnLeft) {
        const double hy = r.hingeFirst ? d0 : d1, sy = r.hingeFirst ? 1 : -1;
        pen.line(0, hy, door, hy);
        pen.curveTo(door, hy + sy * k, k, hy + sy * door, 0, hy + sy * door);
    } else {
        const double hx = r.hingeFirst ? d0 : d1, sx = r.hingeFirst ? 1 : -1;
        pen.line(hx, 0, hx, door);
        pen.curveTo(hx + sx * k, door, hx + sx * door, k, hx + sx * door, 0);
    }
    pen.stroke();
}

// Axis grid with bubbles, and two dimension chains along the top and the left.
void drawAxesAndDimensions(Pen &pen, const PlanLayout &L)
{
    std::vector<double> xs, ys; // ys bottom-up
    const double g = L.corridor;
    for (int bx = 0; bx <= L.blockCols; ++bx)
        xs.push_back(L.area.x0 - g / 2 + bx * (L.blockW() + g));
    for (int k = 0; k <= L.blockRows; ++k)
        ys.push_back(L.area.y0 - g / 2 + k * (L.blockH() + g));
    const double bubble = 12;
    const double topEnd = L.area.y1 + 112, bottomEnd = L.area.y0 - 60;
    const double leftEnd = L.area.x0 - 112, rightEnd = L.area.x1 + 60;
    const auto reserved = [&](double x, double y) { return x >= L.reserve.x0 - bubble && y <= L.reserve.y1 + bubble; };

    pen.save();
    axisInk(pen);
    pen.width(0.5);
    pen.dash("[18 4 3 4] 0");
    // One path per axis line, as drawing programs export their line entities.
    for (double x : xs) {
        pen.line(x, bottomEnd + bubble, x, topEnd - bubble);
        pen.stroke();
    }
    for (double y : ys) {
        pen.line(leftEnd + bubble, y, reserved(rightEnd, y) ? L.reserve.x0 : rightEnd - bubble, y);
        pen.stroke();
    }
    pen.dash("[] 0");
    pen.width(0.7);
    for (double x : xs) {
        pen.circle(x, topEnd, bubble);
        pen.stroke();
        if (!reserved(x, bottomEnd)) {
            pen.circle(x, bottomEnd, bubble);
            pen.stroke();
        }
    }
    for (double y : ys) {
        pen.circle(leftEnd, y, bubble);
        pen.stroke();
        if (!reserved(rightEnd, y)) {
            pen.circle(rightEnd, y, bubble);
            pen.stroke();
        }
    }
    pen.fillRgb(0.55, 0.05, 0.05);
    for (size_t k = 0; k < xs.size(); ++k) {
        const QString label = QString::number(k + 1);
        const double dx = latinWidth(label, 10) / 2;
        pen.labelAt("F1", 10, xs[k] - dx, topEnd - 3.6, latin(label));
        if (!reserved(xs[k], bottomEnd))
            pen.labelAt("F1", 10, xs[k] - dx, bottomEnd - 3.6, latin(label));
    }
    for (size_t k = 0; k < ys.size(); ++k) {
        const QString label = axisLetter(int(k));
        const double dx = latinWidth(label, 10) / 2;
        pen.labelAt("F1", 10, leftEnd - dx, ys[k] - 3.6, latin(label));
        if (!reserved(rightEnd, ys[k]))
            pen.labelAt("F1", 10, rightEnd - dx, ys[k] - 3.6, latin(label));
    }

    // Dimension chains: per bay, then overall. Extension lines stop short of the rooms.
    ink(pen);
    const double chain1 = 40, chain2 = 75;
    pen.width(0.35);
    const double topY1 = L.area.y1 + chain1, topY2 = L.area.y1 + chain2;
    const double leftX1 = L.area.x0 - chain1, leftX2 = L.area.x0 - chain2;
    // Each dimension line, extension line and tick is a path of its own.
    const auto line = [&pen](double x0, double y0, double x1, double y1) {
        pen.line(x0, y0, x1, y1);
        pen.stroke();
    };
    line(xs.front() - 8, topY1, xs.back() + 8, topY1);
    line(xs.front() - 8, topY2, xs.back() + 8, topY2);
    line(leftX1, ys.front() - 8, leftX1, ys.back() + 8);
    line(leftX2, ys.front() - 8, leftX2, ys.back() + 8);
    for (double x : xs)
        line(x, L.area.y1 + 10, x, topY1 + 5);
    line(xs.front(), topY1 + 5, xs.front(), topY2 + 5);
    line(xs.back(), topY1 + 5, xs.back(), topY2 + 5);
    for (double y : ys)
        line(L.area.x0 - 10, y, leftX1 - 5, y);
    line(leftX1 - 5, ys.front(), leftX2 - 5, ys.front());
    line(leftX1 - 5, ys.back(), leftX2 - 5, ys.back());
    pen.width(1.1);
    const auto strokedTick = [&pen](double x, double y) {
        tick(pen, x, y);
        pen.stroke();
    };
    for (double x : xs)
        strokedTick(x, topY1);
    strokedTick(xs.front(), topY2);
    strokedTick(xs.back(), topY2);
    for (double y : ys)
        strokedTick(leftX1, y);
    strokedTick(leftX2, ys.front());
    strokedTick(leftX2, ys.back());

    const double size = 7, scale = 100;
    inkFill(pen);
        for (size_t k = 0; k + 1 < xs.size(); ++k) {
        const QString label = mmLabel(xs[k + 1] - xs[k], scale);
        pen.textAt((xs[k] + xs[k + 1] - latinWidth(label, size)) / 2, topY1 + 2.5, latin(label));
    }
    const QString totalX = mmLabel(xs.back() - xs.front(), scale);
    pen.textAt((xs.front() + xs.back() - latinWidth(totalX, size)) / 2, topY2 + 2.5, latin(totalX));
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        const QString label = mmLabel(ys[k + 1] - ys[k], scale);
        pen.textUp(leftX1 - 2.5, (ys[k] + ys[k + 1] - latinWidth(label, size)) / 2, latin(label));
    }
    const QString totalY = mmLabel(ys.back() - ys.front(), scale);
    pen.textUp(leftX2 - 2.5, (ys.front() + ys.back() - latinWidth(totalY, size)) / 2, latin(totalY));
    pen.restore();
}

// North arrow, graphic scale bar and a short note, in the strip above the title block.
void drawLegend(Pen &pen, const Box &strip, double scale)
{
    pen.save();
    pen.fillGray(1);
    pen.rect(strip);
    pen.fill();
    ink(pen);
    pen.width(0.8);
    const double cx = strip.x1 - 60, cy = (strip.y0 + strip.y1) / 2 - 8, r = 34;
    pen.circle(cx, cy, r);
    pen.moveTo(cx, cy + r + 10);
    pen.lineTo(cx - 12, cy - r * 0.7);
    pen.lineTo(cx, cy - r * 0.35);
    pen.lineTo(cx + 12, cy - r * 0.7);
    pen.close();
    pen.stroke();
    inkFill(pen);
    pen.moveTo(cx, cy + r + 10);
    pen.lineTo(cx, cy - r * 0.35);
    pen.lineTo(cx + 12, cy - r * 0.7);
    pen.close();
    pen.fill();
    pen.beginText("F1", 14);
    pen.textAt(cx - latinWidth(QStringLiteral("N"), 14) / 2, cy + r + 14, latin(QStringLiteral("N")));
    pen.endText();

    // Scale bar: five metres in alternating filled and open blocks.
    const double metre = 1000.0 / scale * kPtPerMm;
    const double bx = strip.x0 + 30, by = strip.y0 + 40;
    for (int i = 0; i < 5; i += 2)
        pen.rect(bx + i * metre, by, metre, 6);
    pen.fill();
    for (int i = 0; i < 5; ++i)
        pen.rect(bx + i * metre, by, metre, 6);
    pen.stroke();
    pen.beginText("F1", 7);
    for (int i = 0; i <= 5; ++i) {
        const QString label = QString::number(i);
        pen.textAt(bx + i * metre - latinWidth(label, 7) / 2, by + 9, latin(label));
    }
    pen.textAt(bx + 5 * metre + 8, by, latin(QStringLiteral("m")));
    pen.endText();
    pen.beginText("F2", 12);
    pen.textMixed(bx, by + 58, QStringLiteral("说明："));
    pen.textMixed(bx, by + 40, QStringLiteral("1. 本图尺寸以毫米计，标高以米计。"));
    pen.textMixed(bx, by + 22, QStringLiteral("2. 轴线尺寸为结构中心线尺寸。"));
    pen.endText();
    pen.beginText("F2", 9);
    pen.textMixed(bx, by - 18, QStringLiteral("比例尺 1:") + QString::number(int(scale)));
    pen.endText();
    pen.restore();
}

} // namespace

QByteArray BlueprintSheet::a0Plan(int rooms, quint32 seed, qint64 *pathSegments)
{
    rooms = std::clamp(rooms, 0, 200000);
    const QSizeF size = a0Size();
    const PlanLayout L = planLayout(std::max(rooms, 1));
    const std::vector<Room> placed = placeRooms(L, rooms, seed);

    Pen pen(qsizetype(placed.size()) * 720 + (1 << 16));
    drawAxesAndDimensions(pen, L);

    // Labels: the room number centred; rooms with a use also get its name above.
    const double m = std::min(L.cellW, L.cellH);
    const double numberSize = std::clamp(m * 0.1, 1.2, 14.0);
    const double nameSize = std::clamp(m * 0.14, 1.6, 20.0);
    const auto numberText
        = [](size_t i) { return QStringLiteral("R-%1").arg(qulonglong(i + 1), 4, 10, QLatin1Char('0')); };
    const auto labelHole = [&](const Room &r, size_t i) {
        const double tw = latinWidth(numberText(i), numberSize);
        double top = r.h / 2 + numberSize * 0.85;
        double half = tw / 2 + numberSize * 0.3;
        if (r.kind != RoomKind::Office) {
            top += nameSize * 1.15;
            half = std::max(half, textWidth(kindName(r.kind), nameSize) / 2 + nameSize * 0.2);
        }
        return Box {r.w / 2 - half, r.h / 2 - numberSize * 0.65, r.w / 2 + half, top};
    };

    pen.save();
    pen.strokeGray(0.6);
    pen.width(0.12);
    pen.op("2 J");
    for (size_t i = 0; i < placed.size(); ++i) {
        const Room &r = placed[i];
        pen.save();
        pen.translate(r.x, r.y);
        drawRoom(pen, r, labelHole(r, i));
        pen.restore();
    }
    pen.restore();

    pen.save();
    pen.fillRgb(0.08, 0.14, 0.32);
    // One text object per label, as drawing programs export their text entities: a viewer
    // can then skip every label outside the part of the sheet it draws.
    for (size_t i = 0; i < placed.size(); ++i) {
        const Room &r = placed[i];
        const QString label = numberText(i);
        pen.beginText("F1", numberSize);
        pen.textAt(r.x + (r.w - latinWidth(label, numberSize)) / 2, r.y + r.h / 2 - numberSize * 0.35, latin(label));
        pen.endText();
    }
    for (const Room &r : placed) {
        if (r.kind == RoomKind::Office)
            continue;
        const QString name = kindName(r.kind);
        pen.beginText("F2", nameSize);
        pen.textMixed(r.x + (r.w - textWidth(name, nameSize)) / 2, r.y + r.h / 2 + numberSize * 0.85, name);
        pen.endText();
    }
    pen.restore();

    const Box strip {L.reserve.x0, L.frame.y0 + kTitleH, L.frame.x1, L.reserve.y1};
    drawLegend(pen, strip, 100);
    const TitleInfo info {QStringLiteral("滨江综合楼"), QStringLiteral("RIVERSIDE COMPLEX - PHASE 2"),
        QStringLiteral("总平面图"), QStringLiteral("A-101"), QStringLiteral("1:100"), QStringLiteral("1"),
        QStringLiteral("A0")};
    drawTitleBlock(pen, L.frame.x1 - kTitleW, L.frame.y0, 1.0, info, seed);
    drawFrame(pen, size.width(), size.height());

    if (pathSegments)
        *pathSegments = pen.segments();
    return pen.take();
}

namespace {

// mm of building at 1:`scale` to points on paper.
double mmToPt(double mm, double scale)
{
    return mm / scale * kPtPerMm;
}

// A level mark: leader from the building, a downward triangle on the level, the height text.
void levelMark(
    Pen &pen, double x0, double x, double y, QVector<std::pair<QPointF, QString>> &texts, const QString &text)
{
    pen.line(x0, y, x + 60, y);
    pen.moveTo(x, y);
    pen.lineTo(x - 7, y + 9);
    pen.lineTo(x + 7, y + 9);
    pen.close();
    texts.append({QPointF(x + 12, y + 3), text});
}

// Leader with a dot at `from` and a horizontal shoulder ending at the note's baseline.
void leader(Pen &pen, QPointF from, QPointF to, double shoulder)
{
    pen.line(from.x(), from.y(), to.x(), to.y());
    pen.lineTo(to.x() + shoulder, to.y());
    pen.stroke();
    pen.circle(from.x(), from.y(), 1.6);
    pen.fill();
}

// Insulation symbol: a row of loops along y = y0..y0+h from x0 to x1.
void insulation(Pen &pen, double x0, double x1, double y0, double h)
{
    const double step = h * 0.8;
    bool up = true;
    pen.moveTo(x0, y0);
    for (double x = x0; x + step <= x1 + 0.01; x += step) {
        const double yEnd = up ? y0 + h : y0;
        pen.curveTo(x, y0 + (up ? 0 : h) + (up ? h : -h) * 0.9, x + step, yEnd + (up ? -h : h) * 0.9, x + step, yEnd);
        up = !up;
    }
    pen.stroke();
}

void sectionDrawing(Pen &pen, Rng &rng, QVector<std::pair<QPointF, QString>> &levelTexts)
{
    const double s = 50; // 1:50
    const double ground = 300, x0 = 250, bay = mmToPt(6000, s), floorH = mmToPt(3600, s);
    const int bays = 3, floors = 5;
    const double wallT = mmToPt(240, s), slabT = mmToPt(150, s), beamD = mmToPt(600, s);
    const double colW = mmToPt(400, s);
    const double x1 = x0 + bays * bay;
    const double roof = ground + floors * floorH, parapet = roof + mmToPt(900, s);

    // Axes and bubbles.
    pen.save();
    axisInk(pen);
    pen.width(0.5);
    pen.dash("[18 4 3 4] 0");
    for (int i = 0; i <= bays; ++i)
        pen.line(x0 + i * bay, ground - 110, x0 + i * bay, parapet + 90);
    pen.stroke();
    pen.dash("[] 0");
    pen.width(0.8);
    for (int i = 0; i <= bays; ++i)
        pen.circle(x0 + i * bay, parapet + 104, 14);
    pen.stroke();
    pen.fillRgb(0.55, 0.05, 0.05);
    pen.beginText("F1", 12);
    for (int i = 0; i <= bays; ++i) {
        const QString label = QString::number(i + 1);
        pen.textAt(x0 + i * bay - latinWidth(label, 12) / 2, parapet + 100, latin(label));
    }
    pen.endText();
    pen.restore();

    pen.save();
    pen.op("1 J");
    // Earth below the ground line.
    ink(pen);
    pen.width(0.5);
    for (double x = x0 - 120; x < x1 + 110; x += 34) {
        if (x > x0 - colW && x < x1 + colW / 2)
            continue; // under the building: slab and footings instead
        for (int k = 0; k < 3; ++k)
            pen.line(x + k * 5, ground - 14, x + k * 5 + 12, ground - 2);
    }
    pen.stroke();

    // Foundations: footings under walls and columns, hatched concrete.
    std::vector<Box> cut; // cut concrete and masonry, hatched after
    for (int i = 0; i <= bays; ++i) {
        const double cx = x0 + i * bay;
        cut.push_back({cx - 55, ground - 95, cx + 55, ground - 60});
        cut.push_back({cx - colW / 2 - 4, ground - 60, cx + colW / 2 + 4, ground});
    }
    // Walls at both ends, up to the parapet, with window openings kept separately.
    cut.push_back({x0 - wallT / 2, ground, x0 + wallT / 2, parapet});
    cut.push_back({x1 - wallT / 2, ground, x1 + wallT / 2, parapet});
    // Slabs and beams, columns between floors.
    for (int f = 0; f <= floors; ++f) {
        const double y = ground + f * floorH;
        cut.push_back({x0 + wallT / 2, y - slabT, x1 - wallT / 2, y});
        if (f == 0)
            continue;
        for (int i = 1; i < bays; ++i)
            cut.push_back({x0 + i * bay - colW / 2, y - beamD, x0 + i * bay + colW / 2, y - slabT});
    }
    for (int f = 0; f < floors; ++f)
        for (int i = 1; i < bays; ++i)
            cut.push_back({x0 + i * bay - colW / 2, ground + f * floorH, x0 + i * bay + colW / 2,
                ground + (f + 1) * floorH - beamD});
    pen.strokeGray(0.45);
    pen.width(0.25);
    for (const Box &b : cut)
        hatch(pen, b, 45, 3.2);
    pen.stroke();
    ink(pen);
    pen.width(1.4);
    for (const Box &b : cut)
        pen.rect(b);
    pen.stroke();
    // Ground line, heavy.
    pen.width(2.6);
    pen.line(x0 - 140, ground, x1 + 140, ground);
    pen.stroke();

    // Windows: opening in each end wall, three glass lines and a sill.
    const double winLo = mmToPt(900, s), winHi = mmToPt(2700, s);
    for (int f = 0; f < floors; ++f) {
        const double y = ground + f * floorH;
        for (double wx : {x0, x1}) {
            pen.fillGray(1);
            pen.rect(wx - wallT / 2 - 0.7, y + winLo, wallT + 1.4, winHi - winLo);
            pen.fill();
            pen.width(0.4);
            for (int k = 1; k <= 3; ++k)
                pen.line(wx - wallT / 2 + k * wallT / 4, y + winLo, wx - wallT / 2 + k * wallT / 4, y + winHi);
            pen.stroke();
            pen.width(1.0);
            pen.line(wx - wallT / 2, y + winLo, wx + wallT / 2, y + winLo);
            pen.line(wx - wallT / 2, y + winHi, wx + wallT / 2, y + winHi);
            pen.stroke();
        }
    }

    // Stairs in the middle bay: a cut flight and a seen flight per storey, landing, handrail.
    const double sx0 = x0 + bay + colW, sx1 = x0 + 2 * bay - colW;
    const int risers = 11;
    for (int f = 0; f < floors; ++f) {
        const double y = ground + f * floorH, half = floorH / 2;
        const double run = (sx1 - sx0 - 60) / risers, rise = half / risers;
        ink(pen);
        pen.width(1.1);
        pen.moveTo(sx0, y);
        for (int k = 0; k < risers; ++k) {
            pen.lineTo(sx0 + k * run, y + (k + 1) * rise);
            pen.lineTo(sx0 + (k + 1) * run, y + (k + 1) * rise);
        }
        pen.lineTo(sx1, y + half);
        pen.stroke();
        pen.width(0.4);
        pen.moveTo(sx1 - 60, y + half);
        for (int k = 0; k < risers; ++k) {
            pen.lineTo(sx1 - 60 - k * run, y + half + (k + 1) * rise);
            pen.lineTo(sx1 - 60 - (k + 1) * run, y + half + (k + 1) * rise);
        }
        pen.stroke();
        const Box landing {sx1 - 60, y + half - slabT, sx1, y + half};
        pen.strokeGray(0.45);
        pen.width(0.25);
        hatch(pen, landing, 45, 3.2);
        pen.stroke();
        ink(pen);
        pen.width(1.2);
        pen.rect(landing);
        pen.stroke();
        // Handrail and balusters.
        pen.width(0.5);
        pen.line(sx0, y + 50, sx1 - 60, y + half + 50);
        for (int k = 1; k < risers; k += 2)
            pen.line(sx0 + k * run, y + (k + 1) * rise, sx0 + k * run, y + (k + 1) * rise + 50 - run * 0.1);
        pen.stroke();
    }

    // Roof build-up: insulation loops and membrane, coping on the parapets.
    ink(pen);
    pen.width(0.45);
    insulation(pen, x0 + wallT / 2 + 2, x1 - wallT / 2 - 2, roof + 1, 9);
    pen.width(0.9);
    pen.line(x0 + wallT / 2, roof + 12, x1 - wallT / 2, roof + 12);
    pen.line(x0 + wallT / 2, roof + 15, x1 - wallT / 2, roof + 15);
    pen.stroke();
    pen.width(1.4);
    for (double wx : {x0, x1}) {
        pen.rect(wx - wallT / 2 - 4, parapet, wallT + 8, 6);
    }
    pen.stroke();

    // Furniture seen beyond: a few desks and people-height marks per floor.
    pen.width(0.35);
    pen.strokeGray(0.35);
    for (int f = 0; f < floors; ++f) {
        const double y = ground + f * floorH;
        for (int i : {0, 2}) {
            const double bx = x0 + i * bay + 40;
            for (int k = 0; k < 3; ++k) {
                const double dx = bx + k * 90 + rng.range(-6, 6);
                pen.rect(dx, y + 40, 60, 3);
                pen.line(dx + 4, y, dx + 4, y + 40);
                pen.line(dx + 56, y, dx + 56, y + 40);
            }
        }
    }
    pen.stroke();

    // Level marks on the right, vertical dimension chain on the left.
    ink(pen);
    pen.width(0.5);
    for (int f = 0; f <= floors; ++f) {
        const double y = ground + f * floorH;
        const QString text = f == 0 ? QStringLiteral("±0.000") : QStringLiteral("+%1").arg(f * 3.6, 0, 'f', 3);
        levelMark(pen, x1 + wallT / 2 + 6, x1 + 90, y, levelTexts, text);
    }
    levelMark(pen, x1 + wallT / 2 + 6, x1 + 90, parapet, levelTexts, QStringLiteral("+%1").arg(18.9, 0, 'f', 3));
    pen.stroke();

    const double dimX1 = x0 - 70, dimX2 = x0 - 110;
    pen.width(0.35);
    pen.line(dimX1, ground - 10, dimX1, parapet + 10);
    pen.line(dimX2, ground - 10, dimX2, parapet + 10);
    for (int f = 0; f <= floors; ++f)
        pen.line(x0 - wallT / 2 - 8, ground + f * floorH, dimX1 - 5, ground + f * floorH);
    pen.line(x0 - wallT / 2 - 8, parapet, dimX1 - 5, parapet);
    pen.line(dimX1 - 5, ground, dimX2 - 5, ground);
    pen.line(dimX1 - 5, parapet, dimX2 - 5, parapet);
    pen.stroke();
    pen.width(1.2);
    for (int f = 0; f <= floors; ++f)
        tick(pen, dimX1, ground + f * floorH, 4);
    tick(pen, dimX1, parapet, 4);
    tick(pen, dimX2, ground, 4);
    tick(pen, dimX2, parapet, 4);
    pen.stroke();
    inkFill(pen);
    pen.beginText("F1", 10);
    for (int f = 0; f < floors; ++f)
        pen.textUp(dimX1 - 3, ground + (f + 0.5) * floorH - latinWidth(QStringLiteral("3600"), 10) / 2,
            latin(QStringLiteral("3600")));
    pen.textUp(dimX1 - 3, (roof + parapet - latinWidth(QStringLiteral("900"), 10)) / 2, latin(QStringLiteral("900")));
    pen.textUp(
        dimX2 - 3, (ground + parapet - latinWidth(QStringLiteral("18900"), 10)) / 2, latin(QStringLiteral("18900")));
    pen.endText();
    pen.restore();

    // Title under the drawing.
    inkFill(pen);
    const QString title = QStringLiteral("1-1 剖面图");
    const double tx = (x0 + x1) / 2 - textWidth(title, 26) / 2;
    pen.beginText("F2", 26);
    pen.textMixed(tx, ground - 150, title);
    pen.endText();
    pen.beginText("F1", 14);
    pen.textAt(tx + textWidth(title, 26) + 14, ground - 150, latin(QStringLiteral("1:50")));
    pen.endText();
    ink(pen);
    pen.width(2.0);
    pen.line(tx, ground - 158, tx + textWidth(title, 26) + 50, ground - 158);
    pen.stroke();
    pen.width(0.6);
    pen.line(tx, ground - 162, tx + textWidth(title, 26) + 50, ground - 162);
    pen.stroke();
}

// An enlarged detail inside `frame` (20 pt margin), with numbered title and notes.
void detailFrame(Pen &pen, const Box &frame, int number, const QString &name)
{
    ink(pen);
    pen.width(0.8);
    pen.dash("[8 3] 0");
    pen.rect(frame);
    pen.stroke();
    pen.dash("[] 0");
    // Detail bubble: circle with number, title beside it.
    pen.width(1.2);
    const double bx = frame.x0 + 30, by = frame.y0 - 30;
    pen.circle(bx, by, 16);
    pen.stroke();
    inkFill(pen);
    pen.beginText("F1", 16);
    const QString n = QString::number(number);
    pen.textAt(bx - latinWidth(n, 16) / 2, by - 5.7, latin(n));
    pen.endText();
    pen.beginText("F2", 18);
    pen.textMixed(bx + 26, by - 6, name);
    pen.endText();
    pen.beginText("F1", 11);
    pen.textAt(bx + 26 + textWidth(name, 18) + 12, by - 6, latin(QStringLiteral("1:10")));
    pen.endText();
}

struct Note {
    QPointF from, to;
    QString text;
};

void drawNotes(Pen &pen, const QVector<Note> &notes)
{
    ink(pen);
    inkFill(pen);
    pen.width(0.5);
    for (const Note &n : notes)
        leader(pen, n.from, n.to, textWidth(n.text, 11) + 6);
    pen.beginText("F2", 11);
    for (const Note &n : notes)
        pen.textMixed(n.to.x() + 3, n.to.y() + 3, n.text);
    pen.endText();
}

void parapetDetail(Pen &pen, const Box &f)
{
    detailFrame(pen, f, 1, QStringLiteral("女儿墙节点详图"));
    const double wx0 = f.x0 + 90, wx1 = wx0 + 80, slabY = f.y0 + 110, slabT = 50;
    // Masonry wall and coping.
    const Box wall {wx0, f.y0 + 20, wx1, f.y1 - 70};
    const Box coping {wx0 - 14, f.y1 - 70, wx1 + 20, f.y1 - 40};
    const Box slab {wx1, slabY - slabT, f.x1 - 20, slabY};
    pen.strokeGray(0.45);
    pen.width(0.3);
    hatch(pen, wall, 45, 6);
    hatch(pen, wall, 135, 6);
    hatch(pen, coping, 45, 4);
    hatch(pen, slab, 45, 4);
    pen.stroke();
    ink(pen);
    pen.width(1.6);
    pen.rect(wall);
    pen.rect(coping);
    pen.rect(slab);
    pen.stroke();
    // Drip groove under the coping overhang.
    pen.width(0.8);
    pen.rect(coping.x1 - 10, coping.y0, 4, 4);
    pen.stroke();
    // Build-up on the slab: screed, insulation, membrane turned up the parapet, tiles.
    pen.width(0.6);
    const double sy = slabY;
    pen.line(wx1, sy + 12, f.x1 - 20, sy + 12);
    pen.stroke();
    insulation(pen, wx1 + 2, f.x1 - 22, sy + 13, 24);
    pen.width(1.0);
    pen.moveTo(f.x1 - 20, sy + 40);
    pen.lineTo(wx1 + 10, sy + 40);
    pen.curveTo(wx1 + 3, sy + 40, wx1 + 2, sy + 45, wx1 + 2, sy + 52);
    pen.lineTo(wx1 + 2, f.y1 - 100);
    pen.moveTo(f.x1 - 20, sy + 43);
    pen.lineTo(wx1 + 10, sy + 43);
    pen.curveTo(wx1 + 6, sy + 43, wx1 + 5, sy + 47, wx1 + 5, sy + 52);
    pen.lineTo(wx1 + 5, f.y1 - 100);
    pen.stroke();
    pen.width(0.5);
    for (double x = wx1 + 20; x < f.x1 - 30; x += 60)
        pen.rect(x, sy + 44, 56, 8);
    pen.stroke();
    drawNotes(pen,
        {{QPointF(wx1 + 4, f.y1 - 120), QPointF(f.x1 - 250, f.y1 - 60), QStringLiteral("防水卷材上翻 250")},
            {QPointF(f.x1 - 140, sy + 25), QPointF(f.x1 - 250, sy + 110), QStringLiteral("保温层 XPS 50")},
            {QPointF(f.x1 - 100, sy - 20), QPointF(f.x1 - 250, sy - 70), QStringLiteral("C30 混凝土屋面板")},
            {QPointF(wx0 + 40, wall.y0 + 60), QPointF(wx0 + 150, f.y0 + 30), QStringLiteral("MU10 砖墙")}});
}

void sillDetail(Pen &pen, const Box &f)
{
    detailFrame(pen, f, 2, QStringLiteral("窗台节点详图"));
    const double wx0 = f.x0 + 200, wx1 = wx0 + 110, sill = f.y0 + 150;
    const Box lower {wx0, f.y0 + 20, wx1, sill};
    const Box upper {wx0, f.y1 - 60, wx1, f.y1 - 20};
    pen.strokeGray(0.45);
    pen.width(0.3);
    hatch(pen, lower, 45, 6);
    hatch(pen, lower, 135, 6);
    hatch(pen, upper, 45, 4);
    pen.stroke();
    ink(pen);
    pen.width(1.6);
    pen.rect(lower);
    pen.rect(upper);
    pen.stroke();
    // Frame profiles at sill and head, glass between.
    const double fx = wx0 + 40, fw = 36;
    pen.width(1.0);
    pen.rect(fx, sill + 6, fw, 24);
    pen.rect(fx + 6, sill + 12, fw - 12, 12);
    pen.rect(fx, upper.y0 - 30, fw, 24);
    pen.rect(fx + 6, upper.y0 - 24, fw - 12, 12);
    pen.stroke();
    pen.width(0.6);
    pen.line(fx + fw / 2 - 3, sill + 30, fx + fw / 2 - 3, upper.y0 - 30);
    pen.line(fx + fw / 2 + 3, sill + 30, fx + fw / 2 + 3, upper.y0 - 30);
    pen.stroke();
    // External sill sloping outwards with drip, internal board.
    pen.width(1.2);
    pen.moveTo(wx0 - 30, sill - 6);
    pen.lineTo(wx0 - 30, sill + 2);
    pen.lineTo(fx, sill + 10);
    pen.lineTo(fx, sill);
    pen.lineTo(wx0, sill);
    pen.stroke();
    pen.rect(fx + fw, sill, wx1 + 30 - fx - fw, 8);
    pen.stroke();
    // Sealant beads.
    inkFill(pen);
    for (double y : {sill + 8.0, upper.y0 - 6})
        pen.circle(fx - 3, y, 2.5);
    pen.fill();
    drawNotes(pen,
        {{QPointF(fx + fw / 2, f.y0 + 220), QPointF(f.x1 - 260, f.y0 + 250), QStringLiteral("中空玻璃 6+12A+6")},
            {QPointF(fx - 3, sill + 8), QPointF(f.x0 + 40, sill + 90), QStringLiteral("耐候密封胶")},
            {QPointF(wx1 + 10, sill + 4), QPointF(f.x1 - 260, sill + 40), QStringLiteral("石材窗台板")},
            {QPointF(wx0 + 50, f.y0 + 60), QPointF(f.x1 - 260, f.y0 + 40), QStringLiteral("钢筋混凝土过梁")}});
}

void footingDetail(Pen &pen, Rng &rng, const Box &f)
{
    detailFrame(pen, f, 3, QStringLiteral("基础配筋详图"));
    const double cx = f.x0 + 250, base = f.y0 + 70;
    const Box footing {cx - 170, base, cx + 170, base + 70};
    const Box column {cx - 45, base + 70, cx + 45, f.y1 - 20};
    const Box blinding {cx - 190, base - 18, cx + 190, base};
    pen.strokeGray(0.5);
    pen.width(0.3);
    hatch(pen, footing, 45, 7);
    hatch(pen, column, 45, 7);
    pen.stroke();
    ink(pen);
    pen.width(1.6);
    pen.rect(footing);
    pen.rect(column);
    pen.rect(blinding);
    pen.stroke();
    // Gravel in the blinding layer.
    pen.width(0.4);
    for (int i = 0; i < 60; ++i)
        pen.circle(rng.range(blinding.x0 + 3, blinding.x1 - 3), rng.range(blinding.y0 + 3, blinding.y1 - 3),
            rng.range(0.8, 2.2));
    pen.stroke();
    // Bottom bars (dots) and distribution bar, column bars and stirrups.
    inkFill(pen);
    for (double x = footing.x0 + 15; x <= footing.x1 - 14; x += 22)
        pen.circle(x, base + 12, 3.2);
    pen.fill();
    pen.width(1.3);
    pen.moveTo(footing.x0 + 10, base + 40);
    pen.lineTo(footing.x0 + 10, base + 18);
    pen.lineTo(footing.x1 - 10, base + 18);
    pen.lineTo(footing.x1 - 10, base + 40);
    pen.stroke();
    for (double x : {column.x0 + 10, column.x1 - 10}) {
        pen.moveTo(x + (x < cx ? -40 : 40), base + 20);
        pen.lineTo(x, base + 20);
        pen.lineTo(x, column.y1);
    }
    pen.stroke();
    pen.width(0.7);
    for (double y = base + 90; y < column.y1 - 5; y += 18)
        pen.rect(column.x0 + 6, y, column.x1 - column.x0 - 12, 4);
    pen.stroke();
    // Earth at the sides.
    pen.width(0.5);
    for (double x = f.x0 + 20; x < f.x1 - 20; x += 30)
        if (x < footing.x0 - 30 || x > footing.x1 + 10)
            for (int k = 0; k < 3; ++k)
                pen.line(x + k * 5, base + 150, x + k * 5 + 12, base + 162);
    pen.line(f.x0 + 20, base + 165, f.x1 - 20, base + 165);
    pen.stroke();
    drawNotes(pen,
        {{QPointF(cx + 60, base + 12), QPointF(f.x1 - 250, base - 10), QStringLiteral("底筋 Φ14@150 双向")},
            {QPointF(column.x1 - 6, base + 150), QPointF(f.x1 - 250, base + 210), QStringLiteral("箍筋 Φ8@100")},
            {QPointF(cx + 150, base - 9), QPointF(f.x1 - 250, base + 60), QStringLiteral("C15 素混凝土垫层 100")}});
}

} // namespace

QByteArray BlueprintSheet::a1Detail(quint32 seed, qint64 *pathSegments)
{
    const QSizeF size = a1Size();
    Rng rng(seed ^ 0xA1u);
    Pen pen(1 << 18);
    QVector<std::pair<QPointF, QString>> levelTexts;
    sectionDrawing(pen, rng, levelTexts);
    inkFill(pen);
    pen.beginText("F2", 11);
    for (const auto &t : levelTexts)
        pen.textMixed(t.first.x(), t.first.y(), t.second);
    pen.endText();

    const double dx0 = 1530, dx1 = 2320;
    parapetDetail(pen, Box {dx0, 1230, dx1, 1600});
    sillDetail(pen, Box {dx0, 790, dx1, 1160});
    footingDetail(pen, rng, Box {dx0, 400, dx1, 720});

    // General notes above the section.
    const double s = 0.82, frameRight = size.width() - 25;
    inkFill(pen);
    pen.beginText("F2", 16);
    pen.textMixed(90, 1620, QStringLiteral("设计说明"));
    pen.endText();
    pen.beginText("F2", 11);
    const QString notes[] = {QStringLiteral("1. 本图尺寸以毫米计，标高以米计，±0.000 相当于绝对标高 4.350。"),
        QStringLiteral("2. 混凝土强度等级：基础 C30，梁板柱 C30，垫层 C15。"),
        QStringLiteral("3. 未注明墙体均为 240 厚 MU10 砖，M7.5 混合砂浆砌筑。"),
        QStringLiteral("4. 屋面防水等级 Ⅱ 级，保温层采用挤塑聚苯板。"),
        QStringLiteral("5. 施工时应与建筑、结构、设备各专业图纸密切配合。")};
    // Two columns of three lines.
    for (int i = 0; i < int(std::size(notes)); ++i)
        pen.textMixed(90 + (i / 3) * 620, 1598 - (i % 3) * 18, notes[i]);
    pen.endText();

    const TitleInfo info {QStringLiteral("滨江综合楼"), QStringLiteral("RIVERSIDE COMPLEX - PHASE 2"),
        QStringLiteral("剖面详图"), QStringLiteral("A-301"), QStringLiteral("1:50"), QStringLiteral("2"),
        QStringLiteral("A1")};
    drawTitleBlock(pen, frameRight - kTitleW * s, 25, s, info, seed + 1);
    drawFrame(pen, size.width(), size.height());
    if (pathSegments)
        *pathSegments = pen.segments();
    return pen.take();
}

QByteArray BlueprintSheet::a3Schedule(int rows, quint32 seed, qint64 *pathSegments)
{
    rows = std::clamp(rows, 1, 30);
    const QSizeF stored = a3Size();
    // The sheet as read: landscape, drawn in its own coordinates and turned so that the
    // stored /Rotate 90 brings it upright.
    const double w = stored.height(), h = stored.width();
    Rng rng(seed ^ 0xA3u);
    Pen pen(1 << 16);
    pen.save();
    pen.transform(0, 1, -1, 0, stored.width(), 0);

    const Box frame = drawFrame(pen, w, h);
    inkFill(pen);
    const QString title = QStringLiteral("房间明细表");
    pen.beginText("F2", 28);
    pen.textMixed(frame.x0 + 30, frame.y1 - 52, title);
    pen.endText();
    pen.beginText("F1", 10);
    pen.textAt(
        frame.x0 + 30 + textWidth(title, 28) + 16, frame.y1 - 52, latin(QStringLiteral("ROOM SCHEDULE / SHEET A-901")));
    pen.endText();

    struct Column {
        QString header;
        double width;
        bool numeric;
    };
    const Column cols[] = {{QStringLiteral("序号"), 56, true}, {QStringLiteral("编号"), 96, false},
        {QStringLiteral("名称"), 150, false}, {QStringLiteral("楼层"), 70, false}, {QStringLiteral("面积"), 96, true},
        {QStringLiteral("备注"), 200, false}};
    const double tx = frame.x0 + 30, top = frame.y1 - 80, headH = 30, rowH = 22;
    double tableW = 0;
    for (const Column &c : cols)
        tableW += c.width;
    const double bottom = top - headH - (rows + 1) * rowH;

    // Alternate row tint and header band.
    pen.fillRgb(0.86, 0.9, 0.97);
    pen.rect(tx, top - headH, tableW, headH);
    pen.fill();
    pen.fillRgb(0.95, 0.96, 0.99);
    for (int r = 1; r < rows; r += 2)
        pen.rect(tx, top - headH - (r + 1) * rowH, tableW, rowH);
    pen.fill();
    ink(pen);
    pen.width(0.5);
    for (int r = 1; r <= rows; ++r)
        pen.line(tx, top - headH - r * rowH, tx + tableW, top - headH - r * rowH);
    double cx = tx;
    for (size_t c = 0; c + 1 < std::size(cols); ++c) {
        cx += cols[c].width;
        pen.line(cx, top, cx, bottom);
    }
    pen.stroke();
    pen.width(1.2);
    pen.line(tx, top - headH, tx + tableW, top - headH);
    pen.line(tx, bottom + rowH, tx + tableW, bottom + rowH);
    pen.stroke();
    pen.width(2.0);
    pen.rect(tx, bottom, tableW, top - bottom);
    pen.stroke();

    static const char *const names[]
        = {"办公室", "会议室", "楼梯间", "设备间", "卫生间", "储藏室", "电梯厅", "档案室", "休息室"};
    static const char *const remarks[] = {"", "", "", "已复核", "吊顶 2.8m", "", "防火门 FM乙", ""};
    struct Row {
        QString cells[6];
    };
    std::vector<Row> data;
    double total = 0;
    int number = 100;
    for (int r = 0; r < rows; ++r) {
        number += 1 + rng.below(40);
        const double area = std::round(rng.range(12, 86) * 100) / 100;
        total += area;
        data.push_back(Row {{QString::number(r + 1), QStringLiteral("R-%1").arg(number, 4, 10, QLatin1Char('0')),
            QString::fromUtf8(names[rng.below(9)]), QStringLiteral("%1F").arg(1 + r * 5 / rows),
            QString::number(area, 'f', 2), QString::fromUtf8(remarks[rng.below(8)])}});
    }

    // Cell text: CJK cells in /F2, the rest in /F1; numbers right-aligned.
    const auto cellX = [&](size_t c) {
        double x = tx;
        for (size_t k = 0; k < c; ++k)
            x += cols[k].width;
        return x;
    };
    inkFill(pen);
    pen.beginText("F2", 14);
    for (size_t c = 0; c < std::size(cols); ++c)
        pen.textMixed(cellX(c) + (cols[c].width - textWidth(cols[c].header, 14)) / 2, top - headH + 10, cols[c].header);
    pen.endText();
    const double textSize = 11;
    pen.beginText("F2", textSize);
    for (int r = 0; r < rows; ++r) {
        const double y = top - headH - (r + 1) * rowH + 7;
        for (size_t c : {size_t(2), size_t(5)})
            if (!data[size_t(r)].cells[c].isEmpty())
                pen.textMixed(cellX(c) + 8, y, data[size_t(r)].cells[c]);
    }
    pen.textMixed(cellX(2) + 8, bottom + 7, QStringLiteral("合计"));
    pen.endText();
    pen.beginText("F1", textSize);
    for (int r = 0; r < rows; ++r) {
        const double y = top - headH - (r + 1) * rowH + 7;
        for (size_t c : {size_t(0), size_t(1), size_t(3), size_t(4)}) {
            const QString &text = data[size_t(r)].cells[c];
            const double x = cols[c].numeric ? cellX(c) + cols[c].width - 8 - latinWidth(text, textSize) : cellX(c) + 8;
            pen.textAt(x, y, latin(text));
        }
    }
    const QString sum = QString::number(total, 'f', 2);
    pen.textAt(cellX(4) + cols[4].width - 8 - latinWidth(sum, textSize), bottom + 7, latin(sum));
    pen.endText();

    // Key plan: the building outline with the scheduled wing shaded.
    const Box key {tx + tableW + 60, top - 260, frame.x1 - 40, top};
    pen.beginText("F2", 14);
    pen.textMixed(key.x0, key.y1 + 8, QStringLiteral("索引图"));
    pen.endText();
    pen.fillRgb(0.8, 0.86, 0.96);
    const double kw = (key.x1 - key.x0) / 5, kh = (key.y1 - key.y0) / 4;
    pen.rect(key.x0 + kw, key.y0 + kh, 2 * kw, 2 * kh);
    pen.fill();
    ink(pen);
    pen.width(0.4);
    for (int i = 1; i < 5; ++i)
        pen.line(key.x0 + i * kw, key.y0, key.x0 + i * kw, key.y1);
    for (int j = 1; j < 4; ++j)
        pen.line(key.x0, key.y0 + j * kh, key.x1, key.y0 + j * kh);
    pen.stroke();
    pen.width(1.6);
    pen.rect(key);
    pen.stroke();

    inkFill(pen);
    pen.beginText("F2", 11);
    pen.textMixed(key.x0, key.y0 - 30, QStringLiteral("注：1. 面积单位为平方米，按墙体中心线计算。"));
    pen.textMixed(key.x0 + 22, key.y0 - 48, QStringLiteral("2. 阴影部分为本表所列房间所在区域。"));
    pen.textMixed(key.x0 + 22, key.y0 - 66, QStringLiteral("3. 楼层编号见各层平面图 A-101 ~ A-105。"));
    pen.endText();

    const double s = 0.5;
    const TitleInfo info {QStringLiteral("滨江综合楼"), QStringLiteral("RIVERSIDE COMPLEX - PHASE 2"),
        QStringLiteral("房间明细表"), QStringLiteral("A-901"), QStringLiteral("—"), QStringLiteral("3"),
        QStringLiteral("A3")};
    drawTitleBlock(pen, frame.x1 - kTitleW * s, frame.y0, s, info, seed + 2);
    pen.restore();
    if (pathSegments)
        *pathSegments = pen.segments();
    return pen.take();
}

namespace {

bool writePages(const QString &path, const QVector<PDFDocumentBuilder::Page> &pages, QString *error)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    PDFDocumentBuilder builder;
    for (const PDFDocumentBuilder::Page &page : pages)
        builder.addPage(page);
    return builder.save(path, error);
}

} // namespace

bool BlueprintSheet::writeSample(const QString &path, QString *error)
{
    return writePages(path,
        {PDFDocumentBuilder::Page {a0Size(), 0, a0Plan(), {}, -1},
            PDFDocumentBuilder::Page {a1Size(), 0, a1Detail(), {}, -1},
            PDFDocumentBuilder::Page {a3Size(), a3Rotation, a3Schedule(), {}, -1}},
        error);
}

bool BlueprintSheet::writeA0Only(const QString &path, QString *error, int rooms, quint32 seed)
{
    return writePages(path, {PDFDocumentBuilder::Page {a0Size(), 0, a0Plan(rooms, seed), {}, -1}}, error);
}
