#include "BlueprintSheet.h"
#include "PlanRooms.h"

using namespace SheetDrawing;

namespace {

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
    pen.op("/OC /L0 BDC"); // 轴网
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
    pen.op("EMC");
    pen.op("/OC /L2 BDC"); // 标注
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
    pen.op("EMC");
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
    pen.op("/OC /L1 BDC"); // 墙体
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
    pen.op("EMC");
    pen.restore();

    pen.save();
    pen.op("/OC /L2 BDC"); // 标注
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
    pen.op("EMC");
    pen.restore();

    const Box strip {L.reserve.x0, L.frame.y0 + kTitleH, L.frame.x1, L.reserve.y1};
    pen.op("/OC /L3 BDC"); // 图框
    drawLegend(pen, strip, 100);
    const TitleInfo info {QStringLiteral("滨江综合楼"), QStringLiteral("RIVERSIDE COMPLEX - PHASE 2"),
        QStringLiteral("总平面图"), QStringLiteral("A-101"), QStringLiteral("1:100"), QStringLiteral("1"),
        QStringLiteral("A0")};
    drawTitleBlock(pen, L.frame.x1 - kTitleW, L.frame.y0, 1.0, info, seed);
    drawFrame(pen, size.width(), size.height());
    pen.op("EMC");

    if (pathSegments)
        *pathSegments = pen.segments();
    return pen.take();
}
