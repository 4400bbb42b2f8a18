#include "A1Section.h"

namespace SheetDrawing {

namespace {

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

} // namespace

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

} // namespace SheetDrawing
