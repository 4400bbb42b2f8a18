#include "RecentlyUsedRegistry.h"

#include "PDFFileURL.h"
#include "RecentlyUsedXbelRewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace {

// Layout of a file we create; the same copy path then adds our bookmark to it.
const QByteArray emptyRegistry
    = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<xbel version=\"1.0\""
                        " xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\""
                        " xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                        "</xbel>\n");

} // namespace

RecentlyUsedRegistry::RecentlyUsedRegistry(QString xbelPath, QString applicationName, QString applicationExec)
    : m_path(std::move(xbelPath))
    , m_applicationName(std::move(applicationName))
    , m_applicationExec(std::move(applicationExec))
{
}

std::optional<QByteArray> RecentlyUsedRegistry::rewritten(
    const QByteArray &xbel, const QUrl &fileURL, const QDateTime &now) const
{
    const QUrl url = PDFFileURL::standardized(fileURL);
    RecentlyUsedXbelRewrite::Entry entry;
    entry.nativePath = PDFFileURL::nativePath(url);
    if (entry.nativePath.isEmpty())
        return std::nullopt;
    entry.href = QString::fromLatin1(url.toEncoded());
    entry.stamp = now.toUTC().toString(Qt::ISODate);
    entry.applicationName = m_applicationName;
    entry.applicationExec = QLatin1Char('\'') + m_applicationExec + QLatin1Char('\'');
    return RecentlyUsedXbelRewrite::apply(xbel, entry);
}

bool RecentlyUsedRegistry::noteRecentDocument(const QUrl &fileURL, const QDateTime &now) const
{
    if (PDFFileURL::nativePath(PDFFileURL::standardized(fileURL)).isEmpty() || m_path.isEmpty())
        return false;

    QByteArray input = emptyRegistry;
    const QFileInfo info(m_path);
    if (info.exists() || info.isSymLink()) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        input = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
    }

    const std::optional<QByteArray> output = rewritten(input, fileURL, now);
    if (!output)
        return false;

    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() ignores a flush that fails while closing (Qt 6.4), so a write cut short at the
    // end, as on a full disk, would replace the file with its first part; flushing first
    // reports it.
    if (file.write(*output) != output->size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString RecentlyUsedRegistry::defaultPath()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/recently-used.xbel");
}
