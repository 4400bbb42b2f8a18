#include "PDFOverviewMap.h"

#include "PDFDocument.h"
#include "PDFInvertedColors.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFViewport.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// The page's long side in the map at most, and as a share of the view's side at most.
constexpr qreal kLongSide = 180;
constexpr qreal kShareOfView = 0.3;
// Between the map's edge and the page, and between the map and the view's edge.
constexpr qreal kPadding = 5;
constexpr int kMargin = 12;
// How far an arrow key moves the view, as a share of the page.
constexpr qreal kKeyStep = 0.1;
constexpr qreal kSmallestOutline = 8;

} // namespace

PDFOverviewMap::PDFOverviewMap(PDFViewport *viewport, PDFRenderQueue *queue, QWidget *parent)
    : QWidget(parent)
    , m_viewport(viewport)
    , m_queue(queue)
{
    setObjectName(QStringLiteral("pdf-overview-map"));
    setAccessibleName(QStringLiteral("总览图"));
    setAccessibleDescription(QStringLiteral("整页缩略图，框出当前可见区域；点按、拖动或用方向键移动视图"));
    setToolTip(QStringLiteral("总览图：点按或拖动以移动视图"));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
    hide();
    parent->installEventFilter(this);
    for (const auto signal : {&PDFViewport::documentChanged, &PDFViewport::pageChanged, &PDFViewport::scaleChanged,
             &PDFViewport::layoutChanged, &PDFViewport::scrollChanged, &PDFViewport::changed})
        connect(viewport, signal, this, &PDFOverviewMap::refresh);
    connect(queue, &PDFRenderQueue::imageReady, this, [this](const PDFTileKey &key) {
        if (key.kind == PDFTileKey::Preview && key.page == m_page && isVisible())
            update();
    });
}

void PDFOverviewMap::setAllowed(bool allowed)
{
    m_allowed = allowed;
    refresh();
}

void PDFOverviewMap::keepClearOf(QWidget *widget)
{
    if (!widget || m_keepClear.contains(widget))
        return;
    m_keepClear.append(widget);
    widget->installEventFilter(this);
    refresh();
}

bool PDFOverviewMap::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
        refresh();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PDFOverviewMap::refresh()
{
    const int page = m_viewport->document() ? m_viewport->currentPageIndex() : -1;
    const QRectF pageRect = page >= 0 ? m_viewport->pageRectInViewport(page) : QRectF();
    const QRectF view(QPointF(0, 0), QSizeF(m_viewport->viewportSize()));
    // Half a pixel of slack: a fitted page's rectangle may round past the view.
    const bool fits = pageRect.width() <= view.width() + 0.5 && pageRect.height() <= view.height() + 0.5;
    m_page = page;
    m_pageArea = m_visibleArea = QRectF();
    QRect place;
    if (m_allowed && !pageRect.isEmpty() && !fits) {
        const qreal bound = std::min(kLongSide, kShareOfView * std::min(view.width(), view.height()));
        const QSizeF shown = pageRect.size().scaled(QSizeF(bound, bound), Qt::KeepAspectRatio);
        place = placeFor((shown + QSizeF(2 * kPadding, 2 * kPadding)).toSize());
        m_pageArea = QRectF(QPointF(kPadding, kPadding), shown);
        const QRectF seen = pageRect.intersected(view).translated(-pageRect.topLeft());
        const qreal sx = shown.width() / pageRect.width();
        const qreal sy = shown.height() / pageRect.height();
        m_visibleArea = QRectF(seen.left() * sx, seen.top() * sy, seen.width() * sx, seen.height() * sy)
                            .translated(m_pageArea.topLeft());
    }
    if (place.isNull()) {
        m_pageArea = m_visibleArea = QRectF();
        m_dragging = false;
        hide();
        return;
    }
    setGeometry(place);
    if (isHidden()) {
        raise();
        show();
    }
    update();
}

QRect PDFOverviewMap::placeFor(QSize size) const
{
    const QRect area = parentWidget()->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (size.width() > area.width() || size.height() > area.height())
        return {};
    const QPoint corners[] = {area.bottomRight() - QPoint(size.width() - 1, size.height() - 1),
        QPoint(area.left(), area.bottom() - size.height() + 1), area.topLeft(),
        QPoint(area.right() - size.width() + 1, area.top())};
    for (const QPoint &corner : corners) {
        const QRect global(parentWidget()->mapToGlobal(corner), size);
        const bool covers = std::any_of(m_keepClear.cbegin(), m_keepClear.cend(), [&](const QPointer<QWidget> &w) {
            return w && w->isVisible() && QRect(w->mapToGlobal(QPoint(0, 0)), w->size()).intersects(global);
        });
        if (!covers)
            return QRect(corner, size);
    }
    return {};
}

void PDFOverviewMap::centreOn(QPointF point)
{
    if (m_pageArea.isEmpty())
        return;
    const QRectF pageRect = m_viewport->pageRectInViewport(m_page);
    const qreal u = std::clamp((point.x() - m_pageArea.left()) / m_pageArea.width(), 0.0, 1.0);
    const qreal v = std::clamp((point.y() - m_pageArea.top()) / m_pageArea.height(), 0.0, 1.0);
    const QPointF target = pageRect.topLeft() + QPointF(u * pageRect.width(), v * pageRect.height());
    const QPointF centre = QRectF(QPointF(0, 0), QSizeF(m_viewport->viewportSize())).center();
    m_viewport->scrollTo(m_viewport->scrollPosition() + (target - centre).toPoint());
}

void PDFOverviewMap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.fillPath(frame, QColor(40, 40, 40, 215));
    painter.strokePath(frame, QPen(QColor(255, 255, 255, hasFocus() ? 200 : 60), hasFocus() ? 2 : 1));

    const std::shared_ptr<PDFDocument> &document = m_viewport->document();
    const PDFPage *page = document ? document->page(m_page) : nullptr;
    if (!page || m_pageArea.isEmpty())
        return;
    PDFTileKey base;
    base.document = m_queue->generation();
    base.page = m_page;
    base.rotation = page->rotation();
    base.inverted = m_viewport->invertsColors();
    const QImage *preview = m_queue->cache().find(base.preview(page->displaySize()));
    if (preview) {
        const qreal ratio = devicePixelRatioF();
        const QSize size = (m_pageArea.size() * ratio).toSize();
        if (m_scaledFrom != preview->cacheKey() || m_scaledPreview.size() != size) {
            m_scaledPreview = preview->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            m_scaledPreview.setDevicePixelRatio(ratio);
            m_scaledFrom = preview->cacheKey();
        }
        painter.drawImage(m_pageArea.topLeft(), m_scaledPreview);
    } else
        painter.fillRect(m_pageArea, QColor::fromRgb(PDFInvertedColors::paperOf(base.inverted)));
    const QColor accent = palette().color(QPalette::Highlight);
    QColor wash = accent;
    wash.setAlpha(50);
    // At high zoom the view is a speck of the page: its outline is never drawn smaller than this.
    QRectF outline = m_visibleArea;
    outline.setSize(outline.size().expandedTo(QSizeF(kSmallestOutline, kSmallestOutline)));
    outline.moveCenter(m_visibleArea.center());
    painter.fillRect(outline, wash);
    painter.setPen(QPen(QColor(0, 0, 0, 140), 3.5));
    painter.drawRect(outline);
    painter.setPen(QPen(accent, 2));
    painter.drawRect(outline);
}

void PDFOverviewMap::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    centreOn(event->position());
    event->accept();
}

void PDFOverviewMap::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        centreOn(event->position());
    event->accept();
}

void PDFOverviewMap::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    event->accept();
}

void PDFOverviewMap::keyPressEvent(QKeyEvent *event)
{
    QPointF step;
    switch (event->key()) {
    case Qt::Key_Left:
        step = QPointF(-kKeyStep * m_pageArea.width(), 0);
        break;
    case Qt::Key_Right:
        step = QPointF(kKeyStep * m_pageArea.width(), 0);
        break;
    case Qt::Key_Up:
        step = QPointF(0, -kKeyStep * m_pageArea.height());
        break;
    case Qt::Key_Down:
        step = QPointF(0, kKeyStep * m_pageArea.height());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    centreOn(m_visibleArea.center() + step);
    event->accept();
}
