#include "PDFFileBookmark.h"

#include "PDFFileURL.h"

#include <QDataStream>
#include <QIODevice>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

// Record layout (QDataStream, Qt 6.0 format, big-endian):
//   quint32 magic 'PLBM', quint16 version 1, QByteArray standardised path bytes,
//   quint64 st_dev, quint64 st_ino — and nothing after it.

namespace {

constexpr quint32 recordMagic = 0x504C424D; // "PLBM"
constexpr quint16 recordVersion = 1;
constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const FileIdentity &other) const { return device == other.device && inode == other.inode; }
};

struct Record {
    QByteArray path;
    FileIdentity identity;
};

std::optional<FileIdentity> identityOf(const QByteArray &path)
{
    struct stat status { };
    if (::stat(path.constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity {static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}

std::optional<Record> readRecord(const QByteArray &data)
{
    QDataStream stream(data);
    stream.setVersion(streamVersion);
    quint32 magic = 0;
    quint16 version = 0;
    Record record;
    stream >> magic >> version;
    if (stream.status() != QDataStream::Ok || magic != recordMagic || version != recordVersion)
        return std::nullopt;
    stream >> record.path >> record.identity.device >> record.identity.inode;
    if (stream.status() != QDataStream::Ok || !stream.atEnd() || !record.path.startsWith('/')
        || record.path.contains('\0'))
        return std::nullopt;
    return record;
}

// Entries are matched on d_ino first and confirmed with fstatat, so only candidates are
// stat'ed. A symlink renamed in the folder is not followed (its own inode differs).
std::optional<QByteArray> findInFolder(const QByteArray &folder, const FileIdentity &identity)
{
    DIR *directory = ::opendir(folder.constData());
    if (!directory)
        return std::nullopt;
    std::optional<QByteArray> found;
    while (const dirent *entry = ::readdir(directory)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || static_cast<quint64>(entry->d_ino) != identity.inode)
            continue;
        struct stat status { };
        if (::fstatat(::dirfd(directory), entry->d_name, &status, 0) == 0
            && static_cast<quint64>(status.st_dev) == identity.device
            && static_cast<quint64>(status.st_ino) == identity.inode) {
            found = folder == "/" ? '/' + name : folder + '/' + name;
            break;
        }
    }
    ::closedir(directory);
    return found;
}

} // namespace

namespace PDFFileBookmark {

std::optional<QByteArray> create(const QUrl &fileURL)
{
    const QByteArray path = PDFFileURL::nativePath(PDFFileURL::standardized(fileURL));
    if (path.isEmpty())
        return std::nullopt;
    const auto identity = identityOf(path);
    if (!identity)
        return std::nullopt;

    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream.setVersion(streamVersion);
    stream << recordMagic << recordVersion << path << identity->device << identity->inode;
    return data;
}

std::optional<PDFBookmarkResolution> resolve(const QByteArray &bookmarkData)
{
    const auto record = readRecord(bookmarkData);
    if (!record)
        return std::nullopt;

    if (identityOf(record->path) == record->identity)
        return PDFBookmarkResolution {PDFFileURL::standardized(PDFFileURL::fromNativePath(record->path)), false};

    const qsizetype slash = record->path.lastIndexOf('/');
    const QByteArray folder = slash == 0 ? QByteArrayLiteral("/") : record->path.left(slash);
    const auto moved = findInFolder(folder, record->identity);
    if (!moved)
        return std::nullopt;
    return PDFBookmarkResolution {PDFFileURL::standardized(PDFFileURL::fromNativePath(*moved)), true};
}

} // namespace PDFFileBookmark
