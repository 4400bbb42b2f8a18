#pragma once

#include "PDFError.h"
#include "PDFLayer.h"
#include "PDFMeasureViewport.h"
#include "PDFSelection.h"
#include "PDFSnapIndex.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

class PDFPage;
class PDFFindSession;
class PDFDocumentEngine;

// A link on a page. Exactly one of destinationPage (internal) and uri (external) is set. An
// external link is always http, https or mailto; links to files, to other documents, to
// scripts or to programs are left out, and of the named actions only the first, last, next
// and previous page become internal links.
struct PDFLink {
    QRectF rect; // page space
    int destinationPage = -1;
    QPointF destinationPoint; // page space of the destination page; NaN when the link names none
    QString uri;
};

// Lets another thread abort a running render. Cheap to create; one per render request.
class PDFRenderCookie {
public:
    PDFRenderCookie();
    ~PDFRenderCookie();
    PDFRenderCookie(const PDFRenderCookie &) = delete;
    PDFRenderCookie &operator=(const PDFRenderCookie &) = delete;

    void cancel();
    bool isCancelled() const;

private:
    friend class PDFDocument;
    void *m_cookie; // fz_cookie, owned
};

// An open PDF file. Created only through open(); shared by the model, the canvas and the
// render workers through std::shared_ptr.
//
// Threads: the object lives on the UI thread; its signals are emitted there. Page geometry
// (pageCount, page()) is read once at open and is UI-thread state. renderTile() and links()
// may be called from any thread: the document's MuPDF handle is guarded by an internal
// mutex and each thread draws with its own cloned context.
class PDFDocument : public QObject, public std::enable_shared_from_this<PDFDocument> {
    Q_OBJECT

public:
    // Opens the file at `nativePath` (file-system bytes, not necessarily UTF-8) as a PDF,
    // whatever its name. Returns null when the file cannot be read as a PDF at all; error
    // then says why. A password-protected file opens locked (isLocked(), no pages) and error
    // is then NeedsPassword; otherwise error is None on success.
    static std::shared_ptr<PDFDocument> open(const QByteArray &nativePath, PDFError *error = nullptr);
    ~PDFDocument() override;

    // For a file named before the window exists: starts opening `nativePath` on a worker
    // thread, and recording its page when it has only one, while the window is built. The
    // next open() takes that document when it is for the same path, waiting for the open if
    // need be, and otherwise lets it go. UI thread.
    static void preload(const QByteArray &nativePath);
    // Lets go of a preloaded document nobody opened; for the end of the program. UI thread.
    static void dropPreload();
    // Records page `pageIndex`'s drawing commands on a worker thread, so that the first
    // render of the page finds them ready. Does nothing for a page already recorded. UI thread.
    void prepare(int pageIndex);

    QByteArray nativePath() const { return m_nativePath; }

    // True when the file needs a password. It is never unlocked.
    // Most pages taken from one file. A page tree can claim far more pages than its file
    // holds (a /Count of two billion, or one subtree listed many times over); pages past
    // this are left out rather than each measured and laid out.
    static constexpr int maximumPageCount = 100000;

    bool isLocked() const { return m_locked; }
    int pageCount() const { return int(m_pages.size()); }
    // The page at `index`, or null when out of range.
    PDFPage *page(int index) const;
    // The index of `page` in this document; -1 when it belongs elsewhere or is null.
    int index(const PDFPage *page) const;

    // Renders part of page `pageIndex` as the viewer shows it at `rotation` degrees and
    // `scale` device pixels per point. `tile` is in device pixels, origin at the top-left of
    // the displayed page. Returns a null image when cancelled or on error (error says which).
    // A page whose content is partly broken still returns its image, with error Damaged.
    // The image is Format_RGB32, white where the page has no content.
    // Any thread; blocks while the page's display list is first recorded.
    QImage renderTile(int pageIndex, int rotation, qreal scale, const QRect &tile, PDFRenderCookie *cookie = nullptr,
        PDFError *error = nullptr) const;
    // The same area drawn straight from the page in one single-threaded pass, without
    // recording or using a display list, as a one-off render would. Any thread; holds the
    // document for the whole pass.
    QImage renderPageOnce(int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error = nullptr) const;

    // How many pages keep their recorded display lists (least recently drawn go first).
    // At least 1; 8 unless set. Any thread.
    void setDisplayListCacheSize(int pages);
    int displayListCacheSize() const;

    // The links on a page (page space). Any thread.
    QVector<PDFLink> links(int pageIndex) const;

    // The document's layers (optional content) in the document's order, each with the state
    // it is drawn in; empty when it has none. Search text ignores layers. Any thread.
    PDFLayerList layers() const;
    // Shows or hides layer row `row` (its radio group and locks as the document says), or every
    // row when `row` is -1: showing all leaves each radio group's choice as it is. Returns the
    // pages whose picture changes, in order; empty when nothing did. Renders that start after
    // this returns draw the new state; earlier ones may still draw the old. Any thread; never
    // waits for a render or a recording.
    QVector<int> setLayerVisible(int row, bool visible);

    // The page's measuring viewports, in file order (a later one lies on top). Any thread.
    QVector<PDFMeasureViewport> measureViewports(int pageIndex) const;
    // The ends and crossings of the page's vector paths, for snapping measuring points.
    // Walks the page's whole recording, which takes a while on a dense sheet: call it on a
    // worker thread. Null when cancelled or on error (error says which).
    std::shared_ptr<const PDFSnapIndex> snapIndex(
        int pageIndex, PDFRenderCookie *cookie = nullptr, PDFError *error = nullptr) const;

    // Starts a literal search for `query` on a worker thread, page by page, ignoring case as
    // MuPDF folds it. A running find is cancelled first. Emits didBeginFind, then
    // didFindMatch once per hit in page order, then didEndFind; nothing from inside this call.
    // White space in the query matches any run of white space or a line break in the text;
    // a line break between two CJK characters matches nothing, so wrapped Chinese phrases are
    // found. A query of only white space finds nothing (begin and end only).
    void beginFindString(const QString &query);
    // Stops the running find. No signal of the cancelled find is emitted after this returns.
    void cancelFindString();
    bool isFinding() const;

signals:
    void didBeginFind(PDFDocument *document);
    void didFindMatch(PDFDocument *document, const PDFSelection &selection);
    void didEndFind(PDFDocument *document);

private:
    PDFDocument();
    static std::shared_ptr<PDFDocument> openHere(const QByteArray &nativePath, PDFError *error);
    // Any thread; blocks while the document is in use.
    void recordPage(int pageIndex) const;
    // True when the page is recorded, or when the document is busy (likely recording it). Never waits.
    bool hasRecordedOrIsBusy(int pageIndex) const;

    std::unique_ptr<PDFDocumentEngine> m_engine;
    QByteArray m_nativePath;
    bool m_locked = false;
    std::vector<std::unique_ptr<PDFPage>> m_pages;
    std::unique_ptr<PDFFindSession> m_find; // uses m_engine; destroyed before it is handed off
};
