#include "BlueprintPDFView.h"

#include "PDFCanvasLinks.h"
#include "PDFMeasureTool.h"
#include "PDFOverviewMap.h"
#include "PDFRenderQueue.h"
#include "PDFSelectionHighlight.h"
#include "PDFTilePainter.h"
#include "PDFWheelZoomFilter.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace {

// Logical pixels an arrow key scrolls.
constexpr int kScrollStep = 24;
// How long stand-ins drawn roughly wait for their tiles before frames compose them.
constexpr int kComposeDelayMs = 50;
// How long an arrived tile waits for the view's other renders before it is shown.
constexpr int kShareFrameMs = 8;

} // namespace

BlueprintPDFView::BlueprintPDFView(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_viewport(new PDFViewport(this, this))
    , m_renderQueue(new PDFRenderQueue(this))
    , m_tiles(std::make_unique<PDFTilePainter>(*m_viewport, *m_renderQueue))
    , m_links(new PDFCanvasLinks(m_viewport, this))
    , m_highlight(new PDFSelectionHighlight(m_viewport, viewport()))
    , m_measure(new PDFMeasureTool(m_viewport, viewport()))
    , m_overview(new PDFOverviewMap(m_viewport, m_renderQueue, viewport()))
    , m_composeLater(new QTimer(this))
    , m_repaintSoon(new QTimer(this))
{
    m_composeLater->setSingleShot(true);
    m_composeLater->setInterval(kComposeDelayMs);
    connect(m_composeLater, &QTimer::timeout, this, [this] {
        m_composeDue = true;
        viewport()->update();
    });
    m_repaintSoon->setSingleShot(true);
    m_repaintSoon->setInterval(kShareFrameMs);
    connect(m_repaintSoon, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
    setObjectName(QStringLiteral("pdf-canvas"));
    setAccessibleName(QStringLiteral("图纸"));
    setFrameShape(QFrame::NoFrame);
    // paintEvent covers every pixel itself; nothing needs clearing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    showScrollBars({});
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
    connect(m_viewport, &PDFViewport::documentChanged, this, &BlueprintPDFView::documentChanged);
    connect(m_viewport, &PDFViewport::scrollChanged, this, &BlueprintPDFView::mirrorScroll);
    connect(m_viewport, &PDFViewport::changed, viewport(), qOverload<>(&QWidget::update));
    connect(m_renderQueue, &PDFRenderQueue::imagesOutdated, viewport(), qOverload<>(&QWidget::update));
    connect(m_renderQueue, &PDFRenderQueue::imageReady, this, [this](const PDFTileKey &key) {
        if (key.document != m_renderQueue->generation())
            return;
        if (!m_renderQueue->isRenderingVisible()) {
            m_repaintSoon->stop();
            viewport()->update();
        } else if (!m_repaintSoon->isActive()) {
            m_repaintSoon->start();
        }
    });
    updateWheelFilter();
}

BlueprintPDFView::~BlueprintPDFView()
{
    // The map watches the viewport widget, which hides its children while the base class is
    // destroyed: by then this object is no longer a viewport host the map may ask.
    delete m_overview;
    if (m_panning)
        QGuiApplication::restoreOverrideCursor();
}

void BlueprintPDFView::setExternalLinkHandler(std::function<void(const QUrl &)> handler)
{
    m_links->setExternalLinkHandler(std::move(handler));
}

void BlueprintPDFView::documentChanged()
{
    // Pending renders of the previous document are cancelled and their results dropped.
    m_renderQueue->setDocument(m_viewport->document());
}

QSize BlueprintPDFView::viewportSize() const
{
    return viewport()->size();
}

PDFViewport::ScrollBars BlueprintPDFView::shownScrollBars() const
{
    return {verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn};
}

void BlueprintPDFView::showScrollBars(PDFViewport::ScrollBars bars)
{
    setVerticalScrollBarPolicy(bars.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(bars.horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void BlueprintPDFView::mirrorScroll()
{
    const QScopedValueRollback<bool> guard(m_mirroringScroll, true);
    const QPoint maximum = m_viewport->scrollMaximum();
    const QPoint position = m_viewport->scrollPosition();
    const QSize size = viewport()->size();
    horizontalScrollBar()->setRange(0, maximum.x());
    horizontalScrollBar()->setPageStep(size.width());
    verticalScrollBar()->setRange(0, maximum.y());
    verticalScrollBar()->setPageStep(size.height());
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
    viewport()->update();
}

void BlueprintPDFView::scrollContentsBy(int, int)
{
    if (!m_mirroringScroll)
        m_viewport->scrollTo(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    viewport()->update();
}

void BlueprintPDFView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_viewport->viewportResized();
}

void BlueprintPDFView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    switch (m_tiles->paint(painter, devicePixelRatioF(), m_composeDue, palette().color(QPalette::Window))) {
    case PDFTilePainter::FollowUp::None:
        m_composeLater->stop();
        m_composeDue = false;
        break;
    case PDFTilePainter::FollowUp::ComposeNow:
        QMetaObject::invokeMethod(viewport(), qOverload<>(&QWidget::update), Qt::QueuedConnection);
        break;
    case PDFTilePainter::FollowUp::ComposeLater:
        if (!m_composeLater->isActive())
            m_composeLater->start();
        break;
    }
    const auto [first, last] = m_viewport->visiblePageRange();
    for (int i = std::max(first, 0); i <= last; ++i)
        m_links->load(i);
    m_highlight->paint(painter);
    m_measure->paint(painter);
    paintFocusRing(painter);
}

void BlueprintPDFView::updateWheelFilter()
{
    // The filter lives exactly while the canvas sits inside a window.
    auto *filter = findChild<PDFWheelZoomFilter *>(QString(), Qt::FindDirectChildrenOnly);
    if (parentWidget() && !filter)
        new PDFWheelZoomFilter(this, m_viewport);
    else if (!parentWidget())
        delete filter;
}

bool BlueprintPDFView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        updateWheelFilter();
    return QAbstractScrollArea::event(event);
}

void BlueprintPDFView::mousePressEvent(QMouseEvent *event)
{
    setFocusVisible(false);
    if (event->button() != Qt::LeftButton || !m_viewport->document()) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressPosition = m_lastPanPosition = event->globalPosition();
    m_viewport->beginPan();
    event->accept();
}

void BlueprintPDFView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed && m_measure->hover(event->position())) {
        event->accept();
        return;
    }
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
    m_viewport->pan(delta);
    event->accept();
}

void BlueprintPDFView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    // A click without a drag puts down a measuring point while measuring, else follows a link.
    if (m_panning)
        endPan();
    else if (!m_measure->click(event->position()))
        m_links->followAt(event->position());
    event->accept();
}

void BlueprintPDFView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click of the pair has put down the last point.
    if (event->button() == Qt::LeftButton && m_measure->finish())
        event->accept();
    else
        QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void BlueprintPDFView::endPan()
{
    if (!m_panning)
        return;
    m_panning = false;
    QGuiApplication::restoreOverrideCursor();
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
    // While measuring: Escape leaves, Enter ends the measurement, Backspace takes a point back.
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && m_measure->mode() != PDFMeasureTool::Mode::Off) {
        bool taken = false;
        switch (event->key()) {
        case Qt::Key_Escape:
            m_measure->setMode(PDFMeasureTool::Mode::Off);
            taken = true;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            taken = m_measure->finish();
            break;
        case Qt::Key_Backspace:
            taken = m_measure->undoPoint();
            break;
        default:
            break;
        }
        if (taken) {
            event->accept();
            return;
        }
    }
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
