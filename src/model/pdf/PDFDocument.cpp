#include "PDFDocument.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"
#include "PDFFindSession.h"
#include "PDFLinkReader.h"
#include "PDFPage.h"
#include "PDFPageRenderer.h"
#include "PDFPageVectors.h"
#include "PlenvoThreadHandOver.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <future>
#include <optional>

PDFRenderCookie::PDFRenderCookie()
    : m_cookie(new fz_cookie())
{
}

PDFRenderCookie::~PDFRenderCookie()
{
    delete static_cast<fz_cookie *>(m_cookie);
}

void PDFRenderCookie::cancel()
{
    PDFCancelCookie::cancel(static_cast<fz_cookie *>(m_cookie));
}

bool PDFRenderCookie::isCancelled() const
{
    return PDFCancelCookie::isCancelled(static_cast<const fz_cookie *>(m_cookie));
}

PDFDocument::PDFDocument() = default;

namespace {

// The document a preload is opening, and for which path. UI thread.
struct Preload {
    QByteArray nativePath;
    std::future<std::shared_ptr<PDFDocument>> document;
};
std::optional<Preload> &pendingPreload()
{
    static std::optional<Preload> preload;
    return preload;
}

// The worker's reference goes back to the UI thread, which destroys the document if it is the
// last one: a QObject dies on its own thread.
void handBack(std::shared_ptr<PDFDocument> document)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        PlenvoThreadHandOver::post(app, [document = std::move(document)] {});
}

} // namespace

void PDFDocument::preload(const QByteArray &nativePath)
{
    dropPreload();
    auto promise = std::make_shared<std::promise<std::shared_ptr<PDFDocument>>>();
    pendingPreload() = Preload {nativePath, promise->get_future()};
    QThread *const uiThread = QThread::currentThread();
    PlenvoThreadHandOver::start(QThreadPool::globalInstance(), [nativePath, promise, uiThread] {
        std::shared_ptr<PDFDocument> document = openHere(nativePath, nullptr);
        if (document)
            document->moveToThread(uiThread);
        promise->set_value(document);
        // The open is handed over; the sheet's recording goes on here meanwhile.
        if (document && document->pageCount() == 1)
            document->recordPage(0);
        handBack(std::move(document));
    });
}

void PDFDocument::dropPreload()
{
    if (std::optional<Preload> &preload = pendingPreload()) {
        preload->document.wait();
        preload.reset();
    }
}

void PDFDocument::prepare(int pageIndex)
{
    if (!hasRecordedOrIsBusy(pageIndex)) {
        PlenvoThreadHandOver::start(QThreadPool::globalInstance(), [self = shared_from_this(), pageIndex]() mutable {
            self->recordPage(pageIndex);
            handBack(std::move(self));
        });
    }
}

std::shared_ptr<PDFDocument> PDFDocument::open(const QByteArray &nativePath, PDFError *error)
{
    if (std::optional<Preload> &preload = pendingPreload()) {
        std::shared_ptr<PDFDocument> document = preload->document.get();
        const bool same = preload->nativePath == nativePath;
        preload.reset();
        // A preload that failed is opened again, for the error.
        if (same && document)
            return document;
    }
    return openHere(nativePath, error);
}

void PDFDocument::recordPage(int pageIndex) const
{
    fz_context *ctx = PDFEngineContext::current();
    if (ctx && pageIndex >= 0 && pageIndex < pageCount())
        fz_drop_display_list(ctx, m_engine->displayLists().keepPageList(ctx, pageIndex, nullptr));
}

bool PDFDocument::hasRecordedOrIsBusy(int pageIndex) const
{
    fz_context *ctx = PDFEngineContext::current();
    std::unique_lock<std::mutex> lock(m_engine->mutex(), std::try_to_lock);
    if (!ctx || !lock)
        return true;
    fz_display_list *list = m_engine->displayLists().keepRecordedPageList(ctx, pageIndex);
    fz_drop_display_list(ctx, list);
    return list != nullptr;
}

std::shared_ptr<PDFDocument> PDFDocument::openHere(const QByteArray &nativePath, PDFError *error)
{
    std::unique_ptr<PDFDocumentEngine> engine = PDFDocumentEngine::open(nativePath, error);
    if (!engine)
        return nullptr;

    std::shared_ptr<PDFDocument> document(new PDFDocument);
    document->m_nativePath = nativePath;
    document->m_locked = engine->isLocked();
    const int pageCount = engine->pageCount();
    document->m_pages.reserve(size_t(pageCount));
    for (int i = 0; i < pageCount; ++i) {
        const PDFPageGeometry &geometry = engine->geometry(i);
        const QSizeF size(
            qreal(geometry.bounds.x1 - geometry.bounds.x0), qreal(geometry.bounds.y1 - geometry.bounds.y0));
        document->m_pages.push_back(std::make_unique<PDFPage>(document.get(), i, size, geometry.fileRotation));
    }
    document->m_engine = std::move(engine);
    PDFDocument *const d = document.get();
    document->m_find = std::make_unique<PDFFindSession>(d, d->m_engine.get(),
        PDFFindSession::Listener {[d] { emit d->didBeginFind(d); },
            [d](const PDFSelection &selection) { emit d->didFindMatch(d, selection); },
            [d] { emit d->didEndFind(d); }});
    if (error && document->m_locked)
        *error = PDFError {PDFErrorKind::NeedsPassword, QStringLiteral("the file needs a password")};
    return document;
}

PDFDocument::~PDFDocument()
{
    m_find.reset();
    // A drawing's recorded pages can hold millions of paths, and freeing them takes longer than
    // a frame: the thread that lets go of the document (mostly the UI thread) hands that to a
    // worker. Qt waits for its pool's work before the application object goes.
    if (m_engine && QCoreApplication::instance())
        PlenvoThreadHandOver::start(
            QThreadPool::globalInstance(), [engine = std::move(m_engine)]() mutable { engine.reset(); });
}

PDFPage *PDFDocument::page(int index) const
{
    if (index < 0 || index >= pageCount())
        return nullptr;
    return m_pages[size_t(index)].get();
}

int PDFDocument::index(const PDFPage *page) const
{
    if (!page || page->document() != this)
        return -1;
    const int i = page->index();
    return page == this->page(i) ? i : -1;
}

QImage PDFDocument::renderTile(
    int pageIndex, int rotation, qreal scale, const QRect &tile, PDFRenderCookie *cookie, PDFError *error) const
{
    auto *fzCookie = cookie ? static_cast<fz_cookie *>(cookie->m_cookie) : nullptr;
    return PDFPageRenderer::renderTile(*m_engine, pageIndex, rotation, scale, tile, fzCookie, error);
}

QImage PDFDocument::renderPageOnce(int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error) const
{
    return PDFPageRenderer::renderPageOnce(*m_engine, pageIndex, rotation, scale, tile, error);
}

void PDFDocument::setDisplayListCacheSize(int pages)
{
    m_engine->displayLists().setCapacity(pages);
}

int PDFDocument::displayListCacheSize() const
{
    return m_engine->displayLists().capacity();
}

QVector<PDFLink> PDFDocument::links(int pageIndex) const
{
    return PDFLinkReader::links(*m_engine, pageIndex);
}

QVector<PDFMeasureViewport> PDFDocument::measureViewports(int pageIndex) const
{
    return PDFPageVectors::measureViewports(*m_engine, pageIndex);
}

std::shared_ptr<const PDFSnapIndex> PDFDocument::snapIndex(
    int pageIndex, PDFRenderCookie *cookie, PDFError *error) const
{
    auto *fzCookie = cookie ? static_cast<fz_cookie *>(cookie->m_cookie) : nullptr;
    return PDFPageVectors::snapIndex(*m_engine, pageIndex, fzCookie, error);
}

void PDFDocument::beginFindString(const QString &query)
{
    m_find->begin(query);
}

void PDFDocument::cancelFindString()
{
    m_find->cancel();
}

bool PDFDocument::isFinding() const
{
    return m_find->isFinding();
}

PDFLayerList PDFDocument::layers() const
{
    return m_engine->layers().rows();
}

QVector<int> PDFDocument::setLayerVisible(int row, bool visible)
{
    const std::vector<int> changed = m_engine->layers().setVisible(row, visible);
    return QVector<int>(changed.begin(), changed.end());
}
