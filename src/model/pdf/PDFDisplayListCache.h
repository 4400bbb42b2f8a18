#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFError.h"

#include <QtGlobal>

#include <mupdf/fitz.h>

#include <condition_variable>
#include <list>
#include <mutex>
#include <set>
#include <tuple>
#include <utility>

class PDFDocumentEngine;

// The recorded drawing commands of a document: whole pages, and blocks of a page around a
// small area so that a tile at high zoom walks only the commands near it. Both lists are
// least recently used first out. Every list handed out is a kept reference the caller drops.
//
// Threads: any. The page lists are guarded by the engine's mutex() (the document is needed
// to record them anyway); the block lists by a lock of their own, never held while drawing.
class PDFDisplayListCache {
public:
    explicit PDFDisplayListCache(const PDFDocumentEngine &engine);
    ~PDFDisplayListCache();
    PDFDisplayListCache(const PDFDisplayListCache &) = delete;
    PDFDisplayListCache &operator=(const PDFDisplayListCache &) = delete;

    // The page's list, recorded on first use, and again after a layer it shows changed
    // (PDFLayerState::isStale), under the engine's mutex (taken here); null with `error` set
    // when recording fails. `recording`, when given, gets the number that
    // names this recording among all the cache ever made.
    fz_display_list *keepPageList(fz_context *ctx, int pageIndex, PDFError *error, quint64 *recording = nullptr);
    // The page's list when it is already recorded, without recording or reordering; else
    // null. The caller holds the engine's mutex.
    fz_display_list *keepRecordedPageList(fz_context *ctx, int pageIndex);
    // The part of `pageList`, recording number `recording`, near `area` (page space), when
    // `area` is small enough to lie in one block of the page's block grid: recorded from the
    // page's list on first use. Null when `area` is too large or recording fails. Takes no
    // lock of the engine's.
    fz_display_list *keepBlockList(
        fz_context *ctx, fz_display_list *pageList, quint64 recording, int pageIndex, const fz_rect &area);

    // Most page lists kept at once; at least 1. Takes the engine's mutex.
    void setCapacity(int pages);
    int capacity() const;
    // Drops every list. Called by the engine before it drops the document.
    void clear(fz_context *ctx);

private:
    void trimPages(fz_context *ctx);

    const PDFDocumentEngine &m_engine;
    struct PageList {
        int page;
        fz_display_list *list;
        quint64 recording;
    };
    std::list<PageList> m_pages; // most recently used first
    int m_capacity = 8;
    quint64 m_recordings = 0;

    using BlockKey = std::tuple<quint64, int, int, int>; // recording, page, column, row
    std::mutex m_blockMutex; // guards the three members below
    std::condition_variable m_blockRecorded;
    std::list<std::pair<BlockKey, fz_display_list *>> m_blocks; // most recently used first
    std::set<BlockKey> m_blocksRecording;
};
