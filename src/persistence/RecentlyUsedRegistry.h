#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

// The desktop's shared list of recently used files (freedesktop recently-used.xbel), which
// file managers and other programs read and write too. Our entry is added or refreshed;
// every other program's entry — elements, attributes, namespace declarations, comments and
// layout — is copied through unchanged.
//
// Not thread-safe against itself for the same file; another process writing between our read
// and our atomic replace loses its change (the format offers no lock).
class RecentlyUsedRegistry {
public:
    // `xbelPath` defaults to $XDG_DATA_HOME/recently-used.xbel. `applicationExec` is stored
    // single-quoted, as the desktop's own writers do.
    explicit RecentlyUsedRegistry(QString xbelPath = defaultPath(), QString applicationName = QStringLiteral("Plenvo"),
        QString applicationExec = QStringLiteral("plenvo %u"));

    // Adds `fileURL` (MIME application/pdf) or refreshes its modified/visited times and our
    // application's modified time and count; the entry is matched on the standardised path,
    // however its href is percent-encoded. A missing file (and folder) is created. A file
    // that exists but cannot be read, is not well-formed XML or has no <xbel> root is left
    // untouched and false is returned; so is a non-file URL. The write is atomic.
    bool noteRecentDocument(const QUrl &fileURL, const QDateTime &now = QDateTime::currentDateTimeUtc()) const;

    // The bytes of a registry file with the entry for `fileURL` added or refreshed, as
    // noteRecentDocument() writes them; nullopt when `xbel` is not well-formed XML with an
    // <xbel> root, or `fileURL` is not a file URL.
    std::optional<QByteArray> rewritten(const QByteArray &xbel, const QUrl &fileURL, const QDateTime &now) const;

    QString path() const { return m_path; }
    // $XDG_DATA_HOME (when set and absolute, else ~/.local/share) + "/recently-used.xbel".
    static QString defaultPath();

private:
    QString m_path;
    QString m_applicationName;
    QString m_applicationExec;
};
