#pragma once

#include "RecentPDFDocument.h"

#include <QList>
#include <QString>
#include <QUrl>

class QSettings;

// The recent list as the settings store holds it: at most maximumCount entries, most recent
// first, written the moment it changes. An unreadable stored list reads as empty.
class PDFRecentDocumentList {
public:
    static constexpr int maximumCount = 10;

    // Reads the stored list; `defaults` must outlive the list.
    explicit PDFRecentDocumentList(QSettings *defaults);

    const QList<RecentPDFDocument> &entries() const { return m_entries; }
    // `fileURL` (standardised) was opened now: it goes to the front with a fresh bookmark.
    void noteOpened(const QUrl &fileURL);
    // Drops every entry with the standardised path `path`; true when one was dropped.
    bool forget(const QString &path);
    // Where the open dialog starts: the folder of `openFile` (empty when none is open), else
    // that of the most recent entry whose folder still exists, else the home folder.
    QUrl dialogFolder(const QUrl &openFile) const;

private:
    void save();

    QSettings *m_defaults;
    QList<RecentPDFDocument> m_entries;
};
