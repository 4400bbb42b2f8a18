#include "PDFStandIns.h"

#include "PDFInvertedColors.h"

#include <QPainter>

#include <cmath>
#include <utility>

namespace {

constexpr int kSpareImages = 4;

// Draws the part of `image` that falls inside `clip`, where the whole image would fill
// `target`.
void drawImagePart(QPainter &painter, const QImage &image, const QRectF &target, const QRectF &clip)
{
    const QRectF shown = target.intersected(clip);
    if (shown.isEmpty())
        return;
    const qreal sx = image.width() / target.width();
    const qreal sy = image.height() / target.height();
    const QRectF source((shown.left() - target.left()) * sx, (shown.top() - target.top()) * sy, shown.width() * sx,
        shown.height() * sy);
    painter.drawImage(shown, image, source);
}

using Parts = QList<std::pair<PDFTileKey, const QImage *>>;

// The cached tiles of `scale` under `tileRect` (pixels at `pixelScale`); `complete` tells
// whether they cover it.
Parts partsAt(
    PDFTileCache &cache, const PDFTileKey &key, const QRect &tileRect, double pixelScale, qint64 scale, bool *complete)
{
    const int t = PDFTileKey::tileSize;
    Parts parts;
    const double ratio = scale / 1.0e6 / pixelScale;
    const QRectF other(QPointF(tileRect.topLeft()) * ratio, QSizeF(tileRect.size()) * ratio);
    *complete = true;
    for (int r = int(other.top()) / t; r <= int(std::ceil(other.bottom()) - 1) / t; ++r) {
        for (int c = int(other.left()) / t; c <= int(std::ceil(other.right()) - 1) / t; ++c) {
            PDFTileKey stand = key;
            stand.scaleKey = scale;
            stand.column = c;
            stand.row = r;
            if (const QImage *image = cache.find(stand))
                parts.append({stand, image});
            else
                *complete = false;
        }
    }
    return parts;
}

} // namespace

bool PDFStandIns::draw(
    QPainter &painter, PDFTileCache &cache, const Page &page, const PDFTileKey &key, bool mayCompose, bool *rough)
{
    *rough = false;
    const double pixelScale = page.base.pixelScale();
    const QRect tileRect = key.pixelRect(page.size);
    const QRect shownRect = tileRect.translated(page.origin);
    const QColor paper = QColor::fromRgb(PDFInvertedColors::paperOf(key.inverted));

    QList<std::pair<qint64, Parts>> layers; // drawn first to last
    bool whole = false;
    for (qint64 scale : page.scales) {
        Parts parts = partsAt(cache, key, tileRect, pixelScale, scale, &whole);
        if (whole) {
            layers = {{scale, parts}};
            break;
        }
        if (!parts.isEmpty())
            layers.prepend({scale, parts});
    }
    const bool withPreview = !whole && page.preview;
    QList<QPair<qint64, int>> source;
    if (withPreview)
        source.append({-1, 1});
    for (const auto &[scale, parts] : std::as_const(layers))
        source.append({scale, int(parts.size())});
    if (source.isEmpty()) {
        drop(key);
        painter.fillRect(shownRect, paper);
        return false;
    }

    // The pictures, `offset` from page pixels, within the tile.
    const auto drawLayers = [&](QPainter &target, QPointF offset) {
        const QRectF clip = QRectF(tileRect).translated(offset);
        if (withPreview)
            drawImagePart(target, *page.preview, QRectF(page.pixels).translated(offset), clip);
        for (const auto &[scale, parts] : std::as_const(layers)) {
            const double ratio = scale / 1.0e6 / pixelScale;
            for (const auto &[stand, standImage] : parts) {
                const QRect standRect = stand.pixelRect(page.size);
                drawImagePart(target, *standImage,
                    QRectF(QPointF(standRect.topLeft()) / ratio + offset, QSizeF(standRect.size()) / ratio), clip);
            }
        }
    };

    auto standIn = m_standIns.find(key);
    if (standIn == m_standIns.end() || standIn->source != source) {
        if (!mayCompose) {
            const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            if (!whole) // else opaque tiles cover it all
                painter.fillRect(shownRect, paper);
            drawLayers(painter, QPointF(page.origin));
            painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            *rough = true;
            return whole || page.preview;
        }
        QImage image = takeImage(tileRect.size());
        image.fill(paper);
        QPainter composer(&image);
        composer.setRenderHint(QPainter::SmoothPixmapTransform);
        drawLayers(composer, -QPointF(tileRect.topLeft()));
        composer.end();
        if (standIn != m_standIns.end())
            recycle(standIn->image);
        standIn = m_standIns.insert(key, StandIn {image, source});
    }
    painter.drawImage(shownRect.topLeft(), standIn->image);
    return whole || page.preview;
}

void PDFStandIns::drop(const PDFTileKey &key)
{
    if (auto it = m_standIns.find(key); it != m_standIns.end()) {
        recycle(it->image);
        m_standIns.erase(it);
    }
}

void PDFStandIns::retain(const QSet<PDFTileKey> &wanted)
{
    for (auto it = m_standIns.begin(); it != m_standIns.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        recycle(it->image);
        it = m_standIns.erase(it);
    }
}

QImage PDFStandIns::takeImage(QSize size)
{
    for (int i = 0; i < m_spare.size(); ++i) {
        if (m_spare[i].size() == size)
            return m_spare.takeAt(i);
    }
    return QImage(size, QImage::Format_RGB32);
}

void PDFStandIns::recycle(QImage &image)
{
    m_spare.append(std::exchange(image, QImage()));
    while (m_spare.size() > kSpareImages)
        m_spare.removeFirst();
}
