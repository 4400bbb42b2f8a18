// A PDF file opened and shown as the viewer shows it: opened by path (an anonymous file in
// memory), every page measured, the first page drawn whole at a small scale and one tile of
// it at 8× through the display-list path of the canvas (again with a layer hidden, when it has
// layers), its links read, and the document searched by the find worker.
//
// Time: every render and the find run under a budget enforced with the engine's own
// cancellation, as the canvas cancels tiles it no longer wants; a step that overruns its
// budget by far could not be cancelled and shows up as a fuzzer timeout.

#include "PDFDocument.h"
#include "PDFPage.h"
#include "PDFTileKey.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThreadPool>
#include <QTimer>

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kRenderBudget {1000};
constexpr int kFindBudgetMs = 1000;
constexpr double kPreviewScale = 0.1; // device pixels per point
constexpr double kZoomScale = 8.0;

// One thread that cancels the render cookie it was handed once its deadline passes.
class RenderWatchdog {
public:
    RenderWatchdog()
        : m_thread([this] { run(); })
    {
    }
    ~RenderWatchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // `cookie` must outlive the matching disarm().
    void arm(PDFRenderCookie *cookie, Clock::duration budget)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cookie = cookie;
        m_deadline = Clock::now() + budget;
        m_changed.notify_all();
    }
    void disarm()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cookie = nullptr;
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stopping) {
            if (!m_cookie) {
                m_changed.wait(lock);
            } else if (Clock::now() >= m_deadline) {
                m_cookie->cancel();
                m_cookie = nullptr;
            } else {
                m_changed.wait_until(lock, m_deadline);
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    PDFRenderCookie *m_cookie = nullptr;
    Clock::time_point m_deadline;
    bool m_stopping = false;
    std::thread m_thread;
};

RenderWatchdog *watchdog;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Renders one image of the canvas's kind through the same key arithmetic the canvas uses.
void render(const PDFDocument &document, const PDFPage &page, PDFTileKey key)
{
    const QSizeF displaySize = page.displaySize();
    const QRect rect = key.pixelRect(displaySize);
    if (rect.isEmpty())
        return;
    PDFRenderCookie cookie;
    PDFError error;
    watchdog->arm(&cookie, kRenderBudget);
    const QImage image = document.renderTile(key.page, key.rotation, key.pixelScale(), rect, &cookie, &error);
    watchdog->disarm();
    // An image is either of the size asked for, or missing with the reason why.
    check(image.isNull() ? error.isError() : image.size() == rect.size());
}

void find(PDFDocument *document, const QString &query)
{
    QEventLoop loop;
    QObject::connect(document, &PDFDocument::didEndFind, &loop, &QEventLoop::quit);
    QObject::connect(
        document, &PDFDocument::didFindMatch, document, [document](PDFDocument *, const PDFSelection &selection) {
            check(selection.pageIndex >= 0 && selection.pageIndex < document->pageCount());
            check(!selection.rects.isEmpty() && !selection.string.isEmpty());
        });
    QTimer budget;
    budget.setSingleShot(true);
    QObject::connect(&budget, &QTimer::timeout, &loop, &QEventLoop::quit);
    budget.start(kFindBudgetMs);
    document->beginFindString(query);
    loop.exec();
    document->cancelFindString();
    // Whatever the find left queued is freed within this execution, as leak checks expect.
    QCoreApplication::sendPostedEvents();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    watchdog = new RenderWatchdog;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int fd = ::memfd_create("plenvo-fuzz.pdf", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    for (size_t written = 0; written < size;) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0)
            std::abort();
        written += size_t(n);
    }
    // A closed document is freed on a worker; each execution waits for that, as leak checks
    // expect its memory back when it returns.
    struct WaitForWorkers {
        ~WaitForWorkers() { QThreadPool::globalInstance()->waitForDone(); }
    } waitForWorkers;
    PDFError error;
    std::shared_ptr<PDFDocument> document = PDFDocument::open("/proc/self/fd/" + QByteArray::number(fd), &error);
    ::close(fd);
    if (!document) {
        check(error.kind == PDFErrorKind::CannotOpen);
        return 0;
    }
    check(document->isLocked() == (error.kind == PDFErrorKind::NeedsPassword));

    // The canvas lays pages out and sizes their images from these values.
    for (int i = 0; i < document->pageCount(); ++i) {
        const QSizeF pageSize = document->page(i)->pageSize();
        check(std::isfinite(pageSize.width()) && std::isfinite(pageSize.height()));
        check(pageSize.width() > 0 && pageSize.height() > 0);
        check(pageSize.width() <= PDFPage::maximumSide && pageSize.height() <= PDFPage::maximumSide);
    }
    PDFPage *first = document->page(0);
    if (!first)
        return 0;

    PDFTileKey preview;
    preview.page = 0;
    preview.rotation = first->rotation();
    preview.scaleKey = PDFTileKey::scaleKeyFor(kPreviewScale);
    preview.kind = PDFTileKey::Preview;
    render(*document, *first, preview);

    // A tile in the middle of the page at a quarter turn more than the file's own.
    first->setRotation(first->rotation() + 90);
    PDFTileKey tile;
    tile.page = 0;
    tile.rotation = first->rotation();
    tile.scaleKey = PDFTileKey::scaleKeyFor(kZoomScale);
    const QSizeF zoomed = first->displaySize() * kZoomScale;
    tile.column = int(zoomed.width() / 2 / PDFTileKey::tileSize);
    tile.row = int(zoomed.height() / 2 / PDFTileKey::tileSize);
    render(*document, *first, tile);

    // The tile again with the first layer that can change hidden, through the layer filter,
    // or recorded again.
    const PDFLayerList layers = document->layers();
    for (int row = 0; row < layers.size(); ++row) {
        if (layers[row].kind != PDFLayer::Kind::Label && !layers[row].locked && layers[row].visible) {
            for (const int page : document->setLayerVisible(row, false))
                check(page >= 0 && page < document->pageCount());
            check(!document->layers()[row].visible);
            render(*document, *first, tile);
            break;
        }
    }

    for (const PDFLink &link : document->links(0)) {
        check((link.destinationPage >= 0) == link.uri.isEmpty());
        check(link.destinationPage < document->pageCount());
    }

    find(document.get(), QStringLiteral("page 1"));
    return 0;
}
