#pragma once

#include "PDFLayer.h"
#include "ReadingPositionLedger.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class PDFDocument;
class PDFReadingPositionStore;
class PDFRenderQueue;

// The open document's layers as the layer panel shows them, and the commands that show and
// hide them. A change goes to the document, which draws from the engine's one layer state, and
// then to the canvas's render queue, which draws again only the pages whose picture changed
// while their old images stay on screen. Each document's layers are remembered with its
// reading position and put back when it opens again, as far as its layer list still matches.
// UI thread only.
class PDFViewerLayers : public QObject {
    Q_OBJECT

public:
    // `positions` must outlive this.
    explicit PDFViewerLayers(PDFReadingPositionStore *positions, QObject *parent = nullptr);

    // The document now open (null when none), known in the store by `path` (standardised), whose
    // pages `queue` renders: its remembered layer state is put back.
    void setDocument(std::shared_ptr<PDFDocument> document, const QString &path, PDFRenderQueue *queue);

    // In the document's order; empty without a document or when it has no layers.
    const PDFLayerList &layers() const { return m_layers; }
    // Shows or hides row `row`; a label, a locked row or an out-of-range one changes nothing.
    void setVisible(int row, bool visible);
    // Shows every layer that can be shown on its own (each radio group keeps its choice), or
    // hides every layer.
    void setAllVisible(bool visible);

signals:
    void layersChanged();

private:
    // Shows or hides `row` (-1: all), then shows the change and remembers the new state.
    void change(int row, bool visible);
    // Shows or hides `row` (-1: all) in the document; returns the pages whose picture changed.
    QVector<int> apply(int row, bool visible);
    void publish(const QVector<int> &changedPages);

    PDFReadingPositionStore *m_positions;
    std::shared_ptr<PDFDocument> m_document;
    QString m_path;
    QPointer<PDFRenderQueue> m_queue;
    PDFLayerList m_layers;
};
