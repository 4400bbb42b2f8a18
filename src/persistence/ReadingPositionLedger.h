#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

#include <optional>

// Whether a document's layer is shown, the layer named by its row in the document's layer list
// and its name, so that a file whose layers changed since is not given another layer's state.
struct StoredLayerVisibility {
    int row = 0;
    QString name;
    bool visible = true;

    bool operator==(const StoredLayerVisibility &o) const
    {
        return row == o.row && name == o.name && visible == o.visible;
    }
};

// Per document, by standardised path as PDFFileURL::standardizedPath gives it (the path itself
// when it is UTF-8, else its file URL): the last page read (0-based) and the layers shown.
struct ReadingPositionLedger {
    QMap<QString, int> pageIndexByPath;
    QMap<QString, QVector<StoredLayerVisibility>> layersByPath;

    bool operator==(const ReadingPositionLedger &other) const
    {
        return pageIndexByPath == other.pageIndexByPath && layersByPath == other.layersByPath;
    }

    // Stored form: UTF-8 JSON {"pageIndexByPath": {path: integer, …}, "layersByPath": {path:
    // [{"row": integer, "name": string, "visible": boolean}, …], …}}. The first key is
    // required; the second is optional, so that files from before it still load.
    QByteArray encode() const;
    // nullopt when `data` is not such an object or a page index is not an integer. A damaged
    // layer entry only loses that document's layers.
    static std::optional<ReadingPositionLedger> decode(const QByteArray &data);
};
