#include "RecentPDFDocument.h"

#include "StoredDate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

const QString pathKey = QStringLiteral("path");
const QString displayNameKey = QStringLiteral("displayName");
const QString openedAtKey = QStringLiteral("openedAt");
const QString bookmarkDataKey = QStringLiteral("bookmarkData");

std::optional<RecentPDFDocument> decodeEntry(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue path = object.value(pathKey);
    const QJsonValue displayName = object.value(displayNameKey);
    const QJsonValue openedAt = object.value(openedAtKey);
    if (!path.isString() || !displayName.isString() || !openedAt.isDouble())
        return std::nullopt;

    RecentPDFDocument document;
    document.path = path.toString();
    document.displayName = displayName.toString();
    document.openedAt = StoredDate::fromReferenceSeconds(openedAt.toDouble());
    if (!document.openedAt.isValid())
        return std::nullopt;

    if (object.contains(bookmarkDataKey)) {
        const QJsonValue bookmark = object.value(bookmarkDataKey);
        if (!bookmark.isString())
            return std::nullopt;
        const auto decoded
            = QByteArray::fromBase64Encoding(bookmark.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        document.bookmarkData = *decoded;
    }
    return document;
}

} // namespace

bool RecentPDFDocument::operator==(const RecentPDFDocument &other) const
{
    return path == other.path && displayName == other.displayName && openedAt == other.openedAt
        && bookmarkData == other.bookmarkData;
}

QByteArray RecentPDFDocument::encodeList(const QList<RecentPDFDocument> &list)
{
    QJsonArray array;
    for (const RecentPDFDocument &document : list) {
        QJsonObject object {
            {pathKey, document.path},
            {displayNameKey, document.displayName},
            {openedAtKey, StoredDate::toReferenceSeconds(document.openedAt)},
        };
        if (document.bookmarkData)
            object.insert(bookmarkDataKey, QString::fromLatin1(document.bookmarkData->toBase64()));
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<RecentPDFDocument>> RecentPDFDocument::decodeList(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;

    QList<RecentPDFDocument> list;
    const QJsonArray array = document.array();
    list.reserve(array.size());
    for (const QJsonValue &value : array) {
        auto entry = decodeEntry(value);
        if (!entry)
            return std::nullopt;
        list.append(std::move(*entry));
    }
    return list;
}
