#pragma once

#include <QDateTime>

// Dates in the stored JSON are seconds (with fraction) since 2001-01-01 00:00:00 UTC.
namespace StoredDate {

double toReferenceSeconds(const QDateTime &dateTime);
QDateTime fromReferenceSeconds(double seconds);

} // namespace StoredDate
