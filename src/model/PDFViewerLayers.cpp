#include "PDFViewerLayers.h"

#include "PDFDocument.h"
#include "PDFReadingPositionStore.h"
#include "PDFRenderQueue.h"

#include <algorithm>

PDFViewerLayers::PDFViewerLayers(PDFReadingPositionStore *positions, QObject *parent)
    : QObject(parent)
    , m_positions(positions)
{
}

void PDFViewerLayers::setDocument(std::shared_ptr<PDFDocument> document, const QString &path, PDFRenderQueue *queue)
{
    m_document = std::move(document);
    m_path = path;
    m_queue = queue;
    m_layers = m_document ? m_document->layers() : PDFLayerList();
    // Hidden first, so that a radio group's remembered choice is the one it ends with.
    QVector<StoredLayerVisibility> stored = m_positions->positions().layersByPath.value(path);
    std::stable_sort(stored.begin(), stored.end(),
        [](const StoredLayerVisibility &a, const StoredLayerVisibility &b) { return !a.visible && b.visible; });
    QVector<int> changed;
    for (const StoredLayerVisibility &layer : std::as_const(stored)) {
        if (layer.row < m_layers.size() && m_layers[layer.row].name == layer.name)
            changed += apply(layer.row, layer.visible);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    publish(changed);
}

void PDFViewerLayers::setVisible(int row, bool visible)
{
    if (row >= 0 && row < m_layers.size())
        change(row, visible);
}

void PDFViewerLayers::setAllVisible(bool visible)
{
    change(-1, visible);
}

void PDFViewerLayers::change(int row, bool visible)
{
    const QVector<int> changed = apply(row, visible);
    if (changed.isEmpty())
        return;
    publish(changed);
    QVector<StoredLayerVisibility> stored;
    for (int i = 0; i < m_layers.size(); ++i) {
        if (m_layers[i].kind != PDFLayer::Kind::Label)
            stored.append({i, m_layers[i].name, m_layers[i].visible});
    }
    m_positions->recordLayers(m_path, stored);
}

QVector<int> PDFViewerLayers::apply(int row, bool visible)
{
    const bool changeable = row == -1 || (m_layers.value(row).kind != PDFLayer::Kind::Label && !m_layers[row].locked);
    return m_document && changeable ? m_document->setLayerVisible(row, visible) : QVector<int>();
}

void PDFViewerLayers::publish(const QVector<int> &changedPages)
{
    if (m_queue)
        m_queue->outdatePages(changedPages);
    m_layers = m_document ? m_document->layers() : PDFLayerList();
    emit layersChanged();
}
