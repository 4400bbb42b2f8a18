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

// The long side, in device pixels, of the low-resolution picture kept for every page shown.
constexpr double kPreviewLongSide = 1200.0;
// UI time a frame may spend before it draws the remaining stand-ins roughly.
constexpr qint64 kStandInBudgetNs = 2'000'000;

double previewPixelScale(const PDFPage *page)
{
    const QSizeF size = page->displaySize();
    const double longSide = std::max(size.width(), size.height());
    return longSide > 0 ? kPreviewLongSide / longSide : 1.0;
}

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

const PDFRenderQueue::Part *PDFTilePainter::partShowing(const PageGeometry &g, const PDFTileKey &key) const
{
    const PDFRenderQueue::Part *part = m_queue.part(key);
    return part && part->pixels.contains(key.pixelRect(g.size) & g.visiblePixels) ? part : nullptr;
}

bool PDFTilePainter::isViewSharp(qreal dpr) const
{
    const QList<PageGeometry> pages = visiblePages(dpr);
    return std::all_of(pages.cbegin(), pages.cend(), [this](const PageGeometry &g) {
        return forEachVisibleTile(
            g, [&](const PDFTileKey &key) { return m_queue.cache().contains(key) || partShowing(g, key); });
    });
}

bool PDFTilePainter::paint(QPainter &painter, qreal dpr)
{
    m_paintClock.start();
    // Every pixel is painted once: the background only around the pages, the pages by their
    // tiles or stand-ins (paper only where neither exists).
    const QList<PageGeometry> pages = visiblePages(dpr);
    QRegion background(QRect(QPoint(0, 0), (QSizeF(m_viewport.viewportSize()) * dpr).toSize()));
    for (const PageGeometry &g : pages)
        background -= g.pagePixels.translated(g.origin);
    painter.save();
    painter.scale(1 / dpr, 1 / dpr);
    for (const QRect &rect : background)
        painter.fillRect(rect, m_viewport.backgroundColor());
    painter.restore();
    if (m_viewport.visiblePageRange().second < 0)
        return false;

    QSet<PDFTileKey> wanted;
    bool blank = false;
    for (const PageGeometry &g : pages) {
        if (!paintPage(painter, g, dpr, wanted))
            blank = true;
    }
    m_queue.retain(wanted, PDFTileKey::Tile);
    m_standIns.retain(wanted);
    ++m_frameStats.frames;
    if (blank)
        ++m_frameStats.blankFrames;
    return std::exchange(m_standInsPending, false);
}

bool PDFTilePainter::paintPage(QPainter &painter, const PageGeometry &g, qreal dpr, QSet<PDFTileKey> &wanted)
{
    if (g.visiblePixels.isEmpty())
        return true;
    const int index = g.base.page;
    const double pixelScale = g.base.pixelScale();
    PDFTileCache &cache = m_queue.cache();

    painter.save();
    painter.scale(1 / dpr, 1 / dpr); // device pixels from here on
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect pageRect = g.pagePixels.translated(g.origin);
    for (const QRect &shadow : QRegion(pageRect.translated(qRound(dpr), qRound(2 * dpr))) - QRegion(pageRect))
        painter.fillRect(shadow, QColor(0, 0, 0, 45));

    PDFTileKey preview = g.base;
    preview.kind = PDFTileKey::Preview;
    preview.scaleKey = PDFTileKey::scaleKeyFor(previewPixelScale(g.page));
    const QImage *previewImage = cache.find(preview);

    // Tiles of other scales that can stand in, nearest to the current scale first.
    QList<qint64> scales = cache.cachedTileScales(g.base.document, index, g.base.rotation);
    // At a scale the page has nothing at yet (a zoom step, a first frame), the view's part of
    // each tile comes first, in one pass per core; the tiles are completed afterwards.
    const bool newScale = scales.removeAll(g.base.scaleKey) == 0;
    std::sort(scales.begin(), scales.end(), [&](qint64 a, qint64 b) {
        return std::abs(std::log(a / 1.0e6 / pixelScale)) < std::abs(std::log(b / 1.0e6 / pixelScale));
    });

    const QPointF centre = QRectF(g.visiblePixels).center();
    bool covered = true;
    bool anyTile = !scales.isEmpty();
    const PDFStandIns::Page standInPage {g.base, g.size, g.pagePixels, g.origin, previewImage, scales};
    forEachVisibleTile(g, [&](const PDFTileKey &key) {
        wanted.insert(key);
        const QRect tileRect = key.pixelRect(g.size);
        if (const QImage *image = cache.find(key)) {
            painter.drawImage(tileRect.topLeft() + g.origin, *image);
            m_standIns.drop(key);
            anyTile = true;
            return true;
        }
        const QPointF d = QRectF(tileRect).center() - centre;
        const double distance = std::hypot(d.x(), d.y());
        const PDFRenderQueue::Part *part = m_queue.part(key);
        if (part && part == partShowing(g, key)) {
            painter.drawImage(part->pixels.topLeft() + g.origin, part->image);
            m_standIns.drop(key);
            anyTile = true;
            m_queue.request(key, PDFRenderQueue::Preview, distance); // the rest, for panning
            return true;
        }
        m_queue.request(key, PDFRenderQueue::Visible, distance, newScale ? tileRect & g.visiblePixels : QRect());
        bool rough = false;
        const bool mayCompose = m_paintClock.nsecsElapsed() <= kStandInBudgetNs;
        covered = m_standIns.draw(painter, cache, standInPage, key, mayCompose, &rough) && covered;
        m_standInsPending = m_standInsPending || rough;
        if (part)
            painter.drawImage(part->pixels.topLeft() + g.origin, part->image);
        return true;
    });

    // The preview waits until the visible tiles are under way, unless the page has nothing at
    // all to show and is zoomed in far enough that its tiles are the slower way to a picture.
    if (!previewImage) {
        const bool nothingToShow = !anyTile && pixelScale > 2 * preview.pixelScale();
        m_queue.request(preview, nothingToShow ? PDFRenderQueue::Visible : PDFRenderQueue::Background,
            nothingToShow ? -1.0 : std::abs(index - m_viewport.currentPageIndex()));
    }
    painter.restore();
    return covered;
}
