#pragma once

#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

// The straight pieces and corner points of one page's vector drawing, in page space, for
// snapping a measuring point to a line end or to where two lines cross.
//
// Filled once (addSegment/addPoint, then finish()), then read-only: snap() may be called from
// any thread after finish().
class PDFSnapIndex {
public:
    // Most segments kept; a page drawing more is indexed up to this many (the first ones drawn).
    static constexpr int maximumSegments = 4000000;

    explicit PDFSnapIndex(const QRectF &pageArea);

    // A straight piece of a path, from `a` to `b`. Both ends are snap points; a zero-length
    // piece is kept as a point.
    void addSegment(const QPointF &a, const QPointF &b);
    // A point to snap to that is not the end of a straight piece (the end of a curve).
    void addPoint(const QPointF &point);
    // Sorts what was added into the lookup grid. Nothing may be added afterwards.
    void finish();

    int segmentCount() const { return int(m_segments.size()); }
    bool isFull() const { return segmentCount() >= maximumSegments; }

    // The line end or crossing of two segments nearest to `point` within `radius` (page
    // units), if there is one. Ends win over crossings at the same distance.
    std::optional<QPointF> snap(const QPointF &point, qreal radius) const;

private:
    struct Segment {
        QPointF a;
        QPointF b;
    };
    // The grid cells a rectangle covers, clamped to the grid.
    void cellRange(const QRectF &rect, int *column0, int *row0, int *column1, int *row1) const;
    int cellIndex(int column, int row) const { return row * m_columns + column; }

    QRectF m_area;
    int m_columns = 1;
    int m_rows = 1;
    qreal m_cellWidth = 1;
    qreal m_cellHeight = 1;
    std::vector<Segment> m_segments; // points are kept as zero-length segments
    std::vector<int> m_long; // segments covering too many cells to list in each
    // Cell c lists m_cellItems[m_cellStart[c] .. m_cellStart[c + 1]).
    std::vector<int> m_cellStart;
    std::vector<int> m_cellItems;
    bool m_finished = false;
};
