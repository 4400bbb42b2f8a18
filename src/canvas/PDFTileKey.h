#pragma once

#include <QHashFunctions>
#include <QRect>
#include <QSizeF>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

// Names one rendered image of a page: a tile of the page at some scale, or the whole page
// (a preview or a thumbnail). Device pixels throughout: a page shown at `pixelScale` device
// pixels per point is ceil(size × pixelScale) pixels large and cut into square tiles of
// tileSize, counted from its top-left corner. Images of the inverted view
// (PDFInvertedColors) are other images: their keys differ in `inverted`.
struct PDFTileKey {
    enum Kind : quint8 { Tile, Preview, Thumbnail };

    static constexpr int tileSize = 512;

    quint64 document = 0; // the render queue's document generation
    int page = -1;
    int rotation = 0;
    qint64 scaleKey = 0; // pixelScale × 1e6, rounded
    int column = 0;
    int row = 0;
    Kind kind = Tile;
    bool inverted = false;

    // The long side, in device pixels, of the low-resolution picture kept of every page shown.
    static constexpr double previewLongSide = 1200.0;

    static qint64 scaleKeyFor(double pixelScale) { return std::llround(pixelScale * 1.0e6); }
    double pixelScale() const { return double(scaleKey) / 1.0e6; }

    // The key of that picture for the page of this image; `displaySize` as for pixelRect().
    PDFTileKey preview(QSizeF displaySize) const
    {
        const double longSide = std::max(displaySize.width(), displaySize.height());
        PDFTileKey key = *this;
        key.kind = Preview;
        key.column = key.row = 0;
        key.scaleKey = scaleKeyFor(longSide > 0 ? previewLongSide / longSide : 1.0);
        return key;
    }

    // The pixel rectangle of this image within the page shown at its scale; `displaySize` is
    // the page's size in points with its rotation applied. Empty when outside the page.
    QRect pixelRect(QSizeF displaySize) const
    {
        const QRect page(0, 0, int(std::ceil(displaySize.width() * pixelScale())),
            int(std::ceil(displaySize.height() * pixelScale())));
        if (kind != Tile)
            return page;
        return QRect(column * tileSize, row * tileSize, tileSize, tileSize).intersected(page);
    }

    bool operator==(const PDFTileKey &o) const
    {
        return document == o.document && page == o.page && rotation == o.rotation && scaleKey == o.scaleKey
            && column == o.column && row == o.row && kind == o.kind && inverted == o.inverted;
    }
    bool operator!=(const PDFTileKey &o) const { return !(*this == o); }
};

inline size_t qHash(const PDFTileKey &key, size_t seed = 0)
{
    return qHashMulti(
        seed, key.document, key.page, key.rotation, key.scaleKey, key.column, key.row, int(key.kind), key.inverted);
}
