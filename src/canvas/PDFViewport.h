#pragma once

#include "PDFCanvasLayout.h"
#include "PDFSelection.h"

#include <QColor>
#include <QMarginsF>
#include <QObject>
#include <QPair>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <memory>
#include <optional>

class PDFDocument;
class PDFPage;

// What the canvas shows and where: the document, its layout, the scale with its limits and
// automatic fitting, the scroll position with the anchor that holds it across changes, the
// current page and the highlighted selection. The one owner of these values: the canvas
// widget, the model and the commands ask it or listen to it. It holds no widget; the widget
// showing it (its Host) reports the viewport's size and shows the scroll bars it decides on,
// and mirrors scrollPosition() on them. UI thread only.
//
// Units: scale 1.0 = one PDF point per logical pixel. Viewport positions and sizes are logical
// pixels; "document" coordinates are points of the laid-out pages at scale 1.0.
//
// Signals: pageChanged() after every change of the current page (a new document included),
// scaleChanged() after every change of the effective scale (automatic fitting included),
// scrollChanged() after the scroll position or its range moved, changed() when anything else
// shown changed; colorsChanged() (then changed()) after the inverted view was switched.
class PDFViewport : public QObject {
    Q_OBJECT

public:
    enum class DisplayMode { SinglePage = 0, SinglePageContinuous = 1 };
    struct ScrollBars {
        bool vertical = false;
        bool horizontal = false;
        bool operator==(const ScrollBars &other) const
        {
            return vertical == other.vertical && horizontal == other.horizontal;
        }
    };
    // The widget that shows the viewport.
    class Host {
    public:
        virtual ~Host() = default;
        // The visible area's size with the scroll bars now shown, logical pixels.
        virtual QSize viewportSize() const = 0;
        virtual ScrollBars shownScrollBars() const = 0;
        // Shows `bars`; viewportSize() may change at once.
        virtual void showScrollBars(ScrollBars bars) = 0;
    };

    static constexpr qreal minimumScale = 0.1;
    static constexpr qreal maximumScale = 8.0;

    // `host` must outlive the viewport.
    explicit PDFViewport(Host *host, QObject *parent = nullptr);
    ~PDFViewport() override;

    const std::shared_ptr<PDFDocument> &document() const { return m_document; }
    // Shows `document` from its first page (null shows nothing) and clears the selection.
    void setDocument(std::shared_ptr<PDFDocument> document);

    // The page at the reading position (the one under the view's horizontal centre line);
    // -1 and null without a document.
    int currentPageIndex() const { return m_currentPage; }
    PDFPage *currentPage() const;
    // Shows page `index` from its top; out-of-range indexes are ignored.
    void goToPageIndex(int index);
    // Scrolls `selection` into view (centred when it is not already visible).
    void go(const PDFSelection &selection);
    bool canGoToPreviousPage() const;
    bool canGoToNextPage() const;
    void goToPreviousPage();
    void goToNextPage();

    qreal scaleFactor() const { return m_scale; }
    // A manual zoom: automatic scaling goes off, the scale is clamped to
    // [minimumScale, maximumScale] and the point at the view's centre stays put.
    void setScaleFactor(qreal scale);
    // The same for the current scale times `factor`; returns the new scale.
    qreal zoomBy(qreal factor);
    // When on, the scale follows the view size so that the current page fits wholly.
    bool autoScales() const { return m_autoScales; }
    void setAutoScales(bool autoScales);

    DisplayMode displayMode() const { return m_displayMode; }
    void setDisplayMode(DisplayMode mode);
    bool displaysPageBreaks() const { return m_layoutSettings.pageBreaks; }
    void setDisplaysPageBreaks(bool shown);
    QMarginsF pageBreakMargins() const { return m_layoutSettings.margins; }
    void setPageBreakMargins(const QMarginsF &margins);
    // Around the pages; invalid (the default) for the window colour of the canvas's palette.
    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color);
    // The inverted view (PDFInvertedColors): pages, their previews and thumbnails are drawn
    // with their luminance turned over. Off unless set; a change emits colorsChanged().
    bool invertsColors() const { return m_invertsColors; }
    void setInvertsColors(bool inverted);

    const std::optional<PDFSelection> &currentSelection() const { return m_selection; }
    // Highlights `selection` (none clears); `animate` asks the canvas for a short pulse.
    void setCurrentSelection(const std::optional<PDFSelection> &selection, bool animate);

    // Re-reads page sizes and rotations after a page was rotated. The current page stays
    // current: a fitted view shows it whole, a zoomed one keeps the view's centre on the same
    // relative spot of the page.
    void layoutDocumentView();

    // The scroll position (logical pixels from the top-left of the laid-out document) and its
    // largest value; the smallest is (0, 0).
    QPoint scrollPosition() const { return m_scroll; }
    QPoint scrollMaximum() const { return m_scrollMaximum; }
    // The user scrolled to `position` (clamped): the view's centre becomes the anchor and the
    // page under it the current page.
    void scrollTo(QPoint position);
    // A drag starts: no fraction of an earlier drag is carried over.
    void beginPan();
    // Moves the visible area by a drag translation (logical pixels; positive moves the drawing
    // right/down), kept within the document. Fractions are carried to the next move so that the
    // drawing follows the pointer exactly. Returns the new scroll position, or none without a
    // document.
    std::optional<QPointF> pan(QPointF translation);
    // The viewport's size changed (the host calls this).
    void viewportResized();

    // The rectangle of page `index` in viewport coordinates; empty when it is not laid out.
    QRectF pageRectInViewport(int index) const;
    // The visible page whose rectangle holds `point` (viewport coordinates); -1 when none does.
    int pageAt(QPointF point) const;
    // Maps page space of page `index` (see PDFSelection) to viewport coordinates, with the
    // page's rotation and the scale applied; none when the page is not laid out.
    std::optional<QTransform> pageToViewport(int index) const;
    // First and last page touching the view; (0, -1) without pages.
    QPair<int, int> visiblePageRange() const;
    QSize viewportSize() const { return m_host->viewportSize(); }

signals:
    void documentChanged();
    void pageChanged();
    void scaleChanged();
    // Page sizes or rotations changed (layoutDocumentView).
    void layoutChanged();
    void scrollChanged();
    void selectionChanged(bool animate);
    void colorsChanged();
    void changed();

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

    static qreal clampedScale(qreal scale);
    void relayout();
    // Decides the scroll bars and, while fitting, the scale together, sets the scroll range and
    // puts the anchor back. Every change of size, layout or scale goes through here; the result
    // is a fixed point, so the viewport resize it may cause changes nothing more.
    void reflow();
    ScrollBars scrollBarsNeeded(qreal scale, QSizeF viewportSize) const;
    // A manual scale (clamped); automatic scaling is left as it is.
    void setScaleInternal(qreal scale);
    void updateScrollRange();
    void setScroll(QPoint position);
    void applyAnchor();
    void captureCentreAnchor();
    void updateCurrentPageFromScroll();
    void setCurrentPageIndex(int index);
    // The viewport position of document point (0, 0).
    QPointF contentOffset() const;
    QRectF visibleDocumentRect() const;

    Host *m_host;
    std::shared_ptr<PDFDocument> m_document;
    PDFCanvasLayout m_layout;
    PDFCanvasLayout::Settings m_layoutSettings;
    DisplayMode m_displayMode = DisplayMode::SinglePageContinuous;
    qreal m_scale = 1.0;
    bool m_autoScales = false;
    QColor m_background;
    bool m_invertsColors = false;
    int m_currentPage = -1;
    Anchor m_anchor;
    QPoint m_scroll;
    QPoint m_scrollMaximum;
    QPointF m_panRemainder;
    bool m_reflowing = false;
    std::optional<PDFSelection> m_selection;
};
