#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// File URLs and paths as the viewer uses them. A path on Linux is a byte string that need
// not be valid UTF-8, so the exact bytes travel percent-encoded inside the URL and are
// taken out again with nativePath(); QString paths are for keys and display only.
namespace PDFFileURL {

// A file URL for the exact bytes of an absolute path; for a UTF-8 path it equals
// QUrl::fromLocalFile of the same path. Empty input gives an empty URL.
QUrl fromNativePath(const QByteArray &path);
// A file URL for a command-line argument: either a URL ("file:…" with host empty or
// "localhost", which is dropped; any other "scheme://…" returned as it is, so the caller can
// reject it) or a path, made absolute against `workingDirectory` but not standardised.
// Raw bytes inside a "file:" argument are kept exactly.
QUrl fromArgument(const QByteArray &argument, const QByteArray &workingDirectory);

// The exact path bytes of a file URL; empty when `url` is not a file URL on this host.
QByteArray nativePath(const QUrl &url);

// Absolute, with "." and ".." components, repeated and trailing slashes removed lexically
// (no symlink resolution); a relative path is taken against the process's working directory.
// Query and fragment are dropped. Non-file URLs are returned unchanged.
QUrl standardized(const QUrl &url);
// The standardised path as a stored path: the key of the recent list and the reading ledger,
// one key per path and one path per key. A path whose bytes are valid UTF-8 is stored as
// itself ("/图纸/A-101.pdf"), as every earlier build stored it; any other path as its file URL
// with every byte outside printable ASCII percent-encoded ("file:///%E5%9B%BE/%FF.pdf"). A
// plain stored path starts with '/', an encoded one with "file:", so they never meet. Empty
// for non-file URLs.
QString standardizedPath(const QUrl &url);
// The same for a stored path in either form; any other text is taken as a UTF-8 path.
QString standardizedPath(const QString &storedPath);
// The exact, standardised path bytes a stored path names; empty for an empty one.
QByteArray nativePathOfStoredPath(const QString &storedPath);

// The last path component; its extension (after the last dot, without it; empty if none);
// and the component with that extension removed ("A-101 总平面.pdf" → "A-101 总平面").
// A leading dot (".pdf") or a trailing one ("x.") starts no extension.
QString lastPathComponent(const QUrl &url);
QString pathExtension(const QUrl &url);
QString displayName(const QUrl &url);

bool isPDFFileURL(const QUrl &url); // a file URL whose extension is "pdf" in any case

} // namespace PDFFileURL
