#include "PDFThumbnailView.h"

#include "BlueprintPDFView.h"
#include "PDFDocument.h"
#include "PDFInvertedColors.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFViewerStyle.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kLabelHeight = 18;
constexpr int kSpacing = 14;
constexpr int kCellHeight = PDFThumbnailView::thumbnailSize.height() + kLabelHeight + kSpacing;
constexpr qreal kFocusRingWidth = 2;

} // namespace

PDFThumbnailView::PDFThumbnailView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("pdf-thumbnails"));
    setAccessibleName(QStringLiteral("页面缩略图"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(kCellHeight / 3);
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);
}

void PDFThumbnailView::setPDFView(BlueprintPDFView *view)
{
    if (view == m_pdfView)
        return;
    for (auto &connection : m_connections)
        disconnect(connection);
    m_pdfView = view;
    if (view) {
        PDFViewport *pages = view->pdfViewport();
        m_connections[0] = connect(pages, &PDFViewport::documentChanged, this, &PDFThumbnailView::documentChanged);
        m_connections[1] = connect(pages, &PDFViewport::pageChanged, this, &PDFThumbnailView::currentPageChanged);
        m_connections[2] = connect(pages, &PDFViewport::layoutChanged, viewport(), qOverload<>(&QWidget::update));
        m_connections[3] = connect(pages, &PDFViewport::colorsChanged, viewport(), qOverload<>(&QWidget::update));
        m_connections[4]
            = connect(view->renderQueue(), &PDFRenderQueue::imageReady, this, [this](const PDFTileKey &key) {
                  if (key.kind == PDFTileKey::Thumbnail)
                      viewport()->update();
              });
        m_connections[4]
            = connect(view->renderQueue(), &PDFRenderQueue::imagesOutdated, viewport(), qOverload<>(&QWidget::update));
    }
    documentChanged();
}

int PDFThumbnailView::pageCount() const
{
    return m_pdfView && m_pdfView->pdfViewport()->document() ? m_pdfView->pdfViewport()->document()->pageCount() : 0;
}

void PDFThumbnailView::documentChanged()
{
    updateScrollBar();
    verticalScrollBar()->setValue(0);
    currentPageChanged();
    viewport()->update();
}

void PDFThumbnailView::currentPageChanged()
{
    const int current = m_pdfView ? m_pdfView->pdfViewport()->currentPageIndex() : -1;
    if (current >= 0) {
        const QRect cell = cellRect(current);
        if (cell.top() < 0)
            verticalScrollBar()->setValue(verticalScrollBar()->value() + cell.top());
        else if (cell.top() + cell.height() > viewport()->height())
            verticalScrollBar()->setValue(
                verticalScrollBar()->value() + cell.top() + cell.height() - viewport()->height());
    }
    viewport()->update();
}

void PDFThumbnailView::updateScrollBar()
{
    const int height = pageCount() * kCellHeight + kSpacing;
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void PDFThumbnailView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

QRect PDFThumbnailView::cellRect(int index) const
{
    return QRect(
        0, kSpacing + index * kCellHeight - verticalScrollBar()->value(), viewport()->width(), kCellHeight - kSpacing);
}

int PDFThumbnailView::pageAt(QPoint viewportPoint) const
{
    const int y = viewportPoint.y() + verticalScrollBar()->value() - kSpacing;
    if (y < 0)
        return -1;
    const int index = y / kCellHeight;
    return index < pageCount() && cellRect(index).contains(viewportPoint) ? index : -1;
}

PDFTileKey PDFThumbnailView::thumbnailKey(int index) const
{
    const PDFPage *page = m_pdfView->pdfViewport()->document()->page(index);
    const QSizeF size = page->displaySize();
    const double fit = std::min(thumbnailSize.width() / size.width(), thumbnailSize.height() / size.height());
    PDFTileKey key;
    key.document = m_pdfView->renderQueue()->generation();
    key.page = index;
    key.rotation = page->rotation();
    key.scaleKey = PDFTileKey::scaleKeyFor(fit * devicePixelRatioF());
    key.kind = PDFTileKey::Thumbnail;
    key.inverted = m_pdfView->pdfViewport()->invertsColors();
    return key;
}

void PDFThumbnailView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const int count = pageCount();
    if (count == 0) {
        paintFocusRing(painter);
        return;
    }
    PDFRenderQueue *queue = m_pdfView->renderQueue();
    const int first = std::max(0, (verticalScrollBar()->value() - kSpacing) / kCellHeight);
    const int last = std::min(count - 1, (verticalScrollBar()->value() + viewport()->height()) / kCellHeight);
    const int current = m_pdfView->pdfViewport()->currentPageIndex();
    QSet<PDFTileKey> wanted;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = first; i <= last; ++i) {
        const QRect cell = cellRect(i);
        const PDFTileKey key = thumbnailKey(i);
        const QSizeF size
            = m_pdfView->pdfViewport()->document()->page(i)->displaySize() * key.pixelScale() / devicePixelRatioF();
        const QRectF box(cell.left() + (cell.width() - size.width()) / 2,
            cell.top() + (thumbnailSize.height() - size.height()) / 2, size.width(), size.height());
        if (i == current)
            painter.fillRect(box.adjusted(-5, -5, 5, 5), palette().color(QPalette::Highlight));
        painter.fillRect(box.translated(1, 1), QColor(0, 0, 0, 40));
        painter.fillRect(box, QColor::fromRgb(PDFInvertedColors::paperOf(key.inverted)));
        wanted.insert(key);
        // An outdated picture shows until its new one arrives.
        if (const QImage *image = queue->cache().find(key))
            painter.drawImage(box, *image);
        if (!queue->cache().contains(key))
            queue->request(key, PDFRenderQueue::Background, 1000.0 + std::abs(i - current));
        painter.setPen(palette().color(i == current ? QPalette::Text : QPalette::PlaceholderText));
        painter.drawText(QRect(cell.left(), cell.top() + thumbnailSize.height() + 2, cell.width(), kLabelHeight),
            Qt::AlignCenter, QString::number(i + 1));
    }
    queue->retain(wanted, PDFTileKey::Thumbnail);
    paintFocusRing(painter);
}

void PDFThumbnailView::paintFocusRing(QPainter &painter) const
{
    if (!hasFocus())
        return;
    painter.setPen(QPen(PDFViewerStyle::accent(palette()), kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = kFocusRingWidth / 2;
    painter.drawRect(QRectF(viewport()->rect()).adjusted(inset, inset, -inset, -inset));
}

void PDFThumbnailView::mouseReleaseEvent(QMouseEvent *event)
{
    const int index = event->button() == Qt::LeftButton ? pageAt(event->position().toPoint()) : -1;
    if (index >= 0 && m_pdfView)
        m_pdfView->pdfViewport()->goToPageIndex(index);
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void PDFThumbnailView::keyPressEvent(QKeyEvent *event)
{
    const int count = pageCount();
    // Enter on the keypad carries the keypad flag; it is the same key.
    const bool unmodified = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (count == 0 || !unmodified) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int current = std::max(m_pdfView->pdfViewport()->currentPageIndex(), 0);
    const int viewful = std::max(1, viewport()->height() / kCellHeight);
    int target = current;
    switch (event->key()) {
    case Qt::Key_Up:
        target = current - 1;
        break;
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_PageUp:
        target = current - viewful;
        break;
    case Qt::Key_PageDown:
        target = current + viewful;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    m_pdfView->pdfViewport()->goToPageIndex(std::clamp(target, 0, count - 1));
    event->accept();
}

void PDFThumbnailView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void PDFThumbnailView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
