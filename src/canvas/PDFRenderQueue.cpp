#include "PDFRenderQueue.h"

#include "PDFDocument.h"
#include "PDFPage.h"
#include "PDFRenderBands.h"
#include "PlenvoThreadHandOver.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
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
    for (const Running &running : std::as_const(m_running))
        running.cookie->cancel();
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
    for (const Running &running : std::as_const(m_running))
        running.cookie->cancel();
    m_running.clear();
    m_runningJobs = 0;
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
    if (const auto running = m_running.constFind(key); running != m_running.cend() && !running->cookie->isCancelled())
        return;
    m_queue.insert(key, Queued {priority, distance});
    startJobsSoon();
}

void PDFRenderQueue::retain(const QSet<PDFTileKey> &wanted, PDFTileKey::Kind kind)
{
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it.key().kind == kind && !wanted.contains(it.key()))
            it = m_queue.erase(it);
        else
            ++it;
    }
    // A band goes on while any of its tiles is still wanted.
    QSet<const PDFRenderCookie *> needed;
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it) {
        if (it.key().kind != kind || wanted.contains(it.key()))
            needed.insert(it->cookie.get());
    }
    for (const Running &running : std::as_const(m_running)) {
        if (!needed.contains(running.cookie.get()))
            running.cookie->cancel();
    }
}

void PDFRenderQueue::startJobsSoon()
{
    if (std::exchange(m_startPending, true))
        return;
    QMetaObject::invokeMethod(this, &PDFRenderQueue::startJobs, Qt::QueuedConnection);
}

void PDFRenderQueue::startJobs()
{
    m_startPending = false;
    bool visibleRunning
        = std::any_of(m_running.cbegin(), m_running.cend(), [](const Running &r) { return r.priority == Visible; });
    while (m_runningJobs < m_maximumRunning) {
        auto best = m_queue.end();
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (m_running.contains(it.key()))
                continue;
            if (best == m_queue.end()
                || std::pair(it->priority, it->distance) < std::pair(best->priority, best->distance))
                best = it;
        }
        // Previews and thumbnails wait until the view has its tiles.
        if (best == m_queue.end() || (best->priority != Visible && visibleRunning))
            break;
        const int priority = best->priority;
        const PDFTileKey key = best.key(); // the queue's copy goes with the job
        visibleRunning = visibleRunning || priority == Visible;
        for (const QList<PDFTileKey> &job : takeJobs(key))
            launch(job, priority);
    }
}

QList<QList<PDFTileKey>> PDFRenderQueue::takeJobs(const PDFTileKey &key)
{
    const int workers = renderPool()->maxThreadCount();
    QList<PDFTileKey> group;
    if (key.kind == PDFTileKey::Tile && m_queue.value(key).priority == Visible) {
        for (auto it = m_queue.cbegin(); it != m_queue.cend(); ++it) {
            const PDFTileKey &other = it.key();
            if (it->priority == Visible && other.kind == PDFTileKey::Tile && other.page == key.page
                && other.rotation == key.rotation && other.scaleKey == key.scaleKey && !m_running.contains(other))
                group.append(other);
        }
    }
    const PDFPage *page = m_document->page(key.page);
    if (group.size() > workers && page) {
        QList<QList<PDFTileKey>> jobs;
        for (const PDFRenderBands::Band &band : PDFRenderBands::split(group, displaySize(page, key.rotation), workers))
            jobs.append(band.tiles);
        if (!jobs.isEmpty()) {
            for (const PDFTileKey &tile : std::as_const(group))
                m_queue.remove(tile);
            return jobs;
        }
    }
    m_queue.remove(key);
    return {{key}};
}

void PDFRenderQueue::launch(const QList<PDFTileKey> &keys, int priority)
{
    const PDFTileKey &first = keys.first();
    const PDFPage *page = m_document->page(first.page);
    QList<QRect> rects;
    QRect area;
    for (const PDFTileKey &key : keys) {
        rects.append(page ? key.pixelRect(displaySize(page, key.rotation)) : QRect());
        area |= rects.last();
    }
    if (area.isEmpty())
        return;

    auto cookie = std::make_shared<PDFRenderCookie>();
    for (const PDFTileKey &key : keys)
        m_running.insert(key, Running {cookie, priority});
    ++m_runningJobs;
    QPointer<PDFRenderQueue> self(this);
    PlenvoThreadHandOver::start(renderPool(), [self, keys, rects, area, cookie, document = m_document]() mutable {
        markAsBackgroundWork();
        const PDFTileKey &first = keys.first();
        const QImage image = document->renderTile(first.page, first.rotation, first.pixelScale(), area, cookie.get());
        Images images;
        for (int i = 0; i < keys.size(); ++i) {
            // A tile's image is its own copy, so that evicting one tile frees its memory.
            const QRect part = rects[i].translated(-area.topLeft());
            images.append({keys[i], image.isNull() || part == image.rect() ? image : image.copy(part)});
        }
        PlenvoThreadHandOver::post(qApp, [self, images = std::move(images), document = std::move(document)]() {
            if (self)
                self->finished(images);
        });
    });
}

void PDFRenderQueue::finished(const Images &images)
{
    if (images.isEmpty() || images.first().first.document != m_generation)
        return;
    --m_runningJobs;
    for (const auto &[key, image] : images) {
        m_running.remove(key);
        if (!image.isNull()) {
            m_cache.insert(key, image);
            emit imageReady(key);
        }
    }
    startJobs();
}
