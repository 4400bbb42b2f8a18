#include "PDFRenderQueue.h"

#include "PDFDocument.h"
#include "PDFPage.h"
#include "PlenvoThreadHandOver.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <mutex>
#include <utility>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// The render workers' nice value: about a quarter of the UI thread's CPU weight.
constexpr int kWorkerNiceness = 6;

// One pool for every queue: closing a document never waits for its renders, which finish
// (or abort) on their own and hand their last document reference back to the UI thread.
QThreadPool *renderPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        p->setExpiryTimeout(-1);
        return p;
    }();
    return pool;
}

// Render workers yield to the UI thread: as batch work the scheduler lets the UI thread run
// at once when it wakes for input or a frame, and a slightly lower priority keeps it from
// being sliced away mid-frame while every core renders. With the UI thread idle the workers
// still have the machine to themselves.
void markAsBackgroundWork()
{
#ifdef __linux__
    static thread_local bool marked = false;
    if (!marked) {
        sched_param param {};
        pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
        setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), kWorkerNiceness);
        marked = true;
    }
#endif
}

// Tile images are large (1 MiB), made on worker threads and freed on the UI thread when the
// cache evicts them. Left to its own devices the allocator serves them from per-thread heaps
// that keep freed memory, so a long pan at high zoom holds far more than the cache's budget.
// Mapped one by one, each tile's memory goes back to the system the moment it is freed.
void mapLargeImagesSeparately()
{
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] { mallopt(M_MMAP_THRESHOLD, 256 * 1024); });
#endif
}

// A document's pictures and recorded pages are freed on whichever thread lets go of them last,
// into the allocator's per-thread heaps, which keep what they free: opening one drawing after
// another grew the process by most of a megabyte each time. Once a replaced document's
// cancelled renders have had time to return, the freed memory goes back to the system; the
// trim walks every heap, so it runs on a worker, and one pending trim covers any number of
// switches.
void returnFreedMemorySoon()
{
#ifdef __GLIBC__
    static QPointer<QTimer> pending;
    if (pending || !QCoreApplication::instance())
        return;
    pending = new QTimer(QCoreApplication::instance());
    pending->setSingleShot(true);
    QObject::connect(pending, &QTimer::timeout, pending, [] {
        pending->deleteLater();
        QThreadPool::globalInstance()->start([] { malloc_trim(0); });
    });
    pending->start(1000);
#endif
}

} // namespace

PDFRenderQueue::PDFRenderQueue(QObject *parent)
    : QObject(parent)
    // Twice the cores: a worker that finishes finds the next render already waiting, instead
    // of idling until the UI thread has taken the result and handed out more work.
    , m_maximumRunning(2 * std::max(1, QThread::idealThreadCount()))
{
    mapLargeImagesSeparately();
}

PDFRenderQueue::~PDFRenderQueue()
{
    for (const auto &cookie : std::as_const(m_running))
        cookie->cancel();
}

QSizeF PDFRenderQueue::displaySize(const PDFPage *page, int rotation)
{
    const int turn = PDFPage::normalizedRotation(rotation - page->fileRotation());
    return turn % 180 ? page->pageSize().transposed() : page->pageSize();
}

void PDFRenderQueue::finishRenders()
{
    renderPool()->waitForDone();
}

void PDFRenderQueue::setDocument(std::shared_ptr<PDFDocument> document)
{
    for (const auto &cookie : std::as_const(m_running))
        cookie->cancel();
    m_running.clear();
    m_queue.clear();
    const bool replaced = m_document != nullptr;
    m_document = std::move(document);
    ++m_generation;
    m_cache.keepOnlyDocument(m_generation);
    if (replaced)
        returnFreedMemorySoon();
}

void PDFRenderQueue::request(const PDFTileKey &key, int priority, double distance)
{
    if (!m_document || key.document != m_generation || m_cache.contains(key))
        return;
    // A running render is left alone unless it was aborted; then it is queued again and
    // starts once the aborted one has returned.
    if (const auto running = m_running.constFind(key); running != m_running.cend() && !running.value()->isCancelled())
        return;
    m_queue.insert(key, Queued {priority, distance});
    startJobs();
}

void PDFRenderQueue::retain(const QSet<PDFTileKey> &wanted, PDFTileKey::Kind kind)
{
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it.key().kind == kind && !wanted.contains(it.key()))
            it = m_queue.erase(it);
        else
            ++it;
    }
    for (auto it = m_running.begin(); it != m_running.end(); ++it) {
        if (it.key().kind == kind && !wanted.contains(it.key()))
            it.value()->cancel();
    }
}

void PDFRenderQueue::startJobs()
{
    while (int(m_running.size()) < m_maximumRunning) {
        auto best = m_queue.end();
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (m_running.contains(it.key()))
                continue;
            if (best == m_queue.end()
                || std::pair(it->priority, it->distance) < std::pair(best->priority, best->distance))
                best = it;
        }
        if (best == m_queue.end())
            break;
        const PDFTileKey key = best.key();
        m_queue.erase(best);
        const PDFPage *page = m_document->page(key.page);
        const QRect rect = page ? key.pixelRect(displaySize(page, key.rotation)) : QRect();
        if (rect.isEmpty())
            continue;

        auto cookie = std::make_shared<PDFRenderCookie>();
        m_running.insert(key, cookie);
        QPointer<PDFRenderQueue> self(this);
        PlenvoThreadHandOver::start(renderPool(), [self, key, rect, cookie, document = m_document]() mutable {
            markAsBackgroundWork();
            QImage image = document->renderTile(key.page, key.rotation, key.pixelScale(), rect, cookie.get());
            PlenvoThreadHandOver::post(qApp, [self, key, image = std::move(image), document = std::move(document)]() {
                if (self)
                    self->finished(key, image);
            });
        });
    }
}

void PDFRenderQueue::finished(const PDFTileKey &key, const QImage &image)
{
    if (key.document != m_generation)
        return;
    m_running.remove(key);
    if (!image.isNull()) {
        m_cache.insert(key, image);
        emit imageReady(key);
    }
    startJobs();
}
