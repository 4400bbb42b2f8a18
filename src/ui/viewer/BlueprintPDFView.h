#pragma once

#include "PDFCanvasLayout.h"
#include "PDFDocument.h"
#include "PDFSelection.h"
#include "PDFStandIns.h"
#include "PDFTileKey.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QMarginsF>
#include <QPointF>
#include <QSet>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class PDFPage;
class PDFRenderQueue;
class QVariantAnimation;
class QWheelEvent;

// The drawing canvas: shows the open document's pages and is driven by the viewer model.
//
// Geometry: the model speaks in scale factors (1.0 = one PDF point per logical pixel);
// tiles are rendered at scale × devicePixelRatio device pixels per point, so drawings stay
// crisp on high-DPI screens. Rendering runs on worker threads (PDFRenderQueue); this widget
// only composes finished images on the UI thread and never waits for a render. Where a tile
// at the current scale is not ready yet, tiles of another scale or the page's low-resolution
// preview stand in for it.
//
// Input: the plain vertical scroll wheel over the visible canvas zooms (an application-wide
// event filter that exists exactly while the canvas has a parent window); dragging with the
// primary button pans; a click without a drag follows a link.
//
// Signals stand in for the page-changed and scale-changed notifications: pageChanged()
// after every change of the current page (including a new document), scaleChanged() after
// every change of the effective scale (including automatic fitting on resize).
class BlueprintPDFView : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum class DisplayMode { SinglePage = 0, SinglePageContinuous = 1 };
    enum class DisplayDirection { Vertical = 0, Horizontal = 1 };

    explicit BlueprintPDFView(QWidget *parent = nullptr);
    ~BlueprintPDFView() override;

    std::shared_ptr<PDFDocument> document() const { return m_document; }
    // Shows `document` from its first page (null shows nothing). Pending renders of the
    // previous document are cancelled and their results dropped.
    void setDocument(std::shared_ptr<PDFDocument> document);

    // The page at the reading position (the one under the view's horizontal centre line),
    // or null without a document.
    PDFPage *currentPage() const;
    int currentPageIndex() const { return m_currentPage; }
    void go(PDFPage *page);
    void goToPageIndex(int index);
    // Scrolls `selection` into view (centred when it is not already visible).
    void go(const PDFSelection &selection);
    bool canGoToPreviousPage() const;
    bool canGoToNextPage() const;
    void goToPreviousPage();
    void goToNextPage();

    qreal scaleFactor() const { return m_scale; }
    // Clamped to [minScaleFactor, maxScaleFactor]. Keeps the point at the view's centre fixed.
    void setScaleFactor(qreal scale);
    qreal minScaleFactor() const { return m_minScale; }
    qreal maxScaleFactor() const { return m_maxScale; }
    void setMinScaleFactor(qreal scale);
    void setMaxScaleFactor(qreal scale);
    // When on, the scale follows the view size so that the current page fits wholly.
    bool autoScales() const { return m_autoScales; }
    void setAutoScales(bool autoScales);

    DisplayMode displayMode() const { return m_displayMode; }
    void setDisplayMode(DisplayMode mode);
    // Pages are always laid out top to bottom; the setting is kept for callers.
    DisplayDirection displayDirection() const { return m_displayDirection; }
    void setDisplayDirection(DisplayDirection direction) { m_displayDirection = direction; }
    bool displaysPageBreaks() const { return m_layoutSettings.pageBreaks; }
    void setDisplaysPageBreaks(bool shown);
    QMarginsF pageBreakMargins() const { return m_layoutSettings.margins; }
    void setPageBreakMargins(const QMarginsF &margins);
    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color);

    std::optional<PDFSelection> currentSelection() const { return m_selection; }
    // Highlights `selection` (none clears); `animate` plays a short pulse.
    void setCurrentSelection(const std::optional<PDFSelection> &selection, bool animate);

    // Re-reads page sizes and rotations after a page was rotated.
    void layoutDocumentView();

    // The rectangle of page `index` in viewport coordinates (logical pixels); empty when the
    // page is not laid out.
    QRectF pageRectInViewport(int index) const;

    // Wheel zoom: switches automatic scaling off and multiplies the scale by
    // e^(deltaY × k), k = 0.012 for precise (pixel) deltas and 0.12 for wheel lines, clamped
    // to [minScaleFactor, maxScaleFactor]. Returns the new scale.
    qreal applyScrollZoom(qreal scrollingDeltaY, bool hasPreciseDeltas);
    // Moves the visible area by a drag translation (logical pixels; positive moves the drawing
    // right/down), kept within the document. Returns the new scroll origin, or none without
    // a document.
    std::optional<QPointF> applyPanTranslation(QPointF translation);
    bool hasScrollMonitor() const { return m_scrollMonitorInstalled; }
    static int installedScrollMonitorCount();
    bool isPanning() const { return m_panning; }

    // Where external links (http, https, mailto) go; the desktop's browser by default.
    void setExternalLinkHandler(std::function<void(const QUrl &)> handler) { m_openExternalLink = std::move(handler); }

    PDFRenderQueue *renderQueue() const { return m_renderQueue; }

    // Frames painted, and of those the ones where some visible paper had no picture at all.
    struct FrameStats {
        int frames = 0;
        int blankFrames = 0;
    };
    FrameStats frameStats() const { return m_frameStats; }
    void resetFrameStats() { m_frameStats = {}; }
    // True when every tile of the current view is rendered at the current scale.
    bool isViewSharp() const;

signals:
    void pageChanged();
    void scaleChanged();
    void documentChanged();
    // Page sizes or rotations changed (layoutDocumentView).
    void layoutChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // What stays put when the layout, the scale or the view's size changes: either the top of a
    // page (after go, or a page turned while fitted) or the spot of a page under the view's
    // centre (after scrolling or zooming), relative to the page's rectangle (0..1 across it),
    // so that it survives pages above changing size. Kept up to date by every scroll.
    struct Anchor {
        bool pageTop = true;
        int page = 0;
        QPointF relative;
    };
    struct ScrollBars {
        bool vertical = false;
        bool horizontal = false;
        bool operator==(const ScrollBars &other) const
        {
            return vertical == other.vertical && horizontal == other.horizontal;
        }
    };

    void relayout();
    // Decides the scroll bars and, while fitting, the scale together, sets the scroll ranges and
    // puts the anchor back. Every change of size, layout or scale goes through here; the result
    // is a fixed point, so the viewport resize it may cause changes nothing more.
    void reflow();
    ScrollBars scrollBarsNeeded(qreal scale, QSizeF viewportSize) const;
    ScrollBars shownScrollBars() const;
    void showScrollBars(ScrollBars bars);
    // A manual scale (clamped); automatic scaling is left as it is.
    void setScaleInternal(qreal scale);
    void updateScrollRanges();
    void applyAnchor();
    void captureCentreAnchor();
    void updateCurrentPageFromScroll();
    void setCurrentPageIndex(int index);
    QPointF contentOffset() const; // viewport position of document point (0, 0)
    QRectF visibleDocumentRect() const;
    QPair<int, int> visiblePageRange() const;
    // Where page `index` is drawn, in device pixels: its top-left corner in the viewport, its
    // full pixel rectangle and the part of it in view (both relative to that corner), and
    // the tile key of the current scale.
    struct PageGeometry {
        const PDFPage *page = nullptr;
        QSizeF size;
        QPoint origin;
        QRect pagePixels;
        QRect visiblePixels;
        PDFTileKey base;
    };
    PageGeometry pageGeometry(int index) const;
    // Draws a page laid out as `g` and asks for what is missing; returns false when some of
    // its visible paper had no picture.
    bool paintPage(QPainter &painter, const PageGeometry &g, QSet<PDFTileKey> &wanted);
    double previewPixelScale(const PDFPage *page) const;
    void imageReady(const PDFTileKey &key);
    void paintSelection(QPainter &painter);
    void paintMatchMarker(QPainter &painter, const QRectF &match);
    void paintFocusRing(QPainter &painter);
    void setFocusVisible(bool visible);
    void installScrollMonitorIfNeeded();
    void removeScrollMonitor();
    void updateScrollMonitor();
    bool monitorWheel(QWidget *receiver, QWheelEvent *event);
    void endPan();
    void followLinkAt(QPointF viewportPoint);
    void loadLinks(int page);

    std::shared_ptr<PDFDocument> m_document;
    quint64 m_generation = 0;
    PDFCanvasLayout m_layout;
    PDFCanvasLayout::Settings m_layoutSettings;
    DisplayMode m_displayMode = DisplayMode::SinglePageContinuous;
    DisplayDirection m_displayDirection = DisplayDirection::Vertical;
    qreal m_scale = 1.0;
    qreal m_minScale = 0.1;
    qreal m_maxScale = 8.0;
    bool m_autoScales = false;
    QColor m_background;
    int m_currentPage = -1;
    Anchor m_anchor;
    bool m_adjustingScroll = false;
    bool m_reflowing = false;
    std::optional<PDFSelection> m_selection;
    QVariantAnimation *m_selectionPulse = nullptr;
    QVariantAnimation *m_matchMarker = nullptr; // opacity of the ring around the match, 1 → 0
    bool m_focusVisible = false;
    PDFRenderQueue *m_renderQueue = nullptr;
    FrameStats m_frameStats;
    bool m_scrollMonitorInstalled = false;
    // Drag state, in global logical pixels.
    bool m_pressed = false;
    bool m_panning = false;
    QPointF m_pressPosition;
    QPointF m_lastPanPosition;
    QPointF m_panRemainder;
    std::function<void(const QUrl &)> m_openExternalLink;
    QHash<int, QVector<PDFLink>> m_links; // by page; absent while loading
    QSet<int> m_linksLoading;
    PDFStandIns m_standIns;
    QElapsedTimer m_paintClock; // started by each paintEvent
    bool m_standInsPending = false; // the frame drew stand-ins roughly; another one follows
};
