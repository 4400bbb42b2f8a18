#include "PlanRooms.h"

#include "BlueprintSheet.h"

namespace SheetDrawing {

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

namespace {

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

} // namespace

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


} // namespace SheetDrawing
