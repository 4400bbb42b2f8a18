#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFDocument.h"
#include "PDFEngineContext.h"
#include "PDFPageTree.h"
#include "PDFTextMatch.h"

#include <condition_variable>
#include <cstdio>
#include <list>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Owns the document's fz_document. Every use of the handle and of the display-list cache
// happens under `m_mutex`; drawing from a recorded list happens outside it, on the calling
// thread's own context. Any thread.
struct PDFDocumentEngine {
    static std::unique_ptr<PDFDocumentEngine> open(const QByteArray &nativePath, PDFError *error);
    ~PDFDocumentEngine();
    PDFDocumentEngine(const PDFDocumentEngine &) = delete;
    PDFDocumentEngine &operator=(const PDFDocumentEngine &) = delete;

    bool isLocked() const { return m_locked; }
    int pageCount() const { return int(m_geometry.size()); }
    const PDFPageGeometry &geometry(int pageIndex) const { return m_geometry[size_t(pageIndex)]; }

    // `rotation` is the viewer's absolute rotation; `tile` in device pixels of the displayed
    // page. `cookie` may be null.
    QImage renderTile(int pageIndex, int rotation, qreal scale, const QRect &tile, fz_cookie *cookie, PDFError *error);
    QImage renderPageOnce(int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error);
    QVector<PDFLink> links(int pageIndex);
    // `query` case-folded as find() folds the page's text, as a needle for PDFTextMatch;
    // empty when the query is blank. Any thread.
    static std::u32string foldedNeedle(const QString &query);
    // The hits of `needle` (from foldedNeedle) on one page, in reading order, rectangles in
    // page space. Locks the handle only while the page's text is extracted.
    std::vector<PDFTextMatch::Hit> find(
        int pageIndex, const std::u32string &needle, fz_cookie *cookie, PDFError *error);

    // Most display lists kept at once (least recently used go first); at least 1.
    void setDisplayListCacheSize(int pages);
    int displayListCacheSize() const;

private:
    PDFDocumentEngine() = default;

    // A kept reference to the page's display list, recorded on first use; null on error.
    fz_display_list *keepDisplayList(fz_context *ctx, int pageIndex, fz_cookie *cookie, PDFError *error);
    // One pass of the page on `document` into `samples` (BGRA rows of box's width); false on
    // error, with `error` set. The caller holds the handle's mutex.
    static bool drawPage(fz_context *ctx, fz_document *document, int pageIndex, const fz_matrix &ctm,
        const fz_irect &box, unsigned char *samples, fz_cookie *cookie, PDFError *error);
    // The cached list for the page (kept), without recording or reordering; else null.
    fz_display_list *keepCachedDisplayList(fz_context *ctx, int pageIndex);
    void trimCache(fz_context *ctx);
    // The part of `pageList` near `area` (page space), when `area` is small enough to lie in
    // one block of the page's block grid: recorded from the page's list on first use and
    // kept, so that a tile at high zoom walks only the drawing commands around it instead
    // of the whole page. Null when `area` is too large or recording fails. Kept reference.
    fz_display_list *keepBlockList(fz_context *ctx, fz_display_list *pageList, int pageIndex, fz_rect area);

    mutable std::mutex m_mutex;
    fz_document *m_document = nullptr;
    // The file the document reads, opened by us; closed after the document is dropped.
    FILE *m_file = nullptr;
    bool m_locked = false;
    std::vector<PDFPageGeometry> m_geometry;
    std::list<std::pair<int, fz_display_list *>> m_cache; // most recently used first
    int m_cacheCapacity = 8;

    using BlockKey = std::tuple<int, int, int>; // page, column, row
    std::mutex m_blockMutex; // guards the three members below; never held while drawing
    std::condition_variable m_blockRecorded;
    std::list<std::pair<BlockKey, fz_display_list *>> m_blocks; // most recently used first
    std::set<BlockKey> m_blocksRecording;
};
