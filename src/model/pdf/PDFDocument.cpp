#include "PDFDocument.h"

#include "PDFDocumentEngine.h"
#include "PDFFindWorker.h"
#include "PDFPage.h"
#include "PlenvoThreadHandOver.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <algorithm>

PDFRenderCookie::PDFRenderCookie()
    : m_cookie(new fz_cookie())
{
}

PDFRenderCookie::~PDFRenderCookie()
{
    delete static_cast<fz_cookie *>(m_cookie);
}

// MuPDF polls `abort` without synchronisation while it draws; the write is atomic so that a
// canceller on another thread never tears it.
void PDFRenderCookie::cancel()
{
    __atomic_store_n(&static_cast<fz_cookie *>(m_cookie)->abort, 1, __ATOMIC_RELAXED);
}

bool PDFRenderCookie::isCancelled() const
{
    return __atomic_load_n(&static_cast<const fz_cookie *>(m_cookie)->abort, __ATOMIC_RELAXED);
}

PDFDocument::PDFDocument() = default;

std::shared_ptr<PDFDocument> PDFDocument::open(const QByteArray &nativePath, PDFError *error)
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
    if (error && document->m_locked)
        *error = PDFError {PDFErrorKind::NeedsPassword, QStringLiteral("the file needs a password")};
    return document;
}

PDFDocument::~PDFDocument()
{
    ++m_findGeneration;
    delete m_findWorker;
    m_stoppingFindWorkers.clear();
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
    return m_engine->renderTile(pageIndex, rotation, scale, tile, fzCookie, error);
}

QImage PDFDocument::renderPageOnce(int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error) const
{
    return m_engine->renderPageOnce(pageIndex, rotation, scale, tile, error);
}

void PDFDocument::setDisplayListCacheSize(int pages)
{
    m_engine->setDisplayListCacheSize(pages);
}

int PDFDocument::displayListCacheSize() const
{
    return m_engine->displayListCacheSize();
}

QVector<PDFLink> PDFDocument::links(int pageIndex) const
{
    return m_engine->links(pageIndex);
}

void PDFDocument::beginFindString(const QString &query)
{
    cancelFindString();
    const quint64 generation = ++m_findGeneration;
    m_finding = true;
    postFindEvent(generation, FindEvent::Begin);
    std::u32string needle = PDFDocumentEngine::foldedNeedle(query);
    if (needle.empty() || pageCount() == 0)
        postFindEvent(generation, FindEvent::End);
    else
        m_findWorker = new PDFFindWorker(this, m_engine.get(), std::move(needle), generation);
}

void PDFDocument::cancelFindString()
{
    ++m_findGeneration;
    m_finding = false;
    if (m_findWorker) {
        m_findWorker->cancel();
        m_stoppingFindWorkers.emplace_back(m_findWorker);
        m_findWorker = nullptr;
    }
    reapFindWorkers();
}

bool PDFDocument::isFinding() const
{
    return m_finding;
}

void PDFDocument::reapFindWorkers()
{
    auto &workers = m_stoppingFindWorkers;
    workers.erase(std::remove_if(workers.begin(), workers.end(),
                      [](const std::unique_ptr<PDFFindWorker> &worker) { return worker->isFinished(); }),
        workers.end());
}

// The event runs on the document's thread; if the document is destroyed first, Qt discards
// it with the document's other posted events.
void PDFDocument::postFindEvent(quint64 generation, FindEvent event, QVector<PDFSelection> selections)
{
    PlenvoThreadHandOver::post(this, [this, generation, event, selections = std::move(selections)] {
        deliverFindEvent(generation, event, selections);
    });
}

void PDFDocument::deliverFindEvent(quint64 generation, FindEvent event, const QVector<PDFSelection> &selections)
{
    if (generation != m_findGeneration.load())
        return;
    switch (event) {
    case FindEvent::Begin:
        emit didBeginFind(this);
        break;
    case FindEvent::Matches:
        for (const PDFSelection &selection : selections) {
            if (generation != m_findGeneration.load())
                return;
            emit didFindMatch(this, selection);
        }
        break;
    case FindEvent::End:
        m_finding = false;
        if (m_findWorker) {
            // The worker posted this as its last act; joining it returns at once.
            m_stoppingFindWorkers.emplace_back(m_findWorker);
            m_findWorker = nullptr;
        }
        reapFindWorkers();
        emit didEndFind(this);
        break;
    }
}
