#pragma once

#include "PDFViewport.h"

#include <QAbstractScrollArea>
#include <QPointF>
#include <QUrl>

#include <functional>
#include <memory>

class PDFCanvasLinks;
class PDFMeasureTool;
class PDFOverviewMap;
class PDFRenderQueue;
class PDFSelectionHighlight;
class PDFTilePainter;
class QTimer;

// The drawing canvas: a scroll area showing its PDFViewport, which holds the document, the
// scale and the current page; the model drives the canvas through that viewport.
//
// Rendering runs on worker threads (PDFRenderQueue); the canvas only composes finished images
// on the UI thread (PDFTilePainter) and never waits for a render.
//
// Input: the plain vertical scroll wheel over the visible canvas zooms (PDFWheelZoomFilter,
// kept exactly while the canvas has a parent window); dragging with the primary button pans;
// a click without a drag follows a link (PDFCanvasLinks), or while measuring puts down a
// point (PDFMeasureTool); arrows and Page Up/Down scroll, and
// a focus ring shows when the keyboard brought the focus or scrolled.
class BlueprintPDFView : public QAbstractScrollArea, private PDFViewport::Host {
    Q_OBJECT

public:
    explicit BlueprintPDFView(QWidget *parent = nullptr);
    ~BlueprintPDFView() override;

    PDFViewport *pdfViewport() const { return m_viewport; }
    // Shared with the thumbnail strip, which renders through the same queue and cache.
    PDFRenderQueue *renderQueue() const { return m_renderQueue; }
    // Measuring on the canvas (off until switched on).
    PDFMeasureTool *measureTool() const { return m_measure; }
    // The map of the whole page floating over the canvas while the page does not fit.
    PDFOverviewMap *overviewMap() const { return m_overview; }
    // Where external links (http, https, mailto) go; the desktop's browser by default.
    void setExternalLinkHandler(std::function<void(const QUrl &)> handler);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class PDFCanvasProbe;

    QSize viewportSize() const override;
    PDFViewport::ScrollBars shownScrollBars() const override;
    void showScrollBars(PDFViewport::ScrollBars bars) override;
    // Puts the viewport's scroll position and range on the scroll bars.
    void mirrorScroll();
    void documentChanged();
    void updateWheelFilter();
    void paintFocusRing(QPainter &painter);
    void setFocusVisible(bool visible);
    void endPan();

    PDFViewport *m_viewport;
    PDFRenderQueue *m_renderQueue;
    std::unique_ptr<PDFTilePainter> m_tiles;
    PDFCanvasLinks *m_links;
    PDFSelectionHighlight *m_highlight;
    PDFMeasureTool *m_measure;
    PDFOverviewMap *m_overview;
    // While the view's renders run, frames draw stand-ins roughly (composing them takes a core
    // from the renders) until the renders have had a head start; a tile that arrives while
    // others are still drawn waits a moment for them, to share one frame.
    QTimer *m_composeLater;
    QTimer *m_repaintSoon;
    bool m_composeDue = false;
    bool m_mirroringScroll = false;
    bool m_focusVisible = false;
    // Drag state, in global logical pixels.
    bool m_pressed = false;
    bool m_panning = false;
    QPointF m_pressPosition;
    QPointF m_lastPanPosition;
};
