#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// Last page read per document: standardised path, stored as PDFFileURL::standardizedPath
// gives it (the path itself when it is UTF-8, else its file URL) → 0-based page index.
struct ReadingPositionLedger {
    QMap<QString, int> pageIndexByPath;

    bool operator==(const ReadingPositionLedger &other) const { return pageIndexByPath == other.pageIndexByPath; }

    // Stored form: UTF-8 JSON {"pageIndexByPath": {path: integer, …}}; the key is required.
    QByteArray encode() const;
    // nullopt when `data` is not such an object or a value is not an integer.
    static std::optional<ReadingPositionLedger> decode(const QByteArray &data);
};
