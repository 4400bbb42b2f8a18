#pragma once

// The rooms of the A0 floor plan: how many fit the sheet, where each goes and what it holds,
// and how one is drawn.

#include "SheetDrawing.h"

#include <vector>

namespace SheetDrawing {

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

// The name of a room's use (CJK); empty for an office.
QString kindName(RoomKind kind);

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


// Picks the block grid that fills the sheet with the fewest empty cells: blocks of 5 to 8
// by 3 to 5 rooms, cells at least 4 pt, slightly wider than tall. When `rooms` cannot fit,
// the layout holding the most.
PlanLayout planLayout(int rooms);

// Places `count` rooms block by block (top row of blocks first, left to right; inside a
// block top row first) and decides every room's contents.
std::vector<Room> placeRooms(const PlanLayout &L, int count, quint32 seed);

// One room in local coordinates: hatch (grey, set by the caller), furnishings, walls with
// the door gap, the door leaf and swing. Label boxes are kept clear.
void drawRoom(Pen &pen, const Room &r, const Box &labelHole);

} // namespace SheetDrawing
