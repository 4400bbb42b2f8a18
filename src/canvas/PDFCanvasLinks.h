#pragma once

#include "PDFDocument.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QSet>
#include <QUrl>
#include <QVector>

#include <functional>
#include <memory>

class PDFViewport;

// The links of the pages a viewport shows, loaded on a worker thread the first time a page is
// painted, and followed on a click: an internal link turns to its page, an external one
// (http, https, mailto) goes to the external link handler; anything else is ignored. A click
// on a page whose links are still loading does nothing. UI thread only.
class PDFCanvasLinks : public QObject {
    Q_OBJECT

public:
    // `viewport` must outlive the links.
    explicit PDFCanvasLinks(PDFViewport *viewport, QObject *parent = nullptr);

    // Where external links go; the desktop's browser by default.
    void setExternalLinkHandler(std::function<void(const QUrl &)> handler) { m_openExternal = std::move(handler); }
    // Starts loading the links of page `index` unless they are loaded or loading.
    void load(int index);
    // Follows the link under `viewportPoint` (logical pixels), if any.
    void followAt(QPointF viewportPoint);

private:
    void documentChanged();

    PDFViewport *m_viewport;
    std::shared_ptr<PDFDocument> m_document;
    QHash<int, QVector<PDFLink>> m_links; // by page; absent while loading
    QSet<int> m_loading;
    std::function<void(const QUrl &)> m_openExternal;
};
