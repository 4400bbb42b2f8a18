#include "PDFTileCache.h"

namespace {

qint64 bytesOf(const QImage &image)
{
    return image.sizeInBytes();
}

// What the tiles of one page image share: all but the scale and the tile's place.
PDFTileKey pageKey(const PDFTileKey &tile)
{
    PDFTileKey key;
    key.document = tile.document;
    key.page = tile.page;
    key.rotation = tile.rotation;
    key.inverted = tile.inverted;
    return key;
}

} // namespace

PDFTileCache::PDFTileCache(qint64 tileBudgetBytes, qint64 pageImageBudgetBytes)
    : m_budget {tileBudgetBytes, pageImageBudgetBytes}
{
}

const QImage *PDFTileCache::find(const PDFTileKey &key)
{
    const auto it = m_index.constFind(key);
    if (it == m_index.cend())
        return nullptr;
    List &list = m_lru[poolOf(key)];
    list.splice(list.begin(), list, it.value());
    return &it.value()->image;
}

void PDFTileCache::insert(const PDFTileKey &key, const QImage &image)
{
    if (const auto it = m_index.constFind(key); it != m_index.cend())
        erase(it.value());
    const int pool = poolOf(key);
    m_lru[pool].push_front(Entry {key, image});
    m_index.insert(key, m_lru[pool].begin());
    m_used[pool] += bytesOf(image);
    if (key.kind == PDFTileKey::Tile)
        ++m_scales[pageKey(key)][key.scaleKey];
    trim(pool);
}

void PDFTileCache::erase(List::iterator it)
{
    const PDFTileKey key = it->key;
    const int pool = poolOf(key);
    m_used[pool] -= bytesOf(it->image);
    if (key.kind == PDFTileKey::Tile) {
        const PDFTileKey page = pageKey(key);
        auto scales = m_scales.find(page);
        if (scales != m_scales.end()) {
            auto count = scales->find(key.scaleKey);
            if (count != scales->end() && --count.value() <= 0)
                scales->erase(count);
            if (scales->isEmpty())
                m_scales.erase(scales);
        }
    }
    m_index.remove(key);
    m_outdated.remove(key);
    m_lru[pool].erase(it);
}

void PDFTileCache::trim(int pool)
{
    // The newest image always stays, even when it alone is over budget.
    while (m_used[pool] > m_budget[pool] && m_lru[pool].size() > 1)
        erase(std::prev(m_lru[pool].end()));
}

void PDFTileCache::keepOnlyDocument(quint64 document)
{
    for (List &list : m_lru) {
        for (auto it = list.begin(); it != list.end();) {
            auto next = std::next(it);
            if (it->key.document != document)
                erase(it);
            it = next;
        }
    }
}

void PDFTileCache::markOutdated(quint64 document, const QSet<int> &pages)
{
    for (const List &list : m_lru) {
        for (const Entry &entry : list) {
            if (entry.key.document == document && pages.contains(entry.key.page))
                m_outdated.insert(entry.key);
        }
    }
}

QList<qint64> PDFTileCache::cachedTileScales(const PDFTileKey &tile) const
{
    return m_scales.value(pageKey(tile)).keys();
}
