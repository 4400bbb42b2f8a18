#pragma once

#include "PDFTileCache.h"
#include "PDFTileKey.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QRect>
#include <QSet>
#include <QSizeF>

class QPainter;

// What the canvas shows in place of a visible tile that is not rendered yet: the tiles of the
// nearest other scale that cover it wholly, or else the page's preview overlaid with whatever
// the other scales have, nearest last so that it wins.
//
// Smooth scaling costs UI time per pixel, so a stand-in is composed once and reused frame
// after frame until its tile arrives, the tile leaves the view, or better pictures appear.
// A frame that is out of time draws a stand-in roughly instead and leaves the composing to a
// later frame, so a jump to an unrendered area never stalls the UI.
//
// Device pixels throughout. UI thread only.
class PDFStandIns {
public:
    // A page as the current frame shows it.
    struct Page {
        PDFTileKey base; // the page's tiles at the current scale
        QSizeF size; // displayed size in points
        QRect pixels; // the page at the current scale, from (0, 0)
        QPoint origin; // where the page's top-left pixel is drawn
        const QImage *preview = nullptr; // the whole page at low resolution, if cached
        QList<qint64> scales; // other scales with cached tiles, nearest first
    };

    // Draws the stand-in of `key`, a tile of `page`. With `mayCompose` false nothing new is
    // composed: an out-of-date stand-in is drawn roughly and `*rough` is set. Returns whether
    // the tile's paper was wholly covered by a picture (paper is drawn where none exists).
    bool draw(
        QPainter &painter, PDFTileCache &cache, const Page &page, const PDFTileKey &key, bool mayCompose, bool *rough);
    // The tile itself is there now.
    void drop(const PDFTileKey &key);
    // Drops every stand-in whose tile is not in `wanted`.
    void retain(const QSet<PDFTileKey> &wanted);
    int count() const { return int(m_standIns.size()); }

private:
    struct StandIn {
        QImage image;
        QList<QPair<qint64, int>> source; // (scale key or -1 for the preview, tiles used)
    };
    QImage takeImage(QSize size);
    void recycle(QImage &image);

    QHash<PDFTileKey, StandIn> m_standIns;
    QList<QImage> m_spare; // buffers of dropped stand-ins: no fresh allocations and page faults
};
