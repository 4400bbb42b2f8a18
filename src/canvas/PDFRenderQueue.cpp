#include "PDFRenderQueue.h"

#include "PDFDocument.h"
#include "PDFInvertedColors.h"
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
#include <cerrno>
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

// How much nicer than the UI thread the render workers are: about a quarter of its CPU weight.
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
        // Relative to the thread that made the worker, so a program started with `nice` keeps
        // its workers below itself and no lower.
        errno = 0;
        const int base = getpriority(PRIO_PROCESS, 0);
        if (errno == 0)
            setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), std::min(19, base + kWorkerNiceness));
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
    m_parts.clear();
    m_pageOutdated.clear();
    const bool replaced = m_document != nullptr;
    m_document = std::move(document);
    ++m_generation;
    m_cache.keepOnlyDocument(m_generation);
    if (replaced)
        returnFreedMemorySoon();
}

void PDFRenderQueue::request(const PDFTileKey &key, int priority, double distance, const QRect &needed)
{
    if (!m_document || key.document != m_generation || m_cache.contains(key))
        return;
    // A running render is left alone unless it was aborted; then it is queued again and
    // starts once the aborted one has returned.
    for (auto running = m_running.constFind(key); running != m_running.cend() && running.key() == key; ++running) {
        if (!running->cookie->isCancelled())
            return;
    }
    m_queue.insert(key, Queued {priority, distance, needed});
    startJobsSoon();
}

void PDFRenderQueue::outdatePages(const QVector<int> &pages)
{
    if (pages.isEmpty())
        return;
    const QSet<int> outdated(pages.cbegin(), pages.cend());
    m_cache.markOutdated(m_generation, outdated);
    ++m_outdatings;
    for (const int page : pages)
        m_pageOutdated.insert(page, m_outdatings);
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it) {
        if (outdated.contains(it.key().page))
            it->cookie->cancel();
    }
    for (auto it = m_parts.begin(); it != m_parts.end();)
        it = outdated.contains(it.key().page) ? m_parts.erase(it) : std::next(it);
    emit imagesOutdated();
}

void PDFRenderQueue::retain(const QSet<PDFTileKey> &wanted, PDFTileKey::Kind kind)
{
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it.key().kind == kind && !wanted.contains(it.key()))
            it = m_queue.erase(it);
        else
            ++it;
    }
    for (auto it = m_parts.begin(); it != m_parts.end();) {
        if (it.key().kind == kind && !wanted.contains(it.key()))
            it = m_parts.erase(it);
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

bool PDFRenderQueue::isRenderingVisible() const
{
    return std::any_of(m_running.cbegin(), m_running.cend(), [](const Running &r) { return r.priority == Visible; });
}

void PDFRenderQueue::startRequested()
{
    if (m_startPending)
        startJobs();
}

void PDFRenderQueue::startJobs()
{
    m_startPending = false;
    bool visibleRunning = isRenderingVisible();
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
        for (const Job &job : takeJobs(key))
            launch(job, priority);
    }
}

QList<PDFRenderQueue::Job> PDFRenderQueue::takeJobs(const PDFTileKey &key)
{
    const PDFPage *page = m_document->page(key.page);
    if (!page) {
        m_queue.remove(key);
        return {};
    }
    const QSizeF size = displaySize(page, key.rotation);
    const auto pixelsOf = [&](const PDFTileKey &tile, const Queued &queued) {
        const QRect whole = tile.pixelRect(size);
        return queued.needed.isEmpty() ? whole : whole & queued.needed;
    };
    const int priority = m_queue.value(key).priority;
    QList<PDFTileKey> group;
    QList<QRect> groupPixels;
    QList<PDFTileKey> nothingToDraw;
    bool viewParts = true; // every tile was asked for what a view shows of it
    if (key.kind == PDFTileKey::Tile) {
        for (auto it = m_queue.cbegin(); it != m_queue.cend(); ++it) {
            const PDFTileKey &other = it.key();
            if (it->priority == priority && other.kind == PDFTileKey::Tile && other.page == key.page
                && other.rotation == key.rotation && other.scaleKey == key.scaleKey && other.inverted == key.inverted
                && !m_running.contains(other)) {
                const QRect pixels = pixelsOf(other, *it);
                (pixels.isEmpty() ? nothingToDraw : group).append(other);
                if (!pixels.isEmpty())
                    groupPixels.append(pixels);
                viewParts = viewParts && !it->needed.isEmpty();
            }
        }
    }
    const int workers = renderPool()->maxThreadCount();
    QList<PDFRenderBands::Band> bands;
    if (viewParts)
        bands = PDFRenderBands::strips(group, groupPixels, workers);
    if (bands.isEmpty() && group.size() > workers)
        bands = PDFRenderBands::split(group, groupPixels, workers);
    QList<Job> jobs;
    for (const PDFRenderBands::Band &band : std::as_const(bands)) {
        Job job {band.tiles, {}, band.pixels, size};
        for (const PDFTileKey &tile : band.tiles)
            job.pixels.append(groupPixels.at(group.indexOf(tile)) & band.pixels);
        jobs.append(job);
    }
    if (jobs.isEmpty()) {
        const QRect pixels = pixelsOf(key, m_queue.value(key));
        jobs.append(Job {{key}, {pixels}, pixels, size});
        group = {key};
    }
    for (const PDFTileKey &tile : std::as_const(group) + nothingToDraw)
        m_queue.remove(tile);
    return jobs;
}

void PDFRenderQueue::launch(const Job &job, int priority)
{
    const QRect area = job.area;
    if (area.isEmpty())
        return;

    auto cookie = std::make_shared<PDFRenderCookie>();
    for (const PDFTileKey &key : job.keys)
        m_running.insert(key, Running {cookie, priority});
    ++m_runningJobs;
    QPointer<PDFRenderQueue> self(this);
    const quint64 started = m_outdatings;
    PlenvoThreadHandOver::start(renderPool(), [self, job, area, cookie, started, document = m_document]() mutable {
        markAsBackgroundWork();
        const PDFTileKey &first = job.keys.first();
        QImage image = document->renderTile(first.page, first.rotation, first.pixelScale(), area, cookie.get());
        // Inverted here, on the worker, in the same pass over memory that just drew the image.
        if (first.inverted)
            PDFInvertedColors::invert(image);
        QList<Result> results;
        for (int i = 0; i < job.keys.size(); ++i) {
            // A whole tile gets an image of its own, so that evicting one tile frees its memory;
            // the parts of a pass, which live only until their tiles arrive, share its image.
            const QRect pixels = job.pixels[i];
            const QRect inImage = pixels.translated(-area.topLeft());
            const bool whole = pixels == job.keys[i].pixelRect(job.size);
            if (!whole || image.isNull() || inImage == image.rect())
                results.append({job.keys[i], image, whole ? pixels : area, whole, cookie.get(), started});
            else
                results.append({job.keys[i], image.copy(inImage), pixels, whole, cookie.get(), started});
        }
        PlenvoThreadHandOver::post(qApp, [self, results = std::move(results), document = std::move(document)]() {
            if (self)
                self->finished(results);
        });
    });
}

void PDFRenderQueue::finished(const QList<Result> &results)
{
    if (results.isEmpty() || results.first().key.document != m_generation)
        return;
    --m_runningJobs;
    for (const Result &result : results) {
        for (auto it = m_running.find(result.key); it != m_running.end() && it.key() == result.key; ++it) {
            if (it->cookie.get() == result.job) {
                m_running.erase(it);
                break;
            }
        }
        if (result.image.isNull() || result.started < m_pageOutdated.value(result.key.page))
            continue;
        if (result.whole) {
            m_parts.remove(result.key);
            m_cache.insert(result.key, result.image);
        } else if (!m_cache.contains(result.key)) {
            m_parts[result.key].append(Part {result.image, result.pixels});
        }
        emit imageReady(result.key);
    }
    startJobs();
}
