#include "BlueprintSheet.h"
#include "SheetDrawing.h"

#include <cmath>

using namespace SheetDrawing;

namespace {

constexpr double kBay = 240; // axis spacing, points
constexpr int kContours = 120;

// Dashed axes every kBay points across `area`, a bubble and label at the top and left end
// of each.
void drawSiteGrid(Pen &pen, const Box &area)
{
    const int columns = int((area.x1 - area.x0) / kBay);
    const int rows = int((area.y1 - area.y0) / kBay);
    pen.save();
    axisInk(pen);
    pen.width(0.5);
    pen.dash("[18 4 3 4] 0");
    for (int i = 0; i <= columns; ++i)
        pen.line(area.x0 + i * kBay, area.y0 - 30, area.x0 + i * kBay, area.y1 + 30);
    for (int j = 0; j <= rows; ++j)
        pen.line(area.x0 - 30, area.y0 + j * kBay, area.x1 + 30, area.y0 + j * kBay);
    pen.stroke();
    pen.dash("[] 0");
    pen.width(0.7);
    for (int i = 0; i <= columns; ++i)
        pen.circle(area.x0 + i * kBay, area.y1 + 44, 14);
    for (int j = 0; j <= rows; ++j)
        pen.circle(area.x0 - 44, area.y0 + j * kBay, 14);
    pen.stroke();
    pen.fillRgb(0.55, 0.05, 0.05);
    pen.beginText("F1", 11);
    for (int i = 0; i <= columns; ++i) {
        const QString label = QString::number(i + 1);
        pen.textAt(area.x0 + i * kBay - latinWidth(label, 11) / 2, area.y1 + 40, latin(label));
    }
    for (int j = 0; j <= rows; ++j) {
        const QString label = axisLetter(rows - j);
        pen.textAt(area.x0 - 44 - latinWidth(label, 11) / 2, area.y0 + j * kBay - 4, latin(label));
    }
    pen.endText();
    pen.restore();
}

// A building footprint on whole bays: thick outline, one partition per bay, a name.
void drawBuilding(Pen &pen, const Box &b, const QString &name)
{
    ink(pen);
    pen.width(2.2);
    pen.rect(b);
    pen.stroke();
    pen.width(0.8);
    for (double x = b.x0 + kBay; x < b.x1 - 1; x += kBay)
        pen.line(x, b.y0, x, b.y1);
    pen.stroke();
    inkFill(pen);
    pen.beginText("F2", 28);
    pen.textMixed((b.x0 + b.x1 - textWidth(name, 28)) / 2, (b.y0 + b.y1) / 2 - 10, name);
    pen.endText();
}

// A row of `count` parking stalls, 18 × 40 points, from (x, y) to the right.
void drawParkingRow(Pen &pen, double x, double y, int count)
{
    pen.line(x, y, x + count * 18, y);
    for (int i = 0; i <= count; ++i)
        pen.line(x + i * 18, y, x + i * 18, y + 40);
}

// Ground contours across `area`: `count` gently waving polylines, one point every 4 points
// of width, every fifth one heavier, as a survey underlay draws them.
void drawContours(Pen &pen, const Box &area, int count, Rng &rng)
{
    pen.save();
    pen.strokeRgb(0.55, 0.42, 0.3);
    const double step = (area.y1 - area.y0) / (count + 1);
    for (int c = 1; c <= count; ++c) {
        const double phase = rng.range(0, 6.28);
        const double amplitude = rng.range(20, 60);
        const double wave = rng.range(300, 900);
        pen.width(c % 5 == 0 ? 0.6 : 0.25);
        const double y0 = area.y0 + c * step;
        pen.moveTo(area.x0, y0 + amplitude * std::sin(phase));
        for (double x = area.x0 + 4; x <= area.x1; x += 4)
            pen.lineTo(x, y0 + amplitude * std::sin(phase + (x - area.x0) / wave * 6.28) + rng.range(-1.5, 1.5));
        pen.stroke();
    }
    pen.restore();
}

} // namespace

QByteArray BlueprintSheet::a0Light(quint32 seed, qint64 *pathSegments)
{
    const QSizeF size = a0Size();
    Rng rng(seed ^ 0x11u);
    Pen pen(1 << 16);
    const Box frame = drawFrame(pen, size.width(), size.height());
    const Box area {frame.x0 + 120, frame.y0 + kTitleH + 90, frame.x0 + 120 + 11 * kBay, frame.y1 - 110};
    drawContours(pen, area, kContours, rng);
    drawSiteGrid(pen, area);

    const QString names[] = {QStringLiteral("一号楼"), QStringLiteral("二号楼"), QStringLiteral("三号楼"),
        QStringLiteral("四号楼")};
    for (int k = 0; k < 4; ++k) {
        const double x = area.x0 + (k % 2 == 0 ? 1 : 6) * kBay;
        const double y = area.y0 + (k < 2 ? 1 : 4) * kBay;
        const int bays = 2 + rng.below(3);
        drawBuilding(pen, Box {x, y, x + bays * kBay, y + 2 * kBay}, names[k]);
    }

    // Parking along the bottom axis, trees along the site road, the site boundary.
    ink(pen);
    pen.width(0.4);
    for (int row = 0; row < 3; ++row)
        drawParkingRow(pen, area.x0 + 30, area.y0 + 20 + row * 60, 40);
    pen.stroke();
    pen.strokeRgb(0.2, 0.5, 0.25);
    for (int i = 0; i < 30; ++i)
        pen.circle(area.x0 + 60 + i * 85, area.y1 - 50 + rng.range(-8, 8), 12 + rng.range(0, 6));
    pen.stroke();
    ink(pen);
    pen.width(1.4);
    pen.dash("[24 6 4 6] 0");
    pen.rect(Box {area.x0 - 80, area.y0 - 70, area.x1 + 80, area.y1 + 80});
    pen.stroke();
    pen.dash("[] 0");

    const TitleInfo info {QStringLiteral("滨江综合楼"), QStringLiteral("RIVERSIDE COMPLEX - PHASE 2"),
        QStringLiteral("场地布置图"), QStringLiteral("G-001"), QStringLiteral("1:500"), QStringLiteral("1"),
        QStringLiteral("A0")};
    drawTitleBlock(pen, frame.x1 - kTitleW, frame.y0, 1.0, info, seed);
    if (pathSegments)
        *pathSegments = pen.segments();
    return pen.take();
}
