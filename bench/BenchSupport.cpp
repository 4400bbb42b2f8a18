#include "BenchSupport.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

#include <malloc.h>

namespace BenchSupport {

double bestOfMs(int runs, const std::function<void()> &work)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1.0e6);
    }
    return best;
}

double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void resetPeakRss()
{
    // Heap the process freed earlier (the peer engines' documents) would otherwise stay
    // resident and count towards the next peak.
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void runEventLoopUntil(const std::function<bool()> &done)
{
    if (done())
        return;
    QEventLoop loop;
    // Checked whenever the loop has handled what was pending and is about to sleep.
    const auto check = [&]() {
        if (done())
            loop.quit();
    };
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, check,
        Qt::DirectConnection);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start(20);
    loop.exec();
}

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double ratio(double a, double b)
{
    return b == 0 ? 0 : std::round(a / b * 100.0) / 100.0;
}

} // namespace BenchSupport
