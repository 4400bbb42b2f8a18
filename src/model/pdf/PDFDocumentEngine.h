#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFDisplayListCache.h"
#include "PDFError.h"
#include "PDFLayerState.h"
#include "PDFPageTree.h"

#include <QByteArray>

#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

// An open file: the document's fz_document, the file it reads, and every page's geometry.
// Rendering, links and search (PDFPageRenderer, PDFLinkReader, PDFTextSearch) work on it.
//
// Threads: any. The handle and the page-list cache are used only under mutex(); geometry is
// read once at open and immutable afterwards, so it is read without the lock. Drawing from a
// recorded list happens outside the lock, on the calling thread's own context.
class PDFDocumentEngine {
public:
    static std::unique_ptr<PDFDocumentEngine> open(const QByteArray &nativePath, PDFError *error);
    ~PDFDocumentEngine();
    PDFDocumentEngine(const PDFDocumentEngine &) = delete;
    PDFDocumentEngine &operator=(const PDFDocumentEngine &) = delete;

    bool isLocked() const { return m_locked; }
    int pageCount() const { return int(m_geometry.size()); }
    bool hasPage(int pageIndex) const { return pageIndex >= 0 && pageIndex < pageCount(); }
    const PDFPageGeometry &geometry(int pageIndex) const { return m_geometry[size_t(pageIndex)]; }

    // Guards document() and the page lists of displayLists().
    std::mutex &mutex() const { return m_mutex; }
    // Only under mutex().
    fz_document *document() const { return m_document; }
    // The page `pageIndex` (a new reference), or null with `error` Damaged when MuPDF
    // throws. The caller holds mutex().
    fz_page *loadPage(fz_context *ctx, int pageIndex, PDFError *error) const
    {
        return loadPage(ctx, m_document, pageIndex, error);
    }
    // The same from `document`, which the caller alone uses.
    static fz_page *loadPage(fz_context *ctx, fz_document *document, int pageIndex, PDFError *error);

    PDFDisplayListCache &displayLists() { return m_displayLists; }
    // The layers and the state the document is drawn in; PDFLayerState says which of its
    // calls need mutex().
    PDFLayerState &layers() const { return m_layers; }
    // The render document as a PDF; under mutex().
    pdf_document *pdf() const { return reinterpret_cast<pdf_document *>(m_document); }

    // Page `pageIndex`, loaded on the calling thread's context under mutex(), which stays held
    // while this object lives. page() is null when the thread has no context, the index is out
    // of range or MuPDF cannot load the page.
    class LockedPage {
    public:
        LockedPage(const PDFDocumentEngine &engine, int pageIndex);
        ~LockedPage();
        LockedPage(const LockedPage &) = delete;
        LockedPage &operator=(const LockedPage &) = delete;
        fz_context *context() const { return m_ctx; }
        fz_page *page() const { return m_page; }

    private:
        std::unique_lock<std::mutex> m_lock;
        fz_context *m_ctx = nullptr;
        fz_page *m_page = nullptr;
    };

    // Whether openPrivateDocument costs little more than reading the file's cross-reference
    // table: false when open() had to rebuild the table by scanning the whole file, which
    // every private document would do again.
    bool opensPrivateDocumentsCheaply() const { return !m_repaired; }
    // A second document on the same open file, for the calling thread alone and used without
    // mutex(): its own parser and caches, reading with pread so that neither disturbs the
    // other's file position, and its page tree replaced by an index of the engine's pages,
    // so page indices name the same pages, and the layers shown as they are now. The caller closes it with
    // closePrivateDocument on its thread, before the engine goes. Null with `error` set when MuPDF throws, and when
    // open() had to rebuild the cross-reference table by scanning the whole file, which each
    // private document would do again (opensPrivateDocumentsCheaply() is then false).
    fz_document *openPrivateDocument(fz_context *ctx, PDFError *error) const;
    // Drops a document from openPrivateDocument (null is fine).
    static void closePrivateDocument(fz_context *ctx, fz_document *document);

private:
    PDFDocumentEngine();

    mutable std::mutex m_mutex;
    fz_document *m_document = nullptr;
    // The file the document reads, opened by us; closed after the document is dropped.
    FILE *m_file = nullptr;
    bool m_locked = false;
    bool m_repaired = false; // the cross-reference table was rebuilt at open
    std::vector<PDFPageGeometry> m_geometry;
    std::vector<PDFPageReference> m_pages; // in page order, as PDFPageTree::read found them
    mutable PDFLayerState m_layers; // thread-safe itself
    PDFDisplayListCache m_displayLists; // dropped before the document
};
