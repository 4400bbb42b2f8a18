#include "BlueprintPDFView.h"

#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFTileKey.h"
#include "PlenvoThreadHandOver.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QThreadPool>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace {

// The long side, in device pixels, of the low-resolution picture kept for every page shown.
constexpr double kPreviewLongSide = 1200.0;
// UI time a frame may spend before it draws the remaining stand-ins roughly.
constexpr qint64 kStandInBudgetNs = 2'000'000;
// How far, in logical pixels, the document may stick out of the view and still count as fitting:
// a fitted scale reproduces the view's extent only up to rounding.
constexpr qreal kFitTolerance = 0.5;
// The found-match highlight's outline and ring, and the ring's smallest size on screen and life.
constexpr QColor kMatchColor(230, 150, 0);
constexpr qreal kMatchMarkerMinimum = 28;
constexpr int kMatchMarkerMs = 2000;
// Wheel sensitivity: scale × e^(delta × k).
constexpr double kLineWheelSensitivity = 0.12;
constexpr double kPreciseWheelSensitivity = 0.012;

std::atomic<int> g_installedScrollMonitors {0};

} // namespace

BlueprintPDFView::BlueprintPDFView(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_background(palette().color(QPalette::Window))
    , m_renderQueue(new PDFRenderQueue(this))
    , m_openExternalLink([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("pdf-canvas"));
    setAccessibleName(QStringLiteral("图纸"));
    setFrameShape(QFrame::NoFrame);
    // paintEvent covers every pixel itself; nothing needs clearing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    showScrollBars({});
    horizontalScrollBar()->setSingleStep(24);
    verticalScrollBar()->setSingleStep(24);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::OpenHandCursor);
    m_selectionPulse = new QVariantAnimation(this);
    m_selectionPulse->setStartValue(0.0);
    m_selectionPulse->setEndValue(1.0);
    m_selectionPulse->setDuration(600);
    connect(m_selectionPulse, &QVariantAnimation::valueChanged, viewport(), qOverload<>(&QWidget::update));
    // The ring around a found match: held, then faded out.
    m_matchMarker = new QVariantAnimation(this);
    m_matchMarker->setDuration(kMatchMarkerMs);
    m_matchMarker->setKeyValueAt(0.0, 1.0);
    m_matchMarker->setKeyValueAt(0.7, 1.0);
    m_matchMarker->setKeyValueAt(1.0, 0.0);
    connect(m_matchMarker, &QVariantAnimation::valueChanged, viewport(), qOverload<>(&QWidget::update));
    connect(m_renderQueue, &PDFRenderQueue::imageReady, this, &BlueprintPDFView::imageReady);
    updateScrollMonitor();
}

BlueprintPDFView::~BlueprintPDFView()
{
    removeScrollMonitor();
    if (m_panning)
        QGuiApplication::restoreOverrideCursor();
}

void BlueprintPDFView::setDocument(std::shared_ptr<PDFDocument> document)
{
    m_renderQueue->setDocument(document);
    m_document = std::move(document);
    m_selection.reset();
    m_links.clear();
    m_linksLoading.clear();
    m_currentPage = m_document && m_document->pageCount() > 0 ? 0 : -1;
    m_anchor = Anchor {};
    relayout();
    emit documentChanged();
    // A new document always counts as a page change, even from page 0 to page 0.
    emit pageChanged();
}

PDFPage *BlueprintPDFView::currentPage() const
{
    return m_document ? m_document->page(m_currentPage) : nullptr;
}

void BlueprintPDFView::go(PDFPage *page)
{
    if (!m_document || !page || page->document() != m_document.get())
        return;
    goToPageIndex(page->index());
}

void BlueprintPDFView::goToPageIndex(int index)
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
    viewport()->update();
}

void BlueprintPDFView::go(const PDFSelection &selection)
{
    if (!m_document || selection.isEmpty() || !m_document->page(selection.pageIndex))
        return;
    if (m_displayMode == DisplayMode::SinglePage && selection.pageIndex != m_currentPage)
        goToPageIndex(selection.pageIndex);
    PDFPage *page = m_document->page(selection.pageIndex);
    const QRectF pageRect = m_layout.pageRect(selection.pageIndex, m_currentPage);
    const QRectF target = page->pageToDisplay().mapRect(selection.bounds()).translated(pageRect.topLeft());
    const QRectF visible = visibleDocumentRect();
    if (!visible.contains(target)) {
        m_anchor = Anchor {false, selection.pageIndex,
            QPointF((target.center().x() - pageRect.left()) / pageRect.width(),
                (target.center().y() - pageRect.top()) / pageRect.height())};
        applyAnchor();
        setCurrentPageIndex(selection.pageIndex);
    }
    viewport()->update();
}

bool BlueprintPDFView::canGoToPreviousPage() const
{
    return m_document && m_currentPage > 0;
}

bool BlueprintPDFView::canGoToNextPage() const
{
    return m_document && m_currentPage + 1 < m_document->pageCount();
}

void BlueprintPDFView::goToPreviousPage()
{
    if (canGoToPreviousPage())
        goToPageIndex(m_currentPage - 1);
}

void BlueprintPDFView::goToNextPage()
{
    if (canGoToNextPage())
        goToPageIndex(m_currentPage + 1);
}

void BlueprintPDFView::setScaleFactor(qreal scale)
{
    // A scale asked for is a manual zoom; it keeps the middle of the view in place.
    m_autoScales = false;
    captureCentreAnchor();
    setScaleInternal(scale);
}

void BlueprintPDFView::setMinScaleFactor(qreal scale)
{
    m_minScale = scale;
    m_maxScale = std::max(m_maxScale, m_minScale);
    setScaleInternal(m_scale);
}

void BlueprintPDFView::setMaxScaleFactor(qreal scale)
{
    m_maxScale = scale;
    m_minScale = std::min(m_minScale, m_maxScale);
    setScaleInternal(m_scale);
}

void BlueprintPDFView::setAutoScales(bool autoScales)
{
    m_autoScales = autoScales;
    if (m_autoScales)
        reflow();
}

void BlueprintPDFView::setDisplayMode(DisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    m_anchor = Anchor {true, std::max(m_currentPage, 0), {}};
    relayout();
}

void BlueprintPDFView::setDisplaysPageBreaks(bool shown)
{
    if (shown == m_layoutSettings.pageBreaks)
        return;
    m_layoutSettings.pageBreaks = shown;
    relayout();
}

void BlueprintPDFView::setPageBreakMargins(const QMarginsF &margins)
{
    m_layoutSettings.margins = margins;
    relayout();
}

void BlueprintPDFView::setBackgroundColor(const QColor &color)
{
    m_background = color;
    viewport()->update();
}

void BlueprintPDFView::setCurrentSelection(const std::optional<PDFSelection> &selection, bool animate)
{
    m_selection = selection;
    m_selectionPulse->stop();
    m_matchMarker->stop();
    if (m_selection && animate) {
        m_selectionPulse->start();
        m_matchMarker->start();
    }
    viewport()->update();
}

void BlueprintPDFView::layoutDocumentView()
{
    // The current page stays current: a fitted view shows it whole, a zoomed one keeps the
    // view's centre on the same relative spot of the page (see Anchor).
    if (m_autoScales && m_currentPage >= 0)
        m_anchor = Anchor {true, m_currentPage, {}};
    relayout();
    emit layoutChanged();
}

QRectF BlueprintPDFView::pageRectInViewport(int index) const
{
    const QRectF r = m_layout.pageRect(index, m_currentPage);
    if (r.isEmpty())
        return {};
    return QRectF(r.topLeft() * m_scale + contentOffset(), r.size() * m_scale);
}

void BlueprintPDFView::relayout()
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

BlueprintPDFView::ScrollBars BlueprintPDFView::scrollBarsNeeded(qreal scale, QSizeF viewportSize) const
{
    const QSizeF document = m_layout.documentSize(m_currentPage) * scale;
    return {document.height() > viewportSize.height() + kFitTolerance,
        document.width() > viewportSize.width() + kFitTolerance};
}

BlueprintPDFView::ScrollBars BlueprintPDFView::shownScrollBars() const
{
    return {verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn};
}

void BlueprintPDFView::showScrollBars(ScrollBars bars)
{
    setVerticalScrollBarPolicy(bars.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(bars.horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void BlueprintPDFView::reflow()
{
    // Showing or hiding a scroll bar resizes the viewport, which lands here again; the outer
    // call has already taken that size into account.
    if (m_reflowing)
        return;
    const QScopedValueRollback<bool> guard(m_reflowing, true);

    const bool fitting = m_autoScales && m_document && m_layout.pageCount() > 0;
    const int fittedPage = std::max(m_currentPage, 0);
    auto scaleFor = [&](QSizeF viewportSize) {
        if (!fitting || viewportSize.isEmpty())
            return m_scale;
        return std::clamp(m_layout.fitScale(fittedPage, viewportSize), m_minScale, m_maxScale);
    };
    qreal scale = m_scale;
    auto agrees = [&](ScrollBars bars) {
        const QSizeF viewportSize(viewport()->size());
        scale = scaleFor(viewportSize);
        return scrollBarsNeeded(scale, viewportSize) == bars;
    };
    // The bars shown stay while they agree with the scale they lead to (zooming and panning
    // mostly end here). Otherwise the fewest bars that agree; both bars, when nothing else
    // agrees, is a resting state too, because the policy is the canvas's, not Qt's "as needed".
    if (!agrees(shownScrollBars())) {
        static constexpr ScrollBars choices[] = {{false, false}, {true, false}, {false, true}, {true, true}};
        for (const ScrollBars &bars : choices) {
            showScrollBars(bars);
            if (agrees(bars))
                break;
        }
    }

    const bool scaleChanges = std::isfinite(scale) && scale != m_scale;
    if (scaleChanges)
        m_scale = scale;
    updateScrollRanges();
    applyAnchor();
    viewport()->update();
    if (scaleChanges)
        emit scaleChanged();
}

void BlueprintPDFView::setScaleInternal(qreal scale)
{
    if (!std::isfinite(scale))
        return;
    scale = std::clamp(scale, m_minScale, m_maxScale);
    if (scale == m_scale)
        return;
    m_scale = scale;
    // reflow() would fit again while automatic scaling is on; a scale set here is manual.
    const bool autoScales = std::exchange(m_autoScales, false);
    reflow();
    m_autoScales = autoScales;
    emit scaleChanged();
}

void BlueprintPDFView::updateScrollRanges()
{
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    const QSize vp = viewport()->size();
    auto maximum
        = [](qreal extent, int view) { return extent > view + kFitTolerance ? int(std::ceil(extent - view)) : 0; };
    m_adjustingScroll = true;
    horizontalScrollBar()->setRange(0, maximum(doc.width(), vp.width()));
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setRange(0, maximum(doc.height(), vp.height()));
    verticalScrollBar()->setPageStep(vp.height());
    m_adjustingScroll = false;
}

void BlueprintPDFView::applyAnchor()
{
    if (!m_document || m_layout.pageCount() == 0)
        return;
    const QSize vp = viewport()->size();
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
    m_adjustingScroll = true;
    horizontalScrollBar()->setValue(int(std::lround(x)));
    verticalScrollBar()->setValue(int(std::lround(y)));
    m_adjustingScroll = false;
    if (!m_anchor.pageTop)
        updateCurrentPageFromScroll();
}

void BlueprintPDFView::captureCentreAnchor()
{
    if (!m_document || m_layout.pageCount() == 0 || viewport()->size().isEmpty())
        return;
    const QPointF centre = (QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0) - contentOffset()) / m_scale;
    const int page = m_displayMode == DisplayMode::SinglePage ? m_currentPage : m_layout.pageAt(centre.y());
    const QRectF r = m_layout.pageRect(page, m_currentPage);
    if (r.isEmpty())
        return;
    m_anchor = Anchor {false, page, QPointF((centre.x() - r.left()) / r.width(), (centre.y() - r.top()) / r.height())};
}

void BlueprintPDFView::scrollContentsBy(int, int)
{
    if (!m_adjustingScroll) {
        captureCentreAnchor();
        updateCurrentPageFromScroll();
    }
    viewport()->update();
}

void BlueprintPDFView::updateCurrentPageFromScroll()
{
    if (!m_document || m_displayMode == DisplayMode::SinglePage || viewport()->size().isEmpty())
        return;
    const qreal centreY = (viewport()->height() / 2.0 - contentOffset().y()) / m_scale;
    setCurrentPageIndex(m_layout.pageAt(centreY));
}

void BlueprintPDFView::setCurrentPageIndex(int index)
{
    if (index == m_currentPage)
        return;
    m_currentPage = index;
    emit pageChanged();
}

QPointF BlueprintPDFView::contentOffset() const
{
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    const QSize vp = viewport()->size();
    const qreal cx = std::max<qreal>(0, (vp.width() - doc.width()) / 2);
    const qreal cy = std::max<qreal>(0, (vp.height() - doc.height()) / 2);
    return {cx - horizontalScrollBar()->value(), cy - verticalScrollBar()->value()};
}

QRectF BlueprintPDFView::visibleDocumentRect() const
{
    const QPointF offset = contentOffset();
    return QRectF(-offset / m_scale, QSizeF(viewport()->size()) / m_scale);
}

void BlueprintPDFView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    reflow();
}

QPair<int, int> BlueprintPDFView::visiblePageRange() const
{
    if (m_displayMode == DisplayMode::SinglePage)
        return {m_currentPage, m_currentPage};
    const QRectF visible = visibleDocumentRect();
    return {m_layout.pageAt(visible.top()), m_layout.pageAt(visible.bottom())};
}

double BlueprintPDFView::previewPixelScale(const PDFPage *page) const
{
    const QSizeF size = page->displaySize();
    const double longSide = std::max(size.width(), size.height());
    return longSide > 0 ? kPreviewLongSide / longSide : 1.0;
}

BlueprintPDFView::PageGeometry BlueprintPDFView::pageGeometry(int index) const
{
    PageGeometry g;
    const PDFPage *page = m_document ? m_document->page(index) : nullptr;
    const QRectF r = pageRectInViewport(index);
    if (!page || r.isEmpty())
        return g;
    const qreal dpr = devicePixelRatioF();
    g.page = page;
    g.size = page->displaySize();
    g.base.document = m_renderQueue->generation();
    g.base.page = index;
    g.base.rotation = page->rotation();
    g.base.scaleKey = PDFTileKey::scaleKeyFor(m_scale * dpr);
    // Pages start on whole device pixels so that tiles meet without seams and draw 1:1.
    g.origin = QPoint(qRound(r.left() * dpr), qRound(r.top() * dpr));
    PDFTileKey whole = g.base;
    whole.kind = PDFTileKey::Preview;
    g.pagePixels = whole.pixelRect(g.size);
    const QRect view(QPoint(0, 0), (QSizeF(viewport()->size()) * dpr).toSize());
    g.visiblePixels = g.pagePixels.translated(g.origin).intersected(view).translated(-g.origin);
    return g;
}

void BlueprintPDFView::paintEvent(QPaintEvent *)
{
    m_paintClock.start();
    QPainter painter(viewport());
    // Every pixel is painted once: the background only around the pages, the pages by their
    // tiles or stand-ins (paper only where neither exists).
    const qreal dpr = devicePixelRatioF();
    QRegion background(QRect(QPoint(0, 0), (QSizeF(viewport()->size()) * dpr).toSize()));
    const auto [first, last] = m_document && m_layout.pageCount() > 0 ? visiblePageRange() : qMakePair(0, -1);
    QList<PageGeometry> pages;
    for (int i = std::max(first, 0); i <= last; ++i) {
        pages.append(pageGeometry(i));
        if (pages.last().page)
            background -= pages.last().pagePixels.translated(pages.last().origin);
    }
    painter.save();
    painter.scale(1 / dpr, 1 / dpr);
    for (const QRect &rect : background)
        painter.fillRect(rect, m_background);
    painter.restore();
    if (!m_document || m_layout.pageCount() == 0) {
        paintFocusRing(painter);
        return;
    }

    QSet<PDFTileKey> wanted;
    bool blank = false;
    for (const PageGeometry &g : std::as_const(pages)) {
        if (!paintPage(painter, g, wanted))
            blank = true;
    }
    m_renderQueue->retain(wanted, PDFTileKey::Tile);
    m_standIns.retain(wanted);
    if (std::exchange(m_standInsPending, false))
        QMetaObject::invokeMethod(viewport(), qOverload<>(&QWidget::update), Qt::QueuedConnection);
    paintSelection(painter);
    paintFocusRing(painter);
    ++m_frameStats.frames;
    if (blank)
        ++m_frameStats.blankFrames;
}

bool BlueprintPDFView::paintPage(QPainter &painter, const PageGeometry &g, QSet<PDFTileKey> &wanted)
{
    if (!g.page || g.visiblePixels.isEmpty())
        return true;
    const int index = g.base.page;
    loadLinks(index);
    const qreal dpr = devicePixelRatioF();
    const double pixelScale = g.base.pixelScale();
    PDFTileCache &cache = m_renderQueue->cache();

    painter.save();
    painter.scale(1 / dpr, 1 / dpr); // device pixels from here on
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect pageRect = g.pagePixels.translated(g.origin);
    for (const QRect &shadow : QRegion(pageRect.translated(qRound(dpr), qRound(2 * dpr))) - QRegion(pageRect))
        painter.fillRect(shadow, QColor(0, 0, 0, 45));

    PDFTileKey preview = g.base;
    preview.kind = PDFTileKey::Preview;
    preview.scaleKey = PDFTileKey::scaleKeyFor(previewPixelScale(g.page));
    const QImage *previewImage = cache.find(preview);

    // Tiles of other scales that can stand in, nearest to the current scale first.
    QList<qint64> scales = cache.cachedTileScales(g.base.document, index, g.base.rotation);
    scales.removeAll(g.base.scaleKey);
    std::sort(scales.begin(), scales.end(), [&](qint64 a, qint64 b) {
        return std::abs(std::log(a / 1.0e6 / pixelScale)) < std::abs(std::log(b / 1.0e6 / pixelScale));
    });

    const int t = PDFTileKey::tileSize;
    const QPointF centre = QRectF(g.visiblePixels).center();
    bool covered = true;
    bool anyTile = !scales.isEmpty();
    const PDFStandIns::Page standInPage {g.base, g.size, g.pagePixels, g.origin, previewImage, scales};
    for (int row = g.visiblePixels.top() / t; row <= g.visiblePixels.bottom() / t; ++row) {
        for (int column = g.visiblePixels.left() / t; column <= g.visiblePixels.right() / t; ++column) {
            PDFTileKey key = g.base;
            key.column = column;
            key.row = row;
            wanted.insert(key);
            const QRect tileRect = key.pixelRect(g.size);
            if (const QImage *image = cache.find(key)) {
                painter.drawImage(tileRect.topLeft() + g.origin, *image);
                m_standIns.drop(key);
                anyTile = true;
                continue;
            }
            const QPointF d = QRectF(tileRect).center() - centre;
            m_renderQueue->request(key, PDFRenderQueue::Visible, std::hypot(d.x(), d.y()));
            bool rough = false;
            const bool mayCompose = m_paintClock.nsecsElapsed() <= kStandInBudgetNs;
            covered = m_standIns.draw(painter, cache, standInPage, key, mayCompose, &rough) && covered;
            m_standInsPending = m_standInsPending || rough;
        }
    }

    // The preview waits until the visible tiles are under way, unless the page has nothing at
    // all to show and is zoomed in far enough that its tiles are the slower way to a picture.
    if (!previewImage) {
        const bool nothingToShow = !anyTile && pixelScale > 2 * preview.pixelScale();
        m_renderQueue->request(preview, nothingToShow ? PDFRenderQueue::Visible : PDFRenderQueue::Background,
            nothingToShow ? -1.0 : std::abs(index - m_currentPage));
    }
    painter.restore();
    return covered;
}

bool BlueprintPDFView::isViewSharp() const
{
    if (!m_document)
        return true;
    const auto [first, last] = visiblePageRange();
    const int t = PDFTileKey::tileSize;
    for (int i = std::max(first, 0); i <= last; ++i) {
        const PageGeometry g = pageGeometry(i);
        if (!g.page || g.visiblePixels.isEmpty())
            continue;
        for (int row = g.visiblePixels.top() / t; row <= g.visiblePixels.bottom() / t; ++row) {
            for (int column = g.visiblePixels.left() / t; column <= g.visiblePixels.right() / t; ++column) {
                PDFTileKey key = g.base;
                key.column = column;
                key.row = row;
                if (!m_renderQueue->cache().contains(key))
                    return false;
            }
        }
    }
    return true;
}

void BlueprintPDFView::imageReady(const PDFTileKey &key)
{
    if (key.document == m_renderQueue->generation())
        viewport()->update();
}

void BlueprintPDFView::paintSelection(QPainter &painter)
{
    if (!m_selection || !m_document->page(m_selection->pageIndex))
        return;
    const PDFPage *page = m_document->page(m_selection->pageIndex);
    const QRectF r = pageRectInViewport(m_selection->pageIndex);
    if (r.isEmpty())
        return;
    QTransform t = page->pageToDisplay();
    t *= QTransform::fromScale(m_scale, m_scale);
    t *= QTransform::fromTranslate(r.left(), r.top());
    const qreal pulse
        = m_selectionPulse->state() == QAbstractAnimation::Running ? m_selectionPulse->currentValue().toReal() : 1.0;
    const qreal grow = (1.0 - pulse) * 6.0;
    painter.setPen(QPen(kMatchColor, 1.5));
    QRectF bounds;
    for (const QRectF &rect : m_selection->rects) {
        const QRectF shown = t.mapRect(rect).adjusted(-grow, -grow, grow, grow);
        painter.fillRect(shown, QColor(255, 214, 0, 110));
        painter.drawRect(shown);
        bounds |= shown;
    }
    paintMatchMarker(painter, bounds);
}

void BlueprintPDFView::paintMatchMarker(QPainter &painter, const QRectF &match)
{
    // On a fitted sheet a match can be a few pixels wide: a ring of at least kMatchMarkerMinimum
    // logical pixels across, whatever the scale, shows where it is until it fades.
    if (m_matchMarker->state() != QAbstractAnimation::Running || match.isEmpty())
        return;
    const qreal opacity = m_matchMarker->currentValue().toReal();
    const qreal radius = std::max(std::hypot(match.width(), match.height()) / 2 + 6, kMatchMarkerMinimum / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 6)); // a halo that keeps the ring clear of dark lines
    painter.drawEllipse(match.center(), radius, radius);
    painter.setPen(QPen(kMatchColor, 3));
    painter.drawEllipse(match.center(), radius, radius);
    painter.restore();
}

qreal BlueprintPDFView::applyScrollZoom(qreal scrollingDeltaY, bool hasPreciseDeltas)
{
    m_autoScales = false;
    const qreal current = m_scale;
    qreal candidate = current;
    if (scrollingDeltaY != 0) {
        const double k = hasPreciseDeltas ? kPreciseWheelSensitivity : kLineWheelSensitivity;
        candidate = current * std::exp(scrollingDeltaY * k);
    }
    if (candidate <= m_minScale)
        candidate = m_minScale;
    if (candidate > m_maxScale)
        candidate = m_maxScale;
    captureCentreAnchor();
    setScaleInternal(candidate);
    return m_scale;
}

std::optional<QPointF> BlueprintPDFView::applyPanTranslation(QPointF translation)
{
    if (!m_document)
        return std::nullopt;
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    // Scroll positions are whole pixels; the fraction left over is carried to the next move
    // so that the drawing follows the pointer exactly.
    const QPointF target = QPointF(h->value(), v->value()) - translation + m_panRemainder;
    const int x = std::clamp(int(std::lround(target.x())), h->minimum(), h->maximum());
    const int y = std::clamp(int(std::lround(target.y())), v->minimum(), v->maximum());
    m_panRemainder = QPointF(
        x == int(std::lround(target.x())) ? target.x() - x : 0, y == int(std::lround(target.y())) ? target.y() - y : 0);
    h->setValue(x);
    v->setValue(y);
    return QPointF(x, y);
}

int BlueprintPDFView::installedScrollMonitorCount()
{
    return g_installedScrollMonitors.load();
}

void BlueprintPDFView::installScrollMonitorIfNeeded()
{
    if (m_scrollMonitorInstalled || !qApp)
        return;
    qApp->installEventFilter(this);
    m_scrollMonitorInstalled = true;
    ++g_installedScrollMonitors;
}

void BlueprintPDFView::removeScrollMonitor()
{
    if (!m_scrollMonitorInstalled)
        return;
    if (qApp)
        qApp->removeEventFilter(this);
    m_scrollMonitorInstalled = false;
    --g_installedScrollMonitors;
}

void BlueprintPDFView::updateScrollMonitor()
{
    // The monitor lives exactly while the canvas sits inside a window.
    if (parentWidget())
        installScrollMonitorIfNeeded();
    else
        removeScrollMonitor();
}

bool BlueprintPDFView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        updateScrollMonitor();
    return QAbstractScrollArea::event(event);
}

bool BlueprintPDFView::eventFilter(QObject *watched, QEvent *event)
{
    if (m_scrollMonitorInstalled && event->type() == QEvent::Wheel && watched->isWidgetType())
        return monitorWheel(static_cast<QWidget *>(watched), static_cast<QWheelEvent *>(event));
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool BlueprintPDFView::monitorWheel(QWidget *receiver, QWheelEvent *event)
{
    if (!parentWidget() || !isVisible() || receiver->window() != window())
        return false;
    const QPoint local = mapFromGlobal(event->globalPosition()).toPoint();
    // The opaque viewport is cut out of the canvas's own visible region; count it back in.
    const QRegion shown = visibleRegion() + viewport()->visibleRegion().translated(viewport()->pos());
    if (!shown.boundingRect().contains(local))
        return false;
    const bool precise = !event->pixelDelta().isNull();
    const QPointF delta = precise ? QPointF(event->pixelDelta()) : QPointF(event->angleDelta()) / 120.0;
    if (std::abs(delta.x()) > std::abs(delta.y()) || delta.y() == 0)
        return false;
    applyScrollZoom(delta.y(), precise);
    event->accept();
    return true;
}

void BlueprintPDFView::mousePressEvent(QMouseEvent *event)
{
    setFocusVisible(false);
    if (event->button() != Qt::LeftButton || !m_document) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressPosition = m_lastPanPosition = event->globalPosition();
    m_panRemainder = {};
    event->accept();
}

void BlueprintPDFView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPointF position = event->globalPosition();
    if (!m_panning) {
        if ((position - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
            return;
        m_panning = true;
        QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    }
    const QPointF delta = position - m_lastPanPosition;
    m_lastPanPosition = position;
    applyPanTranslation(delta);
    event->accept();
}

void BlueprintPDFView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    if (m_panning)
        endPan();
    else
        followLinkAt(event->position());
    event->accept();
}

void BlueprintPDFView::paintFocusRing(QPainter &painter)
{
    if (!m_focusVisible || !hasFocus())
        return;
    painter.save();
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
    painter.restore();
}

void BlueprintPDFView::focusInEvent(QFocusEvent *event)
{
    // Shown when the keyboard brought the focus, as the one cue of where typing goes; a click
    // or the program moving the focus shows nothing.
    const Qt::FocusReason reason = event->reason();
    setFocusVisible(reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason);
    QAbstractScrollArea::focusInEvent(event);
}

void BlueprintPDFView::keyPressEvent(QKeyEvent *event)
{
    // Arrows and Page Up/Down scroll (the scroll area's own keys); using them shows the focus.
    QAbstractScrollArea::keyPressEvent(event);
    if (event->isAccepted())
        setFocusVisible(true);
}

void BlueprintPDFView::setFocusVisible(bool visible)
{
    if (visible == m_focusVisible)
        return;
    m_focusVisible = visible;
    viewport()->update();
}

void BlueprintPDFView::focusOutEvent(QFocusEvent *event)
{
    setFocusVisible(false);
    // A drag cut short (another window took the pointer) still gives its cursor back.
    if (m_panning && QApplication::mouseButtons() == Qt::NoButton) {
        m_pressed = false;
        endPan();
    }
    QAbstractScrollArea::focusOutEvent(event);
}

void BlueprintPDFView::endPan()
{
    if (!m_panning)
        return;
    m_panning = false;
    QGuiApplication::restoreOverrideCursor();
}

void BlueprintPDFView::loadLinks(int page)
{
    if (!m_document || m_links.contains(page) || m_linksLoading.contains(page))
        return;
    m_linksLoading.insert(page);
    QPointer<BlueprintPDFView> self(this);
    std::shared_ptr<PDFDocument> document = m_document;
    PlenvoThreadHandOver::start(QThreadPool::globalInstance(), [self, page, document]() mutable {
        QVector<PDFLink> links = document->links(page);
        PlenvoThreadHandOver::post(qApp, [self, page, links = std::move(links), document = std::move(document)]() {
            if (!self || self->m_document != document)
                return;
            self->m_linksLoading.remove(page);
            self->m_links.insert(page, links);
        });
    });
}

void BlueprintPDFView::followLinkAt(QPointF viewportPoint)
{
    if (!m_document)
        return;
    const auto [first, last] = visiblePageRange();
    for (int i = std::max(first, 0); i <= last; ++i) {
        const QRectF r = pageRectInViewport(i);
        if (!r.contains(viewportPoint))
            continue;
        const auto links = m_links.constFind(i);
        if (links == m_links.cend())
            return;
        const QPointF displayPoint = (viewportPoint - r.topLeft()) / m_scale;
        const QPointF pagePoint = m_document->page(i)->pageToDisplay().inverted().map(displayPoint);
        for (const PDFLink &link : *links) {
            if (!link.rect.contains(pagePoint))
                continue;
            if (link.destinationPage >= 0) {
                goToPageIndex(link.destinationPage);
            } else {
                const QUrl url(link.uri);
                const QString scheme = url.scheme().toLower();
                if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
                    || scheme == QLatin1String("mailto"))
                    m_openExternalLink(url);
            }
            return;
        }
        return;
    }
}
