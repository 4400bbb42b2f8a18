#pragma once

#include <QByteArray>
#include <QUrl>

#include <optional>

// Where a bookmark resolved to.
struct PDFBookmarkResolution {
    QUrl url; // standardised file URL
    bool isStale = false; // the file is no longer at the recorded path

    bool operator==(const PDFBookmarkResolution &other) const { return url == other.url && isStale == other.isStale; }
};

// A small record that finds a file again after it was renamed within its folder: the exact
// path bytes plus the device and inode numbers seen when the bookmark was made. Both calls
// touch the file system (resolve() may read a whole folder) and are safe on any thread.
namespace PDFFileBookmark {

// nullopt when the file cannot be stat'ed.
std::optional<QByteArray> create(const QUrl &fileURL);

// 1. the recorded path still names the same device and inode → that path, not stale;
// 2. otherwise the recorded folder holds an entry with that device and inode → it, stale;
// 3. otherwise nullopt (the caller falls back to the stored path).
// Malformed data resolves to nullopt.
std::optional<PDFBookmarkResolution> resolve(const QByteArray &bookmarkData);

} // namespace PDFFileBookmark
