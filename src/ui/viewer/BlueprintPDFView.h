#pragma once

#include "PDFCanvasLayout.h"
#include "PDFSelection.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QMarginsF>
#include <QPointF>

#include <memory>
#include <optional>

class PDFDocument;
class PDFPage;
class PDFRenderCookie;
class QVariantAnimation;

// The drawing canvas: shows the open document's pages and is driven by the viewer model.
//
// Geometry: the model speaks in scale factors (1.0 = one PDF point per logical pixel);
// images are rendered at scale × devicePixelRatio so drawings stay crisp on high-DPI
// screens. Rendering runs on the global thread pool; this widget only composes finished
// images on the UI thread and never waits for a render.
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

signals:
    void pageChanged();
    void scaleChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct PageImage {
        QImage image;
        int rotation = 0;
        qreal pixelScale = 0; // device pixels per point the image was rendered at
    };
    struct PendingRender {
        std::shared_ptr<PDFRenderCookie> cookie;
        int rotation = 0;
        qreal pixelScale = 0;
    };
    // What stays put when the layout changes: either the top of a page (after go) or the
    // document point at the centre of the view (after scrolling or zooming).
    struct Anchor {
        bool pageTop = true;
        int page = 0;
        QPointF centre; // document points
    };

    void relayout();
    void applyAutoScale();
    void setScaleInternal(qreal scale);
    void updateScrollBars();
    void applyAnchor();
    void captureCentreAnchor();
    void updateCurrentPageFromScroll();
    void setCurrentPageIndex(int index);
    QPointF contentOffset() const; // viewport position of document point (0, 0)
    QRectF visibleDocumentRect() const;
    void requestRender(int page, int rotation, qreal pixelScale);
    void renderFinished(quint64 generation, int page, int rotation, qreal pixelScale, const QImage &image);
    void cancelRenders();
    void dropFarImages();
    qreal targetPixelScale(int page) const;

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
    std::optional<PDFSelection> m_selection;
    QVariantAnimation *m_selectionPulse = nullptr;
    QHash<int, PageImage> m_images;
    QHash<int, PendingRender> m_pending;
};
