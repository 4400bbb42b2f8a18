#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One entry of the recent-documents list. Identity is `path`.
struct RecentPDFDocument {
    // The standardised absolute path as PDFFileURL::standardizedPath stores it: the path
    // itself when it is valid UTF-8, else its file URL, so no two files share an entry.
    QString path;
    QString displayName; // file name without extension
    QDateTime openedAt; // UTC
    std::optional<QByteArray> bookmarkData;

    const QString &id() const { return path; }
    bool operator==(const RecentPDFDocument &other) const;
    bool operator!=(const RecentPDFDocument &other) const { return !(*this == other); }

    // The stored form: UTF-8 JSON array of objects {"path", "displayName", "openedAt"
    // (seconds since 2001-01-01 UTC), "bookmarkData" (Base64, left out when absent)}.
    static QByteArray encodeList(const QList<RecentPDFDocument> &list);
    // nullopt when `data` is not such an array (any malformed entry fails the whole list).
    static std::optional<QList<RecentPDFDocument>> decodeList(const QByteArray &data);
};
