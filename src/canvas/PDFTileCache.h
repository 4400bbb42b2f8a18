#pragma once

#include "PDFTileKey.h"

#include <QHash>
#include <QImage>

#include <list>

// Finished images, least recently used first out once their bytes exceed the budget.
// Tiles and whole-page images (previews, thumbnails) have separate budgets, so panning at
// high zoom never pushes out the low-resolution pictures that stand in for missing tiles.
// UI thread only.
class PDFTileCache {
public:
    explicit PDFTileCache(qint64 tileBudgetBytes = 256ll << 20, qint64 pageImageBudgetBytes = 32ll << 20);

    // The image, or null; marks it most recently used.
    const QImage *find(const PDFTileKey &key);
    bool contains(const PDFTileKey &key) const { return m_index.contains(key); }
    void insert(const PDFTileKey &key, const QImage &image);
    // Drops every image of documents other than `document`.
    void keepOnlyDocument(quint64 document);

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
    qint64 m_budget[2];
    qint64 m_used[2] = {0, 0};
    // (document, page, rotation, inverted) → scale key → number of cached tiles
    QHash<PDFTileKey, QHash<qint64, int>> m_scales;
};
