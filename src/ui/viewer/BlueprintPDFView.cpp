#include "BlueprintPDFView.h"

#include "PDFDocument.h"
#include "PDFPage.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QScrollBar>
#include <QThreadPool>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {

// Upper bound on one rendered page image, in device pixels (96 MiB at 4 bytes a pixel).
constexpr qreal kMaxPagePixels = 24.0e6;
// Rendered images within this many pages of the visible ones are kept.
constexpr int kKeptPageDistance = 2;

bool sameScale(qreal a, qreal b)
{
    return std::abs(a - b) <= 0.01 * std::max(a, b);
}

} // namespace

BlueprintPDFView::BlueprintPDFView(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_background(palette().color(QPalette::Window))
{
    setObjectName(QStringLiteral("pdf-canvas"));
    setAccessibleName(QStringLiteral("图纸"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(24);
    verticalScrollBar()->setSingleStep(24);
    viewport()->setAutoFillBackground(false);
    m_selectionPulse = new QVariantAnimation(this);
    m_selectionPulse->setStartValue(0.0);
    m_selectionPulse->setEndValue(1.0);
    m_selectionPulse->setDuration(600);
    connect(m_selectionPulse, &QVariantAnimation::valueChanged, viewport(), qOverload<>(&QWidget::update));
}

BlueprintPDFView::~BlueprintPDFView()
{
    cancelRenders();
}

void BlueprintPDFView::setDocument(std::shared_ptr<PDFDocument> document)
{
    cancelRenders();
    ++m_generation;
    m_images.clear();
    m_document = std::move(document);
    m_selection.reset();
    m_currentPage = -1;
    m_anchor = Anchor{};
    relayout();
    if (m_autoScales)
        applyAutoScale();
    setCurrentPageIndex(m_document && m_document->pageCount() > 0 ? 0 : -1);
    applyAnchor();
    viewport()->update();
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
    m_anchor = Anchor{true, index, {}};
    setCurrentPageIndex(index);
    if (shownPageChanges) {
        updateScrollBars();
        if (m_autoScales)
            applyAutoScale();
    }
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
        m_anchor = Anchor{false, selection.pageIndex, target.center()};
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
        applyAutoScale();
}

void BlueprintPDFView::setDisplayMode(DisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    m_anchor = Anchor{true, std::max(m_currentPage, 0), {}};
    relayout();
    if (m_autoScales)
        applyAutoScale();
}

void BlueprintPDFView::setDisplaysPageBreaks(bool shown)
{
    if (shown == m_layoutSettings.pageBreaks)
        return;
    m_layoutSettings.pageBreaks = shown;
    relayout();
    if (m_autoScales)
        applyAutoScale();
}

void BlueprintPDFView::setPageBreakMargins(const QMarginsF &margins)
{
    m_layoutSettings.margins = margins;
    relayout();
    if (m_autoScales)
        applyAutoScale();
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
    if (m_selection && animate)
        m_selectionPulse->start();
    viewport()->update();
}

void BlueprintPDFView::layoutDocumentView()
{
    relayout();
    if (m_autoScales)
        applyAutoScale();
    viewport()->update();
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
    if (m_anchor.pageTop == false)
        captureCentreAnchor();
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
    updateScrollBars();
    applyAnchor();
}

void BlueprintPDFView::applyAutoScale()
{
    if (!m_document || m_document->pageCount() == 0 || viewport()->size().isEmpty())
        return;
    const int page = std::max(m_currentPage, 0);
    setScaleInternal(m_layout.fitScale(page, QSizeF(viewport()->size())));
}

void BlueprintPDFView::setScaleInternal(qreal scale)
{
    if (!std::isfinite(scale))
        return;
    scale = std::clamp(scale, m_minScale, m_maxScale);
    if (scale == m_scale)
        return;
    if (!m_anchor.pageTop)
        captureCentreAnchor();
    m_scale = scale;
    updateScrollBars();
    applyAnchor();
    viewport()->update();
    emit scaleChanged();
}

void BlueprintPDFView::updateScrollBars()
{
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    const QSize vp = viewport()->size();
    const int maxX = std::max(0, int(std::ceil(doc.width() - vp.width())));
    const int maxY = std::max(0, int(std::ceil(doc.height() - vp.height())));
    m_adjustingScroll = true;
    horizontalScrollBar()->setRange(0, maxX);
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setRange(0, maxY);
    verticalScrollBar()->setPageStep(vp.height());
    m_adjustingScroll = false;
}

void BlueprintPDFView::applyAnchor()
{
    if (!m_document || m_layout.pageCount() == 0)
        return;
    const QSize vp = viewport()->size();
    const QSizeF doc = m_layout.documentSize(m_currentPage) * m_scale;
    qreal x = (doc.width() - vp.width()) / 2;
    qreal y = 0;
    if (m_anchor.pageTop) {
        const QRectF r = m_layout.pageRect(m_anchor.page, m_currentPage);
        const qreal top = m_layoutSettings.pageBreaks ? m_layoutSettings.margins.top() : 0;
        y = (r.top() - top) * m_scale;
    } else {
        x = m_anchor.centre.x() * m_scale - vp.width() / 2.0;
        y = m_anchor.centre.y() * m_scale - vp.height() / 2.0;
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
    const QPointF centre = QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0);
    m_anchor = Anchor{false, m_currentPage, (centre - contentOffset()) / m_scale};
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
    updateScrollBars();
    if (m_autoScales)
        applyAutoScale();
    applyAnchor();
}

qreal BlueprintPDFView::targetPixelScale(int page) const
{
    const QSizeF size = m_document->page(page)->displaySize();
    qreal scale = m_scale * devicePixelRatioF();
    const qreal area = size.width() * size.height() * scale * scale;
    if (area > kMaxPagePixels)
        scale *= std::sqrt(kMaxPagePixels / area);
    return scale;
}

void BlueprintPDFView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), m_background);
    if (!m_document || m_layout.pageCount() == 0)
        return;

    const QRectF visible = visibleDocumentRect();
    int first = m_currentPage;
    int last = m_currentPage;
    if (m_displayMode == DisplayMode::SinglePageContinuous) {
        first = m_layout.pageAt(visible.top());
        last = m_layout.pageAt(visible.bottom());
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = first; i <= last && i >= 0; ++i) {
        const QRectF r = pageRectInViewport(i);
        if (r.isEmpty() || !r.intersects(QRectF(viewport()->rect())))
            continue;
        painter.fillRect(r.translated(1, 2), QColor(0, 0, 0, 50));
        painter.fillRect(r, Qt::white);
        const PDFPage *page = m_document->page(i);
        const qreal wanted = targetPixelScale(i);
        const auto it = m_images.constFind(i);
        const bool haveImage = it != m_images.cend() && it->rotation == page->rotation();
        if (haveImage)
            painter.drawImage(r, it->image);
        if (!haveImage || !sameScale(it->pixelScale, wanted))
            requestRender(i, page->rotation(), wanted);
    }

    if (m_selection && m_document->page(m_selection->pageIndex)) {
        const PDFPage *page = m_document->page(m_selection->pageIndex);
        const QRectF r = pageRectInViewport(m_selection->pageIndex);
        if (!r.isEmpty()) {
            QTransform t = page->pageToDisplay();
            t *= QTransform::fromScale(m_scale, m_scale);
            t *= QTransform::fromTranslate(r.left(), r.top());
            const qreal pulse = m_selectionPulse->state() == QAbstractAnimation::Running
                ? m_selectionPulse->currentValue().toReal()
                : 1.0;
            const qreal grow = (1.0 - pulse) * 6.0;
            for (const QRectF &rect : m_selection->rects) {
                const QRectF shown = t.mapRect(rect).adjusted(-grow, -grow, grow, grow);
                painter.fillRect(shown, QColor(255, 214, 0, 110));
                painter.setPen(QPen(QColor(230, 150, 0), 1.5));
                painter.drawRect(shown);
            }
        }
    }
}

void BlueprintPDFView::requestRender(int page, int rotation, qreal pixelScale)
{
    const auto pending = m_pending.constFind(page);
    if (pending != m_pending.cend()) {
        if (pending->rotation == rotation && sameScale(pending->pixelScale, pixelScale))
            return;
        pending->cookie->cancel();
    }
    auto cookie = std::make_shared<PDFRenderCookie>();
    m_pending.insert(page, PendingRender{cookie, rotation, pixelScale});

    const QSizeF size = m_document->page(page)->displaySize();
    const QRect tile(0, 0, int(std::ceil(size.width() * pixelScale)), int(std::ceil(size.height() * pixelScale)));
    const quint64 generation = m_generation;
    QPointer<BlueprintPDFView> self(this);
    std::shared_ptr<PDFDocument> document = m_document;
    QThreadPool::globalInstance()->start([=]() mutable {
        QImage image = document->renderTile(page, rotation, pixelScale, tile, cookie.get());
        image.setDevicePixelRatio(1.0);
        // Hand the result, and our reference to the document, back to the UI thread: the
        // document is a QObject of that thread and must be released there.
        QMetaObject::invokeMethod(
            qApp,
            [self, document = std::move(document), generation, page, rotation, pixelScale, image]() {
                if (self)
                    self->renderFinished(generation, page, rotation, pixelScale, image);
            },
            Qt::QueuedConnection);
    });
}

void BlueprintPDFView::renderFinished(quint64 generation, int page, int rotation, qreal pixelScale,
                                      const QImage &image)
{
    if (generation != m_generation)
        return;
    const auto pending = m_pending.constFind(page);
    if (pending != m_pending.cend() && pending->rotation == rotation && pending->pixelScale == pixelScale)
        m_pending.erase(pending);
    if (image.isNull())
        return;
    m_images.insert(page, PageImage{image, rotation, pixelScale});
    dropFarImages();
    viewport()->update();
}

void BlueprintPDFView::cancelRenders()
{
    for (const PendingRender &pending : std::as_const(m_pending))
        pending.cookie->cancel();
    m_pending.clear();
}

void BlueprintPDFView::dropFarImages()
{
    const QRectF visible = visibleDocumentRect();
    const int first = m_layout.pageAt(visible.top()) - kKeptPageDistance;
    const int last = m_layout.pageAt(visible.bottom()) + kKeptPageDistance;
    for (auto it = m_images.begin(); it != m_images.end();) {
        const bool near = it.key() == m_currentPage || (it.key() >= first && it.key() <= last);
        it = near ? std::next(it) : m_images.erase(it);
    }
}
