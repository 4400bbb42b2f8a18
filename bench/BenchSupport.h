#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QString>

#include <functional>

namespace BenchSupport {

// Milliseconds of the fastest of `runs` calls of `work` (the minimum is the least noisy
// figure on a shared machine).
double bestOfMs(int runs, const std::function<void()> &work);
// Peak resident set size of this process so far, in MiB (VmHWM).
double peakRssMb();
// Resets the peak so a later peakRssMb() covers only what follows (clear_refs 5).
void resetPeakRss();
// Runs the event loop, sleeping while there is nothing to do, until `done` holds; `done` is
// checked after every batch of events and at least every 20 ms. Unlike processEvents() with
// a time limit, which polls without sleeping, this leaves the CPU to the render workers, as
// the application's own event loop does.
void runEventLoopUntil(const std::function<bool()> &done);
// Runs the event loop, sleeping while idle, for `ms` milliseconds.
void runEventLoopFor(int ms);
// a / b rounded to two decimals; 0 when b is 0.
double ratio(double a, double b);

} // namespace BenchSupport
