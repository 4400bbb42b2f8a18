#pragma once

#include "PDFTileKey.h"

#include <QHash>
#include <QImage>
#include <QSet>

#include <list>

// Finished images, least recently used first out once their bytes exceed the budget. An image
// marked outdated (its page's picture changed) is still found, to stand in, but no longer
// counts as cached, so that it is rendered again; the new image replaces it.
// Tiles and whole-page images (previews, thumbnails) have separate budgets, so panning at
// high zoom never pushes out the low-resolution pictures that stand in for missing tiles.
// UI thread only.
class PDFTileCache {
public:
    explicit PDFTileCache(qint64 tileBudgetBytes = 256ll << 20, qint64 pageImageBudgetBytes = 32ll << 20);

    // The image, outdated or not, or null; marks it most recently used.
    const QImage *find(const PDFTileKey &key);
    // Holds an image of `key` that is not outdated.
    bool contains(const PDFTileKey &key) const { return m_index.contains(key) && !m_outdated.contains(key); }
    // Holds an outdated image of `key`.
    bool isOutdated(const PDFTileKey &key) const { return m_outdated.contains(key); }
    void insert(const PDFTileKey &key, const QImage &image);
    // Drops every image of documents other than `document`.
    void keepOnlyDocument(quint64 document);
    // Marks every image of `pages` of `document` outdated.
    void markOutdated(quint64 document, const QSet<int> &pages);

    qint64 bytesUsed() const { return m_used[0] + m_used[1]; }
    int count() const { return int(m_index.size()); }

    // Scales (as scale keys) at which tiles are cached of the document, page, rotation and
    // colours of `tile`.
    QList<qint64> cachedTileScales(const PDFTileKey &tile) const;

private:
    struct Entry {
        PDFTileKey key;
        QImage image;
    };
    using List = std::list<Entry>;
    static int poolOf(const PDFTileKey &key) { return key.kind == PDFTileKey::Tile ? 0 : 1; }
    void trim(int pool);
    void erase(List::iterator it);

    List m_lru[2]; // front = most recent
    QHash<PDFTileKey, List::iterator> m_index;
    QSet<PDFTileKey> m_outdated; // a subset of m_index's keys
    qint64 m_budget[2];
    qint64 m_used[2] = {0, 0};
    // (document, page, rotation, inverted) → scale key → number of cached tiles
    QHash<PDFTileKey, QHash<qint64, int>> m_scales;
};
