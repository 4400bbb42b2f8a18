#include "PDFViewport.h"

#include "PDFDocument.h"
#include "PDFPage.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// How far, in logical pixels, the document may stick out of the view and still count as fitting:
// a fitted scale reproduces the view's extent only up to rounding.
constexpr qreal kFitTolerance = 0.5;

} // namespace

PDFViewport::PDFViewport(Host *host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
}

PDFViewport::~PDFViewport() = default;

qreal PDFViewport::clampedScale(qreal scale)
{
    return std::clamp(scale, minimumScale, maximumScale);
}

void PDFViewport::setDocument(std::shared_ptr<PDFDocument> document)
{
    m_document = std::move(document);
    m_selection.reset();
    m_currentPage = m_document && m_document->pageCount() > 0 ? 0 : -1;
    m_anchor = Anchor {};
    relayout();
    emit documentChanged();
    // A new document always counts as a page change, even from page 0 to page 0.
    emit pageChanged();
}

PDFPage *PDFViewport::currentPage() const
{
    return m_document ? m_document->page(m_currentPage) : nullptr;
}

void PDFViewport::goToPageIndex(int index)
{
    if (!m_document || index < 0 || index >= m_document->pageCount())
        return;
    const bool shownPageChanges = m_displayMode == DisplayMode::SinglePage && index != m_currentPage;
    m_anchor = Anchor {true, index, {}};
    setCurrentPageIndex(index);
    // A single page shown alone sets the document's size, and a fitted scale follows the page.
    if (shownPageChanges || m_autoScales)
        reflow();
    else
        applyAnchor();
    emit changed();
}

void PDFViewport::go(const PDFSelection &selection)
{
    if (!m_document || selection.isEmpty() || !m_document->page(selection.pageIndex))
        return;
    if (m_displayMode == DisplayMode::SinglePage && selection.pageIndex != m_currentPage)
        goToPageIndex(selection.pageIndex);
    PDFPage *page = m_document->page(selection.pageIndex);
    const QRectF pageRect = m_layout.pageRect(selection.pageIndex, m_currentPage);
    const QRectF target = page->pageToDisplay().mapRect(selection.bounds()).translated(pageRect.topLeft());
    if (!visibleDocumentRect().contains(target)) {
        m_anchor = Anchor {false, selection.pageIndex,
            QPointF((target.center().x() - pageRect.left()) / pageRect.width(),
                (target.center().y() - pageRect.top()) / pageRect.height())};
        applyAnchor();
        setCurrentPageIndex(selection.pageIndex);
    }
    emit changed();
}

bool PDFViewport::canGoToPreviousPage() const
{
    return m_document && m_currentPage > 0;
}

bool PDFViewport::canGoToNextPage() const
{
    return m_document && m_currentPage + 1 < m_document->pageCount();
}

void PDFViewport::goToPreviousPage()
{
    if (canGoToPreviousPage())
        goToPageIndex(m_currentPage - 1);
}

void PDFViewport::goToNextPage()
{
    if (canGoToNextPage())
        goToPageIndex(m_currentPage + 1);
}

void PDFViewport::setScaleFactor(qreal scale)
{
    m_autoScales = false;
    captureCentreAnchor();
    setScaleInternal(scale);
}

qreal PDFViewport::zoomBy(qreal factor)
{
    setScaleFactor(m_scale * factor);
    return m_scale;
}

void PDFViewport::setAutoScales(bool autoScales)
{
    m_autoScales = autoScales;
    if (m_autoScales)
        reflow();
}

void PDFViewport::setDisplayMode(DisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    m_anchor = Anchor {true, std::max(m_currentPage, 0), {}};
    relayout();
}

void PDFViewport::setDisplaysPageBreaks(bool shown)
{
    if (shown == m_layoutSettings.pageBreaks)
        return;
    m_layoutSettings.pageBreaks = shown;
    relayout();
}

void PDFViewport::setPageBreakMargins(const QMarginsF &margins)
{
    m_layoutSettings.margins = margins;
    relayout();
}

void PDFViewport::setBackgroundColor(const QColor &color)
{
    m_background = color;
    emit changed();
}

void PDFViewport::setInvertsColors(bool inverted)
{
    if (inverted == m_invertsColors)
        return;
    m_invertsColors = inverted;
    emit colorsChanged();
    emit changed();
}

void PDFViewport::setCurrentSelection(const std::optional<PDFSelection> &selection, bool animate)
{
    m_selection = selection;
    emit selectionChanged(m_selection && animate);
    emit changed();
}

void PDFViewport::layoutDocumentView()
{
    if (m_autoScales && m_currentPage >= 0)
        m_anchor = Anchor {true, m_currentPage, {}};
    relayout();
    emit layoutChanged();
}

QRectF PDFViewport::pageRectInViewport(int index) const
{
    const QRectF r = m_layout.pageRect(index, m_currentPage);
    if (r.isEmpty())
        return {};
    return QRectF(r.topLeft() * m_scale + contentOffset(), r.size() * m_scale);
}

int PDFViewport::pageAt(QPointF point) const
{
    const auto [first, last] = visiblePageRange();
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (pageRectInViewport(i).contains(point))
            return i;
    }
    return -1;
}

std::optional<QTransform> PDFViewport::pageToViewport(int index) const
{
    const PDFPage *page = m_document ? m_document->page(index) : nullptr;
    const QRectF r = page ? pageRectInViewport(index) : QRectF();
    if (r.isEmpty())
        return std::nullopt;
    return page->pageToDisplay() * QTransform::fromScale(m_scale, m_scale)
        * QTransform::fromTranslate(r.left(), r.top());
}

QPair<int, int> PDFViewport::visiblePageRange() const
{
    if (!m_document || m_layout.pageCount() == 0)
        return {0, -1};
    if (m_displayMode == DisplayMode::SinglePage)
        return {m_currentPage, m_currentPage};
    const QRectF visible = visibleDocumentRect();
    return {m_layout.pageAt(visible.top()), m_layout.pageAt(visible.bottom())};
}

void PDFViewport::relayout()
{
    QVector<QSizeF> sizes;
    if (m_document) {
        sizes.reserve(m_document->pageCount());
        for (int i = 0; i < m_document->pageCount(); ++i)
            sizes.append(m_document->page(i)->displaySize());
    }
    PDFCanvasLayout::Settings settings = m_layoutSettings;
    settings.continuous = m_displayMode == DisplayMode::SinglePageContinuous;
    m_layout.setPages(sizes);
    m_layout.setSettings(settings);
    reflow();
}

PDFViewport::ScrollBars PDFViewport::scrollBarsNeeded(qreal scale, QSizeF viewportSize) const
{
    const QSizeF document = m_layout.documentSize(m_currentPage) * scale;
    return {document.height() > viewportSize.height() + kFitTolerance,
        document.width() > viewportSize.width() + kFitTolerance};
}

void PDFViewport::viewportResized()
{
    reflow();
}

void PDFViewport::reflow()
{
    // Showing or hiding a scroll bar resizes the viewport, which lands here again; the outer
    // call has already taken that size into account.
    if (m_reflowing)
        return;
    const QScopedValueRollback<bool> guard(m_reflowing, true);

    const bool fitting = m_autoScales && m_document && m_layout.pageCount() > 0;
    const int fittedPage = std::max(m_currentPage, 0);
    qreal scale = m_scale;
    auto agrees = [&](ScrollBars bars) {
        const QSizeF viewportSize(m_host->viewportSize());
        if (fitting && !viewportSize.isEmpty())
            scale = clampedScale(m_layout.fitScale(fittedPage, viewportSize));
        return scrollBarsNeeded(scale, viewportSize) == bars;
    };
    // The bars shown stay while they agree with the scale they lead to (zooming and panning
    // mostly end here). Otherwise the fewest bars that agree; both bars, when nothing else
    // agrees, is a resting state too, because the policy is the canvas's, not Qt's "as needed".
    if (!agrees(m_host->shownScrollBars())) {
        static constexpr ScrollBars choices[] = {{false, false}, {true, false}, {false, true}, {true, true}};
        for (const ScrollBars &bars : choices) {
            m_host->showScrollBars(bars);
            if (agrees(bars))
                break;
        }
    }

    const bool scaleChanges = std::isfinite(scale) && scale != m_scale;
    if (scaleChanges)
        m_scale = scale;
    updateScrollRange();
    applyAnchor();
    emit changed();
    if (scaleChanges)
        emit scaleChanged();
}

void PDFViewport::setScaleInternal(qreal scale)
{
    if (!std::isfinite(scale))
        return;
    scale = clampedScale(scale);
    if (scale == m_scale)
        return;
    m_scale = scale;
    // reflow() would fit again while automatic scaling is on; a scale set here is manual.
    const bool autoScales = std::exchange(m_autoScales, false);
    reflow();
    m_autoScales = autoScales;
    emit scaleChanged();
}

void PDFViewport::updateScrollRange()
{
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    const QSize vp = m_host->viewportSize();
    auto maximum
        = [](qreal extent, int view) { return extent > view + kFitTolerance ? int(std::ceil(extent - view)) : 0; };
    m_scrollMaximum = QPoint(maximum(doc.width(), vp.width()), maximum(doc.height(), vp.height()));
    setScroll(m_scroll);
}

void PDFViewport::setScroll(QPoint position)
{
    m_scroll
        = QPoint(std::clamp(position.x(), 0, m_scrollMaximum.x()), std::clamp(position.y(), 0, m_scrollMaximum.y()));
    emit scrollChanged();
}

void PDFViewport::scrollTo(QPoint position)
{
    setScroll(position);
    captureCentreAnchor();
    updateCurrentPageFromScroll();
}

void PDFViewport::beginPan()
{
    m_panRemainder = {};
}

std::optional<QPointF> PDFViewport::pan(QPointF translation)
{
    if (!m_document)
        return std::nullopt;
    // Scroll positions are whole pixels; the fraction left over is carried to the next move.
    const QPointF target = QPointF(m_scroll) - translation + m_panRemainder;
    const QPoint rounded(int(std::lround(target.x())), int(std::lround(target.y())));
    const int x = std::clamp(rounded.x(), 0, m_scrollMaximum.x());
    const int y = std::clamp(rounded.y(), 0, m_scrollMaximum.y());
    m_panRemainder = QPointF(x == rounded.x() ? target.x() - x : 0, y == rounded.y() ? target.y() - y : 0);
    scrollTo(QPoint(x, y));
    return QPointF(x, y);
}

void PDFViewport::applyAnchor()
{
    if (!m_document || m_layout.pageCount() == 0)
        return;
    const QSize vp = m_host->viewportSize();
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    const QRectF r = m_layout.pageRect(m_anchor.page, m_currentPage);
    qreal x = (doc.width() - vp.width()) / 2;
    qreal y = 0;
    if (m_anchor.pageTop) {
        const qreal top = m_layoutSettings.pageBreaks ? m_layoutSettings.margins.top() : 0;
        y = (r.top() - top) * m_scale;
    } else if (!r.isEmpty()) {
        const QPointF centre(
            r.left() + m_anchor.relative.x() * r.width(), r.top() + m_anchor.relative.y() * r.height());
        x = centre.x() * m_scale - vp.width() / 2.0;
        y = centre.y() * m_scale - vp.height() / 2.0;
    }
    setScroll(QPoint(int(std::lround(x)), int(std::lround(y))));
    if (!m_anchor.pageTop)
        updateCurrentPageFromScroll();
}

void PDFViewport::captureCentreAnchor()
{
    const QSize vp = m_host->viewportSize();
    if (!m_document || m_layout.pageCount() == 0 || vp.isEmpty())
        return;
    const QPointF centre = (QPointF(vp.width() / 2.0, vp.height() / 2.0) - contentOffset()) / m_scale;
    const int page = m_displayMode == DisplayMode::SinglePage ? m_currentPage : m_layout.pageAt(centre.y());
    const QRectF r = m_layout.pageRect(page, m_currentPage);
    if (r.isEmpty())
        return;
    m_anchor = Anchor {false, page, QPointF((centre.x() - r.left()) / r.width(), (centre.y() - r.top()) / r.height())};
}

void PDFViewport::updateCurrentPageFromScroll()
{
    const QSize vp = m_host->viewportSize();
    if (!m_document || m_displayMode == DisplayMode::SinglePage || vp.isEmpty())
        return;
    const qreal centreY = (vp.height() / 2.0 - contentOffset().y()) / m_scale;
    setCurrentPageIndex(m_layout.pageAt(centreY));
}

void PDFViewport::setCurrentPageIndex(int index)
{
    if (index == m_currentPage)
        return;
    m_currentPage = index;
    emit pageChanged();
}

QPointF PDFViewport::contentOffset() const
{
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    const QSize vp = m_host->viewportSize();
    const qreal cx = std::max<qreal>(0, (vp.width() - doc.width()) / 2);
    const qreal cy = std::max<qreal>(0, (vp.height() - doc.height()) / 2);
    return {cx - m_scroll.x(), cy - m_scroll.y()};
}

QRectF PDFViewport::visibleDocumentRect() const
{
    return QRectF(-contentOffset() / m_scale, QSizeF(m_host->viewportSize()) / m_scale);
}
