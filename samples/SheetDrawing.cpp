#include "SheetDrawing.h"

#include "PDFDocumentBuilder.h"

#include <limits>

namespace SheetDrawing {

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

double latinWidth(const QString &text, double size)
{
    int units = 0;
    for (QChar ch : text) {
        const ushort u = ch.unicode();
        units += (u >= 32 && u <= 126) ? kHelvetica[u - 32] : 556;
    }
    return units * size / 1000.0;
}

double textWidth(const QString &text, double size)
{
    double width = 0;
    for (QChar ch : text)
        width += ch.unicode() < 0x80 ? latinWidth(QString(ch), size) : size;
    return width;
}

QByteArray latin(const QString &text)
{
    return PDFDocumentBuilder::latinText(text);
}
QByteArray cjk(const QString &text)
{
    return PDFDocumentBuilder::cjkText(text);
}

namespace {

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

} // namespace

void hatch(Pen &pen, const Box &area, double angleDeg, double spacing, const Box *hole)
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

void tick(Pen &pen, double x, double y, double r)
{
    pen.line(x - r, y - r, x + r, y + r);
}

QString mmLabel(double pt, double scale)
{
    const long mm = std::lround(pt / kPtPerMm * scale / 10.0) * 10;
    return QString::number(mm);
}

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

void leader(Pen &pen, QPointF from, QPointF to, double shoulder)
{
    pen.line(from.x(), from.y(), to.x(), to.y());
    pen.lineTo(to.x() + shoulder, to.y());
    pen.stroke();
    pen.circle(from.x(), from.y(), 1.6);
    pen.fill();
}

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

} // namespace SheetDrawing
