#pragma once

#include <QString>
#include <QUrl>

// The desktop's shared list of recently used files (freedesktop recently-used.xbel), which
// file managers and other programs read and write too. Our entry is added or refreshed;
// every other program's entry is kept as it was.
class RecentlyUsedRegistry {
public:
    // `xbelPath` defaults to $XDG_DATA_HOME/recently-used.xbel.
    explicit RecentlyUsedRegistry(QString xbelPath = defaultPath(),
                                  QString applicationName = QStringLiteral("Plenvo"),
                                  QString applicationExec = QStringLiteral("plenvo %u"));

    // Adds `fileURL` (MIME application/pdf) or refreshes its modified/visited times and our
    // application's count. A file that exists but cannot be read or parsed is left untouched
    // and false is returned; the write is atomic.
    bool noteRecentDocument(const QUrl &fileURL) const;

    QString path() const { return m_path; }
    static QString defaultPath();

private:
    QString m_path;
    QString m_applicationName;
    QString m_applicationExec;
};
