#include "PDFRecentDocumentList.h"

#include "PDFFileBookmark.h"
#include "PDFFileURL.h"
#include "RecentPDFPolicy.h"

#include <QDateTime>
#include <QDir>
#include <QSettings>

#include <sys/stat.h>

namespace {

const QString kRecentDocumentsKey = QStringLiteral("recentDocumentsV1");

bool isFolder(const QByteArray &nativePath)
{
    struct stat info;
    return !nativePath.isEmpty() && ::stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder part of an absolute path; empty for a path without a slash.
QByteArray parentFolder(const QByteArray &nativePath)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArrayLiteral("/") : nativePath.left(slash);
}

} // namespace

PDFRecentDocumentList::PDFRecentDocumentList(QSettings *defaults)
    : m_defaults(defaults)
{
    const QByteArray data = m_defaults->value(kRecentDocumentsKey).toByteArray();
    m_entries = RecentPDFDocument::decodeList(data).value_or(QList<RecentPDFDocument> {}).mid(0, maximumCount);
}

void PDFRecentDocumentList::noteOpened(const QUrl &fileURL)
{
    m_entries = RecentPDFPolicy::updating(
        m_entries, fileURL, PDFFileBookmark::create(fileURL), QDateTime::currentDateTimeUtc(), maximumCount);
    save();
}

bool PDFRecentDocumentList::forget(const QString &path)
{
    const qsizetype dropped
        = m_entries.removeIf([&path](const RecentPDFDocument &entry) { return entry.path == path; });
    save();
    return dropped > 0;
}

void PDFRecentDocumentList::save()
{
    m_defaults->setValue(kRecentDocumentsKey, RecentPDFDocument::encodeList(m_entries));
    m_defaults->sync();
}

QUrl PDFRecentDocumentList::dialogFolder(const QUrl &openFile) const
{
    // The open document is normally the first entry too, but its folder comes first whatever
    // the list holds.
    QList<QByteArray> folders;
    if (!openFile.isEmpty())
        folders.append(parentFolder(PDFFileURL::nativePath(openFile)));
    for (const RecentPDFDocument &entry : m_entries)
        folders.append(parentFolder(PDFFileURL::nativePathOfStoredPath(entry.path)));
    for (const QByteArray &folder : std::as_const(folders)) {
        if (isFolder(folder))
            return PDFFileURL::fromNativePath(folder);
    }
    return QUrl::fromLocalFile(QDir::homePath());
}
