#include "PDFRenderBands.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

namespace {

// Cuts `extents` into at most `parts` consecutive runs so that the largest run's sum is as
// small as it can be; returns the index each run starts at.
QList<int> balancedRuns(const QList<int> &extents, int parts)
{
    const int n = int(extents.size());
    parts = std::clamp(parts, 1, n);
    std::vector<qint64> prefix(n + 1, 0);
    std::partial_sum(extents.cbegin(), extents.cend(), prefix.begin() + 1);
    constexpr qint64 none = std::numeric_limits<qint64>::max();
    // largest[p][i]: the smallest possible largest run when the first i extents form p runs;
    // start[p][i]: where the last of those runs starts.
    std::vector<std::vector<qint64>> largest(parts + 1, std::vector<qint64>(n + 1, none));
    std::vector<std::vector<int>> start(parts + 1, std::vector<int>(n + 1, 0));
    largest[0][0] = 0;
    for (int p = 1; p <= parts; ++p) {
        for (int i = p; i <= n; ++i) {
            for (int j = p - 1; j < i; ++j) {
                if (largest[p - 1][j] == none)
                    continue;
                const qint64 value = std::max(largest[p - 1][j], prefix[i] - prefix[j]);
                if (value < largest[p][i]) {
                    largest[p][i] = value;
                    start[p][i] = j;
                }
            }
        }
    }
    QList<int> starts;
    for (int p = parts, i = n; p > 0; i = start[p][i], --p)
        starts.prepend(start[p][i]);
    return starts;
}

qint64 largestRun(const QList<int> &extents, const QList<int> &starts)
{
    qint64 largest = 0;
    for (int k = 0; k < starts.size(); ++k) {
        const int end = k + 1 < starts.size() ? starts[k + 1] : int(extents.size());
        largest = std::max(largest, std::accumulate(extents.cbegin() + starts[k], extents.cbegin() + end, qint64(0)));
    }
    return largest;
}

} // namespace

namespace PDFRenderBands {

QList<Band> split(const QList<PDFTileKey> &tiles, const QList<QRect> &pixels, int pieces)
{
    if (tiles.isEmpty() || pixels.size() != tiles.size())
        return {};
    int left = tiles.first().column, right = left, top = tiles.first().row, bottom = top;
    for (const PDFTileKey &key : tiles) {
        left = std::min(left, key.column);
        right = std::max(right, key.column);
        top = std::min(top, key.row);
        bottom = std::max(bottom, key.row);
    }
    const int columns = right - left + 1;
    const int rows = bottom - top + 1;
    if (qint64(columns) * rows != tiles.size())
        return {};

    // The pixel width of each tile column and the height of each row that is to be drawn.
    QList<int> widths(columns, 0);
    QList<int> heights(rows, 0);
    for (int i = 0; i < tiles.size(); ++i) {
        widths[tiles[i].column - left] = std::max(widths[tiles[i].column - left], pixels[i].width());
        heights[tiles[i].row - top] = std::max(heights[tiles[i].row - top], pixels[i].height());
    }
    const qint64 width = std::accumulate(widths.cbegin(), widths.cend(), qint64(0));
    const qint64 height = std::accumulate(heights.cbegin(), heights.cend(), qint64(0));
    const QList<int> byColumns = balancedRuns(widths, pieces);
    const QList<int> byRows = balancedRuns(heights, pieces);
    const bool alongColumns = largestRun(widths, byColumns) * height <= largestRun(heights, byRows) * width;
    const QList<int> &starts = alongColumns ? byColumns : byRows;
    const int count = alongColumns ? columns : rows;

    QList<Band> bands;
    for (int k = 0; k < starts.size(); ++k) {
        const int first = starts[k];
        const int last = (k + 1 < starts.size() ? starts[k + 1] : count) - 1;
        Band band;
        for (int i = 0; i < tiles.size(); ++i) {
            const int at = alongColumns ? tiles[i].column - left : tiles[i].row - top;
            if (at >= first && at <= last) {
                band.tiles.append(tiles[i]);
                band.pixels |= pixels[i];
            }
        }
        bands.append(band);
    }
    return bands;
}

QList<Band> strips(const QList<PDFTileKey> &tiles, const QList<QRect> &pixels, int pieces)
{
    QRect area;
    qint64 covered = 0;
    for (const QRect &part : pixels) {
        area |= part;
        covered += qint64(part.width()) * part.height();
    }
    if (tiles.size() < 2 || pixels.size() != tiles.size() || covered != qint64(area.width()) * area.height())
        return {};
    pieces = std::clamp(pieces, 1, area.height());
    QList<Band> bands;
    for (int k = 0, from = 0; k < pieces; ++k) {
        const int to = int(qint64(area.height()) * (k + 1) / pieces);
        Band band {QRect(area.left(), area.top() + from, area.width(), to - from), {}};
        for (int i = 0; i < tiles.size(); ++i) {
            if (pixels[i].intersects(band.pixels))
                band.tiles.append(tiles[i]);
        }
        bands.append(band);
        from = to;
    }
    return bands;
}

} // namespace PDFRenderBands
