#include "BlueprintSheet.h"
#include "SheetDrawing.h"

using namespace SheetDrawing;

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
