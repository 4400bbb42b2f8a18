#pragma once

#include <QDateTime>

// Dates in the stored JSON are seconds (with fraction) since 2001-01-01 00:00:00 UTC.
namespace StoredDate {

// An invalid date gives 0 (the reference date itself).
double toReferenceSeconds(const QDateTime &dateTime);
// UTC, rounded to the millisecond; invalid for NaN, infinities and magnitudes beyond about
// 285,000 years.
QDateTime fromReferenceSeconds(double seconds);

} // namespace StoredDate
