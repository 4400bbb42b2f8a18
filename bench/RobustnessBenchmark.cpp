#include "RobustnessBenchmark.h"

#include "BenchSupport.h"
#include "BlueprintPDFView.h"
#include "HostilePDFs.h"
#include "PDFCanvasProbe.h"
#include "PDFRenderQueue.h"
#include "PDFViewerModel.h"
#include "PDFViewerPlatformServices.h"
#include "PDFViewerRootView.h"
#include "PDFViewerShortcutStore.h"
#include "TestPDFs.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

// A desktop that never asks anything.
class QuietDesktop : public PDFViewerPlatformServices {
public:
    void beep() override { }
    std::optional<QUrl> choosePDFFile(const QString &, const QUrl &) override { return std::nullopt; }
    void noteRecentDocument(const QUrl &) override { }
    bool startAccessing(const QUrl &) override { return true; }
    void stopAccessing(const QUrl &) override { }
    bool isApplicationActive() override { return true; }
    bool isKeyWindow(QWidget *) override { return true; }
    bool isFullScreen(QWidget *) override { return false; }
    void toggleFullScreen(QWidget *) override { }
};

// The longest time the event loop went without turning while it ran, in milliseconds. A
// precise 1 ms timer ticks at every turn; a gap between two ticks is time the window could not
// answer the user. Includes the time of a command run synchronously while it watches.
class StallWatch {
public:
    StallWatch()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { lap(); });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_tick.start();
    }
    // Counts the time since the last tick as a stall now (after a synchronous command).
    void lap()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, (now - m_last) / 1.0e6);
        m_last = now;
    }
    double longestMs() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_longest = 0;
};

double currentRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double round1(double value)
{
    return std::round(value * 10) / 10;
}

// The application's window content over a model and a store in a scratch folder.
struct Viewer {
    Viewer()
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        , shortcuts(&settings, PDFViewerShortcutStore::defaultStorageKey())
        , model(std::make_unique<PDFViewerModel>(&settings, &desktop))
    {
        window.setCentralWidget(new PDFViewerRootView(model.get(), &shortcuts));
        window.resize(1600, 1000);
        window.show();
        BenchSupport::runEventLoopFor(200);
    }
    ~Viewer()
    {
        delete window.takeCentralWidget();
        model.reset();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    // Until the canvas shows its view sharp and nothing renders, or `ms` have passed.
    void settle(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        BenchSupport::runEventLoopUntil([&] {
            const PDFCanvasProbe probe(*model->pdfView());
            const bool idle = probe.isViewSharp() && probe.isRenderIdle();
            return idle || clock.elapsed() > ms;
        });
    }

    QTemporaryDir dir;
    QSettings settings;
    QuietDesktop desktop;
    PDFViewerShortcutStore shortcuts;
    std::unique_ptr<PDFViewerModel> model;
    QMainWindow window;
};

QJsonObject hostile()
{
    QJsonArray files;
    double worstStall = 0;
    Viewer viewer;
    TestPDFs::writePlain(viewer.path(QStringLiteral("plain.pdf")), 2);
    for (const HostilePDFs::Case &c : HostilePDFs::cases()) {
        const QString path = viewer.path(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
        HostilePDFs::write(path, c.bytes());
        BenchSupport::resetPeakRss();
        StallWatch watch;
        watch.start();
        QElapsedTimer clock;
        clock.start();
        viewer.model->open(QUrl::fromLocalFile(path));
        const double openMs = clock.nsecsElapsed() / 1.0e6;
        watch.lap();
        // Drawn fitted, then at the largest scale, for two seconds each at most.
        viewer.settle(2000);
        for (int i = 0; i < 40; ++i)
            viewer.model->zoomIn();
        viewer.settle(2000);
        // Replaced while it may still be rendering.
        clock.restart();
        viewer.model->open(QUrl::fromLocalFile(viewer.path(QStringLiteral("plain.pdf"))));
        const double replaceMs = clock.nsecsElapsed() / 1.0e6;
        watch.lap();
        viewer.settle(1000);
        QJsonObject file;
        file.insert(QStringLiteral("name"), QString::fromLatin1(c.name));
        file.insert(QStringLiteral("opened"), viewer.model->pageCount() > 0);
        file.insert(QStringLiteral("open_ms"), round1(openMs));
        file.insert(QStringLiteral("replace_ms"), round1(replaceMs));
        file.insert(QStringLiteral("longest_stall_ms"), round1(watch.longestMs()));
        file.insert(QStringLiteral("peak_rss_mb"), round1(BenchSupport::peakRssMb()));
        files.append(file);
        worstStall = std::max(worstStall, watch.longestMs());
    }
    return {{QStringLiteral("hostile"), files}, {QStringLiteral("hostile_worst_stall_ms"), round1(worstStall)}};
}

QJsonObject pages()
{
    Viewer viewer;
    const QString path = viewer.path(QStringLiteral("pages.pdf"));
    HostilePDFs::write(path, HostilePDFs::manyPages(10000));
    BenchSupport::resetPeakRss();
    const double before = currentRssMb();
    StallWatch watch;
    watch.start();
    QElapsedTimer clock;
    clock.start();
    viewer.model->open(QUrl::fromLocalFile(path));
    watch.lap();
    // Answering again: the first turn of the event loop after the open.
    BenchSupport::runEventLoopFor(1);
    const double responsiveMs = clock.nsecsElapsed() / 1.0e6;
    viewer.settle(10000);
    const double sharpMs = clock.nsecsElapsed() / 1.0e6;
    // Then paging through with the keys' command, and a jump to the end.
    for (int i = 0; i < 20; ++i) {
        viewer.model->viewport()->goToNextPage();
        BenchSupport::runEventLoopFor(20);
    }
    viewer.model->goToPage(10000);
    viewer.settle(5000);
    return {
        {QStringLiteral("pages_count"), viewer.model->pageCount()},
        {QStringLiteral("pages_responsive_ms"), round1(responsiveMs)},
        {QStringLiteral("pages_sharp_ms"), round1(sharpMs)},
        {QStringLiteral("pages_longest_stall_ms"), round1(watch.longestMs())},
        {QStringLiteral("pages_rss_before_mb"), round1(before)},
        {QStringLiteral("pages_peak_rss_mb"), round1(BenchSupport::peakRssMb())},
    };
}

QJsonObject opens(const QString &samplePath)
{
    Viewer viewer;
    QStringList files = {samplePath};
    for (int i = 0; i < 2; ++i) {
        const QString path = viewer.path(QStringLiteral("plain-%1.pdf").arg(i));
        TestPDFs::writePlain(path, 3 + i, QSizeF(1684, 1191));
        files.append(path);
    }
    // Read once the replaced document has been freed and its memory given back, which the
    // viewer does a moment after a switch.
    const auto settledRssMb = [&viewer] {
        BenchSupport::runEventLoopFor(1500);
        QThreadPool::globalInstance()->waitForDone();
        return round1(currentRssMb());
    };
    QJsonObject result;
    for (int open = 1; open <= 100; ++open) {
        viewer.model->open(QUrl::fromLocalFile(files[open % files.size()]));
        viewer.settle(3000);
        if (open == 10)
            result.insert(QStringLiteral("opens_rss_after_10_mb"), settledRssMb());
    }
    result.insert(QStringLiteral("opens_rss_after_100_mb"), settledRssMb());
    return result;
}

} // namespace

QJsonObject runRobustnessBenchmark(const QString &which, const QString &samplePath)
{
    if (which == QLatin1String("hostile"))
        return hostile();
    if (which == QLatin1String("pages"))
        return pages();
    if (which == QLatin1String("opens"))
        return opens(samplePath);
    return {};
}
