#include "StoredDate.h"

#include <cmath>

namespace {

// 2001-01-01 00:00:00 UTC in milliseconds since the Unix epoch.
constexpr qint64 referenceEpochMSecs = 978307200000LL;
// About ±285,000 years; keeps the millisecond count well inside qint64 and exact in a double.
constexpr double maximumReferenceSeconds = 9.0e12;

} // namespace

namespace StoredDate {

// An invalid date is stored as the reference date itself.
double toReferenceSeconds(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    return static_cast<double>(dateTime.toMSecsSinceEpoch() - referenceEpochMSecs) / 1000.0;
}

// Rounded to the millisecond; an invalid QDateTime for NaN, infinities and absurd magnitudes.
QDateTime fromReferenceSeconds(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > maximumReferenceSeconds)
        return {};
    const qint64 msecs = std::llround(seconds * 1000.0) + referenceEpochMSecs;
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

} // namespace StoredDate
