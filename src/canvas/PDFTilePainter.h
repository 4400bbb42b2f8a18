#pragma once

#include "PDFRenderQueue.h"
#include "PDFStandIns.h"
#include "PDFTileKey.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QSizeF>

class PDFPage;
class PDFViewport;
class QPainter;

// Draws the pages a viewport shows from the render queue's cache and asks the queue for what
// is missing; where a tile at the current scale is not ready yet, tiles of another scale or
// the page's low-resolution preview stand in for it (PDFStandIns). Painting and the sharpness
// check walk the same visible tiles. Never waits for a render. UI thread only.
class PDFTilePainter {
public:
    // Frames painted, and of those the ones where some visible paper had no picture at all.
    struct FrameStats {
        int frames = 0;
        int blankFrames = 0;
    };

    // Both must outlive the painter.
    PDFTilePainter(const PDFViewport &viewport, PDFRenderQueue &queue);

    // What should follow a frame that drew stand-ins roughly.
    enum class FollowUp {
        None, // nothing was drawn roughly
        ComposeNow, // a frame that composes them
        ComposeLater, // the view's renders run: a frame once they had a head start
    };
    // Paints the visible pages of a viewport with `devicePixelRatio` device pixels per logical
    // pixel, on `background` where the viewport names no colour of its own. Stand-ins are
    // composed for a short while each frame, but while renders the view waits for run
    // (composing takes a core from them) only if `composeDue`.
    FollowUp paint(QPainter &painter, qreal devicePixelRatio, bool composeDue, const QColor &background);
    // True when every visible tile is rendered at the current scale.
    bool isViewSharp(qreal devicePixelRatio) const;

private:
    friend class PDFCanvasProbe;

    // Where a page is drawn, in device pixels: its top-left corner in the viewport, its full
    // pixel rectangle and the part of it in view (both relative to that corner), and the tile
    // key of the current scale.
    struct PageGeometry {
        const PDFPage *page = nullptr;
        QSizeF size;
        QPoint origin;
        QRect pagePixels;
        QRect visiblePixels;
        PDFTileKey base;
    };
    QList<PageGeometry> visiblePages(qreal devicePixelRatio) const;
    // Calls visit(key) for every visible tile of `g` until it returns false; returns whether
    // every call returned true.
    template<typename Visit> static bool forEachVisibleTile(const PageGeometry &g, Visit visit);
    // Whether the parts of `key` drawn ahead of the rest cover all the view shows of it.
    bool partsShowing(const PageGeometry &g, const PDFTileKey &key) const;
    void drawParts(QPainter &painter, const PageGeometry &g, const PDFTileKey &key) const;
    // Asks the queue for what a page lacks (its visible tiles go into `wanted`).
    void requestTiles(const PageGeometry &g, QSet<PDFTileKey> &wanted);
    // Draws a page; returns false when some of its visible paper had no picture.
    bool paintPage(QPainter &painter, const PageGeometry &g, qreal devicePixelRatio);

    const PDFViewport &m_viewport;
    PDFRenderQueue &m_queue;
    PDFStandIns m_standIns;
    QElapsedTimer m_paintClock; // started by each frame
    bool m_mayCompose = true; // this frame's
    bool m_standInsPending = false; // the frame drew stand-ins roughly
    FrameStats m_frameStats;
};
