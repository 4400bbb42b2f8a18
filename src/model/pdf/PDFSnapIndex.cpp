#include "PDFSnapIndex.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// A segment listed in more cells than this is checked on every lookup instead.
constexpr int maximumCellsPerSegment = 64;
// Candidates near the point whose crossings are tried; pairs grow with the square.
constexpr int maximumCrossingCandidates = 96;

qreal distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF d = b - a;
    const qreal length2 = QPointF::dotProduct(d, d);
    qreal t = length2 > 0 ? QPointF::dotProduct(p - a, d) / length2 : 0;
    t = std::clamp<qreal>(t, 0, 1);
    const QPointF nearest = a + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

// Where segments ab and cd cross, if they do (ends included); parallel ones never do.
std::optional<QPointF> crossing(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d)
{
    const QPointF r = b - a;
    const QPointF s = d - c;
    const qreal denominator = r.x() * s.y() - r.y() * s.x();
    const qreal scale = std::max(QPointF::dotProduct(r, r), QPointF::dotProduct(s, s));
    if (std::abs(denominator) <= 1e-9 * scale || scale == 0)
        return std::nullopt;
    const QPointF ac = c - a;
    const qreal t = (ac.x() * s.y() - ac.y() * s.x()) / denominator;
    const qreal u = (ac.x() * r.y() - ac.y() * r.x()) / denominator;
    constexpr qreal slack = 1e-9;
    if (t < -slack || t > 1 + slack || u < -slack || u > 1 + slack)
        return std::nullopt;
    return a + t * r;
}

} // namespace

PDFSnapIndex::PDFSnapIndex(const QRectF &pageArea)
    : m_area(pageArea.normalized())
{
}

void PDFSnapIndex::addSegment(const QPointF &a, const QPointF &b)
{
    if (m_finished || isFull() || !std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x())
        || !std::isfinite(b.y()))
        return;
    m_segments.push_back({a, b});
}

void PDFSnapIndex::addPoint(const QPointF &point)
{
    addSegment(point, point);
}

void PDFSnapIndex::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // About four segments per cell, at most 1024 cells a side.
    const qreal cells = std::clamp<qreal>(std::sqrt(qreal(m_segments.size()) / 4), 1, 1024);
    m_columns = m_rows = int(cells);
    m_cellWidth = std::max<qreal>(m_area.width() / m_columns, 1e-6);
    m_cellHeight = std::max<qreal>(m_area.height() / m_rows, 1e-6);

    // Two passes: count each cell's segments, then fill one flat array.
    std::vector<int> counts(size_t(m_columns * m_rows) + 1, 0);
    auto forEachCell = [this](int segment, auto &&visit) {
        const Segment &s = m_segments[size_t(segment)];
        int c0, r0, c1, r1;
        cellRange(QRectF(s.a, s.b).normalized(), &c0, &r0, &c1, &r1);
        if ((c1 - c0 + 1) * (r1 - r0 + 1) > maximumCellsPerSegment)
            return false;
        for (int row = r0; row <= r1; ++row)
            for (int column = c0; column <= c1; ++column)
                visit(cellIndex(column, row));
        return true;
    };
    std::vector<bool> listed(m_segments.size());
    for (int i = 0; i < segmentCount(); ++i) {
        listed[size_t(i)] = forEachCell(i, [&counts](int cell) { ++counts[size_t(cell) + 1]; });
        if (!listed[size_t(i)])
            m_long.push_back(i);
    }
    for (size_t c = 1; c < counts.size(); ++c)
        counts[c] += counts[c - 1];
    m_cellStart = counts;
    m_cellItems.resize(size_t(counts.back()));
    for (int i = 0; i < segmentCount(); ++i) {
        if (listed[size_t(i)])
            forEachCell(i, [this, &counts, i](int cell) { m_cellItems[size_t(counts[size_t(cell)]++)] = i; });
    }
}

void PDFSnapIndex::cellRange(const QRectF &rect, int *column0, int *row0, int *column1, int *row1) const
{
    auto clampTo = [](qreal value, int size) { return int(std::clamp<qreal>(std::floor(value), 0, size - 1)); };
    *column0 = clampTo((rect.left() - m_area.left()) / m_cellWidth, m_columns);
    *column1 = clampTo((rect.right() - m_area.left()) / m_cellWidth, m_columns);
    *row0 = clampTo((rect.top() - m_area.top()) / m_cellHeight, m_rows);
    *row1 = clampTo((rect.bottom() - m_area.top()) / m_cellHeight, m_rows);
}

std::optional<QPointF> PDFSnapIndex::snap(const QPointF &point, qreal radius) const
{
    if (!m_finished || !(radius > 0))
        return std::nullopt;
    std::vector<int> near;
    int c0, r0, c1, r1;
    cellRange(QRectF(point.x() - radius, point.y() - radius, 2 * radius, 2 * radius), &c0, &r0, &c1, &r1);
    for (int row = r0; row <= r1; ++row) {
        for (int column = c0; column <= c1; ++column) {
            const int cell = cellIndex(column, row);
            near.insert(near.end(), m_cellItems.begin() + m_cellStart[size_t(cell)],
                m_cellItems.begin() + m_cellStart[size_t(cell) + 1]);
        }
    }
    near.insert(near.end(), m_long.begin(), m_long.end());
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());

    // Only segments passing within the radius can end or cross inside it.
    std::vector<std::pair<qreal, int>> passing;
    for (int i : near) {
        const Segment &s = m_segments[size_t(i)];
        const qreal distance = distanceToSegment(point, s.a, s.b);
        if (distance <= radius)
            passing.emplace_back(distance, i);
    }
    std::sort(passing.begin(), passing.end());

    std::optional<QPointF> best;
    qreal bestDistance = radius;
    auto consider = [&](const QPointF &candidate, qreal slack) {
        const qreal distance = std::hypot(candidate.x() - point.x(), candidate.y() - point.y());
        if (distance + slack <= bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    };
    for (const auto &[distance, i] : passing) {
        consider(m_segments[size_t(i)].a, 0);
        consider(m_segments[size_t(i)].b, 0);
    }
    // A crossing replaces an end only when it is clearly nearer.
    const qreal crossingSlack = radius * 1e-3;
    const size_t candidates = std::min<size_t>(passing.size(), maximumCrossingCandidates);
    for (size_t i = 0; i < candidates; ++i) {
        const Segment &s = m_segments[size_t(passing[i].second)];
        for (size_t j = i + 1; j < candidates; ++j) {
            const Segment &t = m_segments[size_t(passing[j].second)];
            if (const auto hit = crossing(s.a, s.b, t.a, t.b))
                consider(*hit, best ? crossingSlack : 0);
        }
    }
    return best;
}
