#include "A1Section.h"
#include "BlueprintSheet.h"

#include <iterator>

using namespace SheetDrawing;

namespace {

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
