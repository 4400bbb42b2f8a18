#include "RecentPDFPolicy.h"

#include "PDFFileURL.h"

#include <algorithm>

namespace RecentPDFPolicy {

QList<RecentPDFDocument> updating(const QList<RecentPDFDocument> &documents, const QUrl &url,
    const std::optional<QByteArray> &bookmarkData, const QDateTime &openedAt, int maximumCount)
{
    const QUrl standardized = PDFFileURL::standardized(url);
    const QString key = PDFFileURL::standardizedPath(standardized);
    if (key.isEmpty())
        return documents;

    std::optional<QByteArray> previousBookmark;
    bool matched = false;
    QList<RecentPDFDocument> others;
    for (const RecentPDFDocument &document : documents) {
        if (PDFFileURL::standardizedPath(document.path) != key) {
            others.append(document);
        } else if (!matched) {
            matched = true;
            previousBookmark = document.bookmarkData;
        }
    }

    RecentPDFDocument entry;
    entry.path = key;
    entry.displayName = PDFFileURL::displayName(standardized);
    entry.openedAt = openedAt;
    entry.bookmarkData = bookmarkData ? bookmarkData : previousBookmark;

    QList<RecentPDFDocument> result;
    result.reserve(others.size() + 1);
    result.append(std::move(entry));
    result.append(others);
    const qsizetype limit = std::max(maximumCount, 0);
    if (result.size() > limit)
        result.resize(limit);
    return result;
}

} // namespace RecentPDFPolicy
