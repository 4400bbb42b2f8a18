#include "PDFFileURL.h"

#include <QList>

#include <cstdlib>
#include <unistd.h>

namespace {

QByteArray currentDirectory()
{
    char *buffer = ::getcwd(nullptr, 0); // glibc allocates; freed below
    if (!buffer)
        return QByteArrayLiteral("/");
    QByteArray directory(buffer);
    std::free(buffer);
    return directory;
}

// Lexical only: no file system access apart from the working directory for relative input.
QByteArray lexicallyStandardized(const QByteArray &path)
{
    const QByteArray absolute = path.startsWith('/') ? path : currentDirectory() + '/' + path;
    QList<QByteArray> kept;
    for (const QByteArray &component : absolute.split('/')) {
        if (component.isEmpty() || component == ".")
            continue;
        if (component == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(component);
    }
    return '/' + kept.join('/');
}

bool isLocalHost(const QString &host)
{
    return host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

// A URL scheme (RFC 3986) followed by "://", or any "file:" prefix. A relative path such as
// "a:b.pdf" therefore stays a path.
bool looksLikeURL(const QByteArray &argument)
{
    if (argument.size() >= 5 && argument.left(5).toLower() == "file:")
        return true;
    const qsizetype separator = argument.indexOf("://");
    if (separator < 2)
        return false;
    for (qsizetype i = 0; i < separator; ++i) {
        const char c = argument.at(i);
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(i > 0 && (digit || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

// Raw bytes a shell may hand us inside a URL (spaces, UTF-8 or other 8-bit text) are
// percent-encoded so the URL parser sees the exact bytes instead of decoding them as text.
QByteArray encodeRawBytes(const QByteArray &url)
{
    QByteArray encoded;
    encoded.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f) {
            encoded += '%';
            encoded += QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        } else {
            encoded += c;
        }
    }
    return encoded;
}

QByteArray decodedURLPath(const QUrl &url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

const QString encodedPathPrefix = QStringLiteral("file:");

// `path` is absolute and standardised. Valid UTF-8 is exactly what survives the round trip
// through QString; anything else (stray bytes, overlong forms, encoded surrogates) is
// stored as a URL, whose text is ASCII.
QString storedPathOf(const QByteArray &path)
{
    const QString text = QString::fromUtf8(path);
    if (text.toUtf8() == path)
        return text;
    return QString::fromLatin1(PDFFileURL::fromNativePath(path).toEncoded());
}

} // namespace

namespace PDFFileURL {

// Characters QUrl itself keeps unencoded in a path stay unencoded, so that for UTF-8 paths
// the result equals QUrl::fromLocalFile and URLs from either source compare equal.
QUrl fromNativePath(const QByteArray &path)
{
    if (path.isEmpty())
        return {};
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/!$&'()*+,;=:@[]"), QUrl::StrictMode);
}

QUrl fromArgument(const QByteArray &argument, const QByteArray &workingDirectory)
{
    if (argument.isEmpty())
        return {};
    if (looksLikeURL(argument)) {
        QUrl url = QUrl::fromEncoded(encodeRawBytes(argument), QUrl::TolerantMode);
        if (url.isLocalFile() && isLocalHost(url.host()))
            url.setHost(QString());
        return url;
    }
    if (argument.startsWith('/'))
        return fromNativePath(argument);
    return fromNativePath(workingDirectory + '/' + argument);
}

QByteArray nativePath(const QUrl &url)
{
    if (!url.isLocalFile() || !isLocalHost(url.host()))
        return {};
    return decodedURLPath(url);
}

QUrl standardized(const QUrl &url)
{
    const QByteArray path = nativePath(url);
    if (path.isEmpty())
        return url;
    return fromNativePath(lexicallyStandardized(path));
}

QString standardizedPath(const QUrl &url)
{
    const QByteArray path = nativePath(url);
    if (path.isEmpty())
        return {};
    return storedPathOf(lexicallyStandardized(path));
}

QString standardizedPath(const QString &storedPath)
{
    const QByteArray path = nativePathOfStoredPath(storedPath);
    return path.isEmpty() ? QString() : storedPathOf(path);
}

QByteArray nativePathOfStoredPath(const QString &storedPath)
{
    if (storedPath.isEmpty())
        return {};
    if (storedPath.startsWith(encodedPathPrefix)) {
        const QByteArray path = nativePath(QUrl::fromEncoded(storedPath.toLatin1(), QUrl::StrictMode));
        return path.isEmpty() ? QByteArray() : lexicallyStandardized(path);
    }
    return lexicallyStandardized(storedPath.toUtf8());
}

QString lastPathComponent(const QUrl &url)
{
    QByteArray path = decodedURLPath(url);
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1));
}

// A leading dot (".profile") or a trailing one ("x.") does not start an extension.
QString pathExtension(const QUrl &url)
{
    const QString name = lastPathComponent(url);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return {};
    return name.mid(dot + 1);
}

QString displayName(const QUrl &url)
{
    const QString name = lastPathComponent(url);
    const QString extension = pathExtension(url);
    if (extension.isEmpty())
        return name;
    return name.left(name.size() - extension.size() - 1);
}

bool isPDFFileURL(const QUrl &url)
{
    return !nativePath(url).isEmpty() && pathExtension(url).compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

} // namespace PDFFileURL
