#include "PDFTilePainter.h"

#include "PDFDocument.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFViewport.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// UI time a frame may spend before it draws the remaining stand-ins roughly.
constexpr qint64 kStandInBudgetNs = 2'000'000;
// Around the pages of the inverted view where the viewport names no colour: darker than its
// paper, so that the pages' edges show and no light area glares beside them.
constexpr QRgb kInvertedBackdrop = 0xff0e0e0e;

} // namespace

PDFTilePainter::PDFTilePainter(const PDFViewport &viewport, PDFRenderQueue &queue)
    : m_viewport(viewport)
    , m_queue(queue)
{
}

QList<PDFTilePainter::PageGeometry> PDFTilePainter::visiblePages(qreal dpr) const
{
    QList<PageGeometry> pages;
    const std::shared_ptr<PDFDocument> &document = m_viewport.document();
    const auto [first, last] = m_viewport.visiblePageRange();
    const QRect view(QPoint(0, 0), (QSizeF(m_viewport.viewportSize()) * dpr).toSize());
    const qint64 scaleKey = PDFTileKey::scaleKeyFor(m_viewport.scaleFactor() * dpr);
    for (int index = std::max(first, 0); index <= last; ++index) {
        const PDFPage *page = document->page(index);
        const QRectF r = m_viewport.pageRectInViewport(index);
        if (!page || r.isEmpty())
            continue;
        PageGeometry g;
        g.page = page;
        g.size = page->displaySize();
        g.base.document = m_queue.generation();
        g.base.page = index;
        g.base.rotation = page->rotation();
        g.base.scaleKey = scaleKey;
        g.base.inverted = m_viewport.invertsColors();
        // Pages start on whole device pixels so that tiles meet without seams and draw 1:1.
        g.origin = QPoint(qRound(r.left() * dpr), qRound(r.top() * dpr));
        PDFTileKey whole = g.base;
        whole.kind = PDFTileKey::Preview;
        g.pagePixels = whole.pixelRect(g.size);
        g.visiblePixels = g.pagePixels.translated(g.origin).intersected(view).translated(-g.origin);
        pages.append(g);
    }
    return pages;
}

template<typename Visit> bool PDFTilePainter::forEachVisibleTile(const PageGeometry &g, Visit visit)
{
    if (g.visiblePixels.isEmpty())
        return true;
    const int t = PDFTileKey::tileSize;
    for (int row = g.visiblePixels.top() / t; row <= g.visiblePixels.bottom() / t; ++row) {
        for (int column = g.visiblePixels.left() / t; column <= g.visiblePixels.right() / t; ++column) {
            PDFTileKey key = g.base;
            key.column = column;
            key.row = row;
            if (!visit(key))
                return false;
        }
    }
    return true;
}

bool PDFTilePainter::partsShowing(const PageGeometry &g, const PDFTileKey &key) const
{
    const QList<PDFRenderQueue::Part> parts = m_queue.parts(key);
    QRegion missing(key.pixelRect(g.size) & g.visiblePixels);
    for (const PDFRenderQueue::Part &part : parts)
        missing -= part.pixels;
    return !parts.isEmpty() && missing.isEmpty();
}

void PDFTilePainter::drawParts(QPainter &painter, const PageGeometry &g, const PDFTileKey &key) const
{
    const QRect tileRect = key.pixelRect(g.size);
    for (const PDFRenderQueue::Part &part : m_queue.parts(key)) {
        const QRect shown = part.pixels & tileRect;
        painter.drawImage(shown.topLeft() + g.origin, part.image, shown.translated(-part.pixels.topLeft()));
    }
}

bool PDFTilePainter::isViewSharp(qreal dpr) const
{
    const QList<PageGeometry> pages = visiblePages(dpr);
    return std::all_of(pages.cbegin(), pages.cend(), [this](const PageGeometry &g) {
        return forEachVisibleTile(
            g, [&](const PDFTileKey &key) { return m_queue.cache().contains(key) || partsShowing(g, key); });
    });
}

PDFTilePainter::FollowUp PDFTilePainter::paint(QPainter &painter, qreal dpr, bool composeDue, const QColor &background)
{
    m_paintClock.start();
    // Every pixel is painted once: the background only around the pages, the pages by their
    // tiles or stand-ins (paper only where neither exists).
    const QList<PageGeometry> pages = visiblePages(dpr);
    QRegion around(QRect(QPoint(0, 0), (QSizeF(m_viewport.viewportSize()) * dpr).toSize()));
    for (const PageGeometry &g : pages)
        around -= g.pagePixels.translated(g.origin);
    QColor fill = m_viewport.backgroundColor();
    if (!fill.isValid())
        fill = m_viewport.invertsColors() ? QColor::fromRgb(kInvertedBackdrop) : background;
    painter.save();
    painter.scale(1 / dpr, 1 / dpr);
    for (const QRect &rect : around)
        painter.fillRect(rect, fill);
    painter.restore();
    if (m_viewport.visiblePageRange().second < 0)
        return FollowUp::None;

    // The renders start before the frame spends its time on stand-ins.
    QSet<PDFTileKey> wanted;
    for (const PageGeometry &g : pages)
        requestTiles(g, wanted);
    m_queue.retain(wanted, PDFTileKey::Tile);
    m_standIns.retain(wanted);
    m_queue.startRequested();
    m_mayCompose = composeDue || !m_queue.isRenderingVisible();
    bool blank = false;
    for (const PageGeometry &g : pages) {
        if (!paintPage(painter, g, dpr))
            blank = true;
    }
    ++m_frameStats.frames;
    if (blank)
        ++m_frameStats.blankFrames;
    if (!std::exchange(m_standInsPending, false))
        return FollowUp::None;
    return m_mayCompose ? FollowUp::ComposeNow : FollowUp::ComposeLater;
}

void PDFTilePainter::requestTiles(const PageGeometry &g, QSet<PDFTileKey> &wanted)
{
    if (g.visiblePixels.isEmpty())
        return;
    PDFTileCache &cache = m_queue.cache();
    const QList<qint64> scales = cache.cachedTileScales(g.base);
    // At a scale the page has nothing at yet (a zoom step, a first frame), the view's part of
    // each tile comes first, in one pass per core; the tiles are completed afterwards.
    const bool newScale = !scales.contains(g.base.scaleKey);
    bool anyPicture = scales.size() > (newScale ? 0 : 1);
    const QPointF centre = QRectF(g.visiblePixels).center();
    forEachVisibleTile(g, [&](const PDFTileKey &key) {
        wanted.insert(key);
        if (cache.contains(key)) {
            anyPicture = true;
            return true;
        }
        const QRect tileRect = key.pixelRect(g.size);
        const QPointF d = QRectF(tileRect).center() - centre;
        const double distance = std::hypot(d.x(), d.y());
        if (partsShowing(g, key)) {
            anyPicture = true;
            m_queue.request(key, PDFRenderQueue::Preview, distance); // the rest, for panning
        } else {
            // So does an outdated tile: the view's part of it first.
            const bool partFirst = newScale || cache.isOutdated(key);
            m_queue.request(key, PDFRenderQueue::Visible, distance, partFirst ? tileRect & g.visiblePixels : QRect());
        }
        return true;
    });

    // The preview waits until the visible tiles are under way, unless the page has nothing at
    // all to show and is zoomed in far enough that its tiles are the slower way to a picture.
    const PDFTileKey preview = g.base.preview(g.size);
    if (!cache.contains(preview)) {
        const bool nothingToShow = !anyPicture && g.base.pixelScale() > 2 * preview.pixelScale();
        m_queue.request(preview, nothingToShow ? PDFRenderQueue::Visible : PDFRenderQueue::Background,
            nothingToShow ? -1.0 : std::abs(g.base.page - m_viewport.currentPageIndex()));
    }
}

bool PDFTilePainter::paintPage(QPainter &painter, const PageGeometry &g, qreal dpr)
{
    if (g.visiblePixels.isEmpty())
        return true;
    const double pixelScale = g.base.pixelScale();
    PDFTileCache &cache = m_queue.cache();

    painter.save();
    painter.scale(1 / dpr, 1 / dpr); // device pixels from here on
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect pageRect = g.pagePixels.translated(g.origin);
    for (const QRect &shadow : QRegion(pageRect.translated(qRound(dpr), qRound(2 * dpr))) - QRegion(pageRect))
        painter.fillRect(shadow, QColor(0, 0, 0, 45));

    const QImage *previewImage = cache.find(g.base.preview(g.size));

    // Tiles of other scales that can stand in, nearest to the current scale first.
    QList<qint64> scales = cache.cachedTileScales(g.base);
    scales.removeAll(g.base.scaleKey);
    std::sort(scales.begin(), scales.end(), [&](qint64 a, qint64 b) {
        return std::abs(std::log(a / 1.0e6 / pixelScale)) < std::abs(std::log(b / 1.0e6 / pixelScale));
    });

    bool covered = true;
    const PDFStandIns::Page standInPage {g.base, g.size, g.pagePixels, g.origin, previewImage, scales};
    forEachVisibleTile(g, [&](const PDFTileKey &key) {
        if (const QImage *image = cache.find(key)) {
            painter.drawImage(key.pixelRect(g.size).topLeft() + g.origin, *image);
            m_standIns.drop(key);
            if (cache.isOutdated(key))
                drawParts(painter, g, key); // what is drawn anew goes over it
            return true;
        }
        if (partsShowing(g, key)) {
            m_standIns.drop(key);
        } else {
            bool rough = false;
            const bool mayCompose = m_mayCompose && m_paintClock.nsecsElapsed() <= kStandInBudgetNs;
            covered = m_standIns.draw(painter, cache, standInPage, key, mayCompose, &rough) && covered;
            m_standInsPending = m_standInsPending || rough;
        }
        drawParts(painter, g, key);
        return true;
    });
    painter.restore();
    return covered;
}
