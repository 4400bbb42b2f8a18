#include "PDFDisplayListCache.h"

#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"

#include <algorithm>
#include <cmath>

namespace {

// The block grid of a page's display list, in points, and how many blocks are kept.
constexpr float kBlockStep = 256;
constexpr int kBlockCacheSize = 48;

// A new list of what `source` draws inside `area` (running a list with a scissor passes on
// only the commands that reach into it); null when MuPDF throws.
fz_display_list *recordArea(fz_context *ctx, fz_display_list *source, const fz_rect &area)
{
    fz_display_list *list = nullptr;
    fz_device *device = nullptr;
    fz_var(list);
    fz_var(device);
    fz_try(ctx)
    {
        list = fz_new_display_list(ctx, area);
        device = fz_new_list_device(ctx, list);
        fz_run_display_list(ctx, source, device, fz_identity, area, nullptr);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
    }
    fz_catch(ctx)
    {
        fz_drop_display_list(ctx, list);
        list = nullptr;
    }
    return list;
}

} // namespace

PDFDisplayListCache::PDFDisplayListCache(const PDFDocumentEngine &engine)
    : m_engine(engine)
{
}

PDFDisplayListCache::~PDFDisplayListCache()
{
    if (fz_context *ctx = PDFEngineContext::current())
        clear(ctx);
}

void PDFDisplayListCache::clear(fz_context *ctx)
{
    for (auto &entry : m_pages)
        fz_drop_display_list(ctx, entry.list);
    m_pages.clear();
    std::lock_guard<std::mutex> lock(m_blockMutex);
    for (auto &entry : m_blocks)
        fz_drop_display_list(ctx, entry.second);
    m_blocks.clear();
}

fz_display_list *PDFDisplayListCache::keepPageList(fz_context *ctx, int pageIndex, PDFError *error, quint64 *recording)
{
    std::lock_guard<std::mutex> lock(m_engine.mutex());
    PDFLayerState &layers = m_engine.layers();
    for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
        if (it->page == pageIndex && layers.isStale(pageIndex)) {
            // Recorded before a layer it shows changed: recorded again below.
            fz_drop_display_list(ctx, it->list);
            m_pages.erase(it);
            break;
        }
        if (it->page == pageIndex) {
            m_pages.splice(m_pages.begin(), m_pages, it);
            if (recording)
                *recording = it->recording;
            return fz_keep_display_list(ctx, it->list);
        }
    }

    fz_page *page = m_engine.loadPage(ctx, pageIndex, error);
    if (!page)
        return nullptr;
    fz_device *device = nullptr;
    fz_display_list *list = nullptr;
    fz_var(device);
    fz_var(list);
    // A page whose layers are left out while drawing is recorded with all of them.
    const bool everyLayer = layers.beginRecording(ctx, m_engine.pdf(), pageIndex);
    fz_try(ctx)
    {
        list = fz_new_display_list(ctx, fz_bound_page(ctx, page));
        device = fz_new_list_device(ctx, list);
        // Recording is not cancellable: a list is worth keeping even when the tile that asked
        // for it is no longer wanted, and the next tile of the page needs it anyway.
        fz_run_page(ctx, page, device, fz_identity, nullptr);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_page(ctx, page);
        if (everyLayer)
            layers.apply(ctx, m_engine.pdf());
    }
    fz_catch(ctx)
    {
        fz_drop_display_list(ctx, list);
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
        return nullptr;
    }
    m_pages.push_front(PageList {pageIndex, list, ++m_recordings});
    if (recording)
        *recording = m_recordings;
    trimPages(ctx);
    return fz_keep_display_list(ctx, list);
}

fz_display_list *PDFDisplayListCache::keepRecordedPageList(fz_context *ctx, int pageIndex)
{
    for (const auto &entry : m_pages) {
        if (entry.page == pageIndex && !m_engine.layers().isStale(pageIndex))
            return fz_keep_display_list(ctx, entry.list);
    }
    return nullptr;
}

fz_display_list *PDFDisplayListCache::keepBlockList(
    fz_context *ctx, fz_display_list *pageList, quint64 recording, int pageIndex, const fz_rect &area)
{
    // Blocks are 2G × 2G points laid every G points, so any area up to G × G fits wholly in
    // the block that starts at the grid line at or before its top-left corner.
    constexpr float G = kBlockStep;
    const fz_rect bounds = m_engine.geometry(pageIndex).bounds;
    if (area.x1 - area.x0 > G || area.y1 - area.y0 > G)
        return nullptr;
    const int column = std::max(0, int(std::floor((area.x0 - bounds.x0) / G)));
    const int row = std::max(0, int(std::floor((area.y0 - bounds.y0) / G)));
    const fz_rect block
        = {bounds.x0 + column * G, bounds.y0 + row * G, bounds.x0 + (column + 2) * G, bounds.y0 + (row + 2) * G};
    const BlockKey key {recording, pageIndex, column, row};

    {
        std::unique_lock<std::mutex> lock(m_blockMutex);
        // Another thread recording the same block: wait for it rather than record it twice.
        m_blockRecorded.wait(lock, [&] { return m_blocksRecording.count(key) == 0; });
        for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it) {
            if (it->first == key) {
                m_blocks.splice(m_blocks.begin(), m_blocks, it);
                return fz_keep_display_list(ctx, it->second);
            }
        }
        m_blocksRecording.insert(key);
    }

    fz_display_list *const list = recordArea(ctx, pageList, block);

    std::lock_guard<std::mutex> lock(m_blockMutex);
    m_blocksRecording.erase(key);
    m_blockRecorded.notify_all();
    if (!list)
        return nullptr;
    m_blocks.emplace_front(key, list);
    while (int(m_blocks.size()) > kBlockCacheSize) {
        fz_drop_display_list(ctx, m_blocks.back().second);
        m_blocks.pop_back();
    }
    return fz_keep_display_list(ctx, list);
}

void PDFDisplayListCache::setCapacity(int pages)
{
    fz_context *ctx = PDFEngineContext::current();
    std::lock_guard<std::mutex> lock(m_engine.mutex());
    m_capacity = std::max(1, pages);
    if (ctx)
        trimPages(ctx);
}

int PDFDisplayListCache::capacity() const
{
    std::lock_guard<std::mutex> lock(m_engine.mutex());
    return m_capacity;
}

void PDFDisplayListCache::trimPages(fz_context *ctx)
{
    while (int(m_pages.size()) > m_capacity) {
        fz_drop_display_list(ctx, m_pages.back().list);
        m_pages.pop_back();
    }
}
