#pragma once

#include "RecentPDFDocument.h"

#include <QUrl>

// The update rule of the recent list.
namespace RecentPDFPolicy {

// `url` goes to the front with `openedAt`; every other entry naming the same standardised
// path is dropped; the result is cut to max(maximumCount, 0) entries. When no bookmark is
// given, the first matching entry's bookmark is kept. A non-file URL leaves the list as is.
QList<RecentPDFDocument> updating(const QList<RecentPDFDocument> &documents, const QUrl &url,
    const std::optional<QByteArray> &bookmarkData, const QDateTime &openedAt, int maximumCount);

} // namespace RecentPDFPolicy
