#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// File URLs and paths as the viewer uses them. A path on Linux is a byte string that need
// not be valid UTF-8, so the exact bytes travel percent-encoded inside the URL and are
// taken out again with nativePath(); QString paths are for keys and display only.
namespace PDFFileURL {

// A file URL for the exact bytes of an absolute path.
QUrl fromNativePath(const QByteArray &path);
// A file URL for a command-line argument: either a URL ("file:///…", others returned as
// they are, so the caller can reject them) or a path, made absolute against `workingDirectory`.
QUrl fromArgument(const QByteArray &argument, const QByteArray &workingDirectory);

// The exact path bytes of a file URL; empty when `url` is not a local file URL.
QByteArray nativePath(const QUrl &url);

// Absolute, with "." and ".." components and repeated slashes removed lexically (no symlink
// resolution). Non-file URLs are returned unchanged.
QUrl standardized(const QUrl &url);
// The standardised path as text: the key of the recent list and the reading ledger.
QString standardizedPath(const QUrl &url);
// The same for a stored path string.
QString standardizedPath(const QString &path);

// The last path component; its extension (after the last dot, without it; empty if none);
// and the component with that extension removed ("A-101 总平面.pdf" → "A-101 总平面").
QString lastPathComponent(const QUrl &url);
QString pathExtension(const QUrl &url);
QString displayName(const QUrl &url);

bool isPDFFileURL(const QUrl &url); // a file URL whose extension is "pdf" in any case

} // namespace PDFFileURL
