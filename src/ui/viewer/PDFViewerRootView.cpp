#include "PDFViewerRootView.h"

#include "BlueprintPDFView.h"
#include "PDFThumbnailView.h"
#include "PDFViewerDivider.h"
#include "PDFViewerEmptyState.h"
#include "PDFViewerExitPresentationButton.h"
#include "PDFViewerHelpButton.h"
#include "PDFViewerLayerPanel.h"
#include "PDFViewerModel.h"
#include "PDFViewerPresentationView.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerSidePanel.h"
#include "PDFViewerStatusBar.h"
#include "PDFViewerStyle.h"
#include "PDFViewerToolbar.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kThumbnailMinimumWidth = 130;
constexpr int kThumbnailIdealWidth = 170;
constexpr int kThumbnailMaximumWidth = 230;

} // namespace

PDFViewerRootView::PDFViewerRootView(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_shortcuts(shortcuts)
    , m_layouts(new QStackedWidget(this))
    , m_normal(new QWidget(m_layouts))
{
    setObjectName(QStringLiteral("pdf-root"));
    setMinimumSize(920, 620);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setAcceptDrops(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_layouts);

    // The normal layout, built top to bottom so that the default focus chain already runs
    // in visual order.
    auto *column = new QVBoxLayout(m_normal);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_toolbar = new PDFViewerToolbar(model, shortcuts, m_normal);
    m_content = new QStackedWidget(m_normal);
    m_emptyState = new PDFViewerEmptyState(model, m_content);
    m_split = new QSplitter(Qt::Horizontal, m_content);
    m_split->setObjectName(QStringLiteral("pdf-split"));
    m_split->setChildrenCollapsible(false);
    m_split->setHandleWidth(1);
    m_sidePanel = new PDFViewerSidePanel(model->layers(), m_split);
    m_sidePanel->setMinimumWidth(kThumbnailMinimumWidth);
    m_sidePanel->setMaximumWidth(kThumbnailMaximumWidth);
    m_thumbnails = m_sidePanel->thumbnails();
    m_canvasHost = new QWidget(m_split);
    m_canvasHost->setObjectName(QStringLiteral("pdf-canvas-host"));
    m_canvasHostLayout = new QVBoxLayout(m_canvasHost);
    m_canvasHostLayout->setContentsMargins(0, 0, 0, 0);
    m_split->addWidget(m_sidePanel);
    m_split->addWidget(m_canvasHost);
    m_split->setStretchFactor(0, 0);
    m_split->setStretchFactor(1, 1);
    m_split->setSizes({kThumbnailIdealWidth, 10000});
    m_content->addWidget(m_emptyState);
    m_content->addWidget(m_split);
    m_statusBar = new PDFViewerStatusBar(model, shortcuts, m_normal);
    column->addWidget(m_toolbar);
    column->addWidget(new PDFViewerDivider(m_normal));
    column->addWidget(m_content, 1);
    column->addWidget(new PDFViewerDivider(m_normal));
    column->addWidget(m_statusBar);

    m_presentation = new PDFViewerPresentationView(model, shortcuts, m_layouts);
    m_layouts->addWidget(m_normal);
    m_layouts->addWidget(m_presentation);

    connect(m_statusBar, &PDFViewerStatusBar::helpRequested, this, &PDFViewerRootView::helpRequested);
    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerRootView::updateLayout);
    connect(model, &PDFViewerModel::isPresentationModeChanged, this, &PDFViewerRootView::updateLayout);
    updateLayout();
}

PDFViewerRootView::~PDFViewerRootView()
{
    // The canvas is the model's: take it out of this widget tree before the tree is deleted.
    if (m_canvas && m_canvas->parentWidget()) {
        m_canvas->hide();
        m_canvas->setParent(nullptr);
    }
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

void PDFViewerRootView::focusSearchField()
{
    QLineEdit *field = m_toolbar->searchField()->lineEdit();
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

bool PDFViewerRootView::isShowingPresentationLayout() const
{
    return m_model->isPresentationMode() && m_model->pageCount() >= 1;
}

void PDFViewerRootView::updateLayout()
{
    const bool presenting = isShowingPresentationLayout();
    const bool wasPresenting = m_layouts->currentWidget() == m_presentation;
    placeCanvas();
    m_content->setCurrentWidget(m_model->pageCount() >= 1 ? static_cast<QWidget *>(m_split) : m_emptyState);
    m_layouts->setCurrentWidget(presenting ? static_cast<QWidget *>(m_presentation) : m_normal);
    // The canvas keeps the keyboard focus across the switch, in both directions, rather than
    // leaving it to whichever control comes first in the window.
    if (presenting != wasPresenting && m_canvas && m_canvas->isVisible())
        m_canvas->setFocus(Qt::OtherFocusReason);
    updateTabOrder();
}

void PDFViewerRootView::placeCanvas()
{
    // The model's one canvas: lent to the presentation layout while presenting, otherwise in
    // the normal layout, hidden with it behind the empty state when no document is open.
    m_canvas = m_model->pdfView();
    m_thumbnails->setPDFView(m_canvas);
    if (!m_canvas)
        return;
    if (isShowingPresentationLayout()) {
        m_presentation->setCanvas(m_canvas);
        return;
    }
    m_presentation->setCanvas(nullptr);
    if (m_canvas->parentWidget() != m_canvasHost)
        m_canvasHostLayout->addWidget(m_canvas);
    m_canvas->show();
}

void PDFViewerRootView::updateTabOrder()
{
    QList<QWidget *> order = m_toolbar->focusOrder();
    order.append(m_emptyState->chooseButton());
    order.append(m_sidePanel->thumbnailsTab());
    order.append(m_sidePanel->layersTab());
    order.append(m_thumbnails);
    order.append(m_sidePanel->layerPanel()->focusOrder());
    if (m_canvas && m_canvas->window() == window())
        order.append(m_canvas);
    order.append(m_statusBar->helpButton());
    order.append(m_presentation->exitButton());
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

bool PDFViewerRootView::acceptsDrop(const QMimeData *mimeData)
{
    if (!mimeData || !mimeData->hasUrls())
        return false;
    const QList<QUrl> urls = mimeData->urls();
    return std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); });
}

void PDFViewerRootView::setDropTargeted(bool targeted)
{
    m_isDropTargeted = targeted;
    m_emptyState->setDropTargeted(targeted);
}

void PDFViewerRootView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setDropTargeted(true);
}

void PDFViewerRootView::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PDFViewerRootView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropTargeted(false);
    QWidget::dragLeaveEvent(event);
}

void PDFViewerRootView::dropEvent(QDropEvent *event)
{
    setDropTargeted(false);
    const QList<QUrl> urls = event->mimeData() ? event->mimeData()->urls() : QList<QUrl>();
    if (urls.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Only the first item counts; if it is no local file there is nothing to open. The model
    // is called after the drop has finished, so its checks (and a possible beep) never run
    // inside the drag-and-drop machinery.
    const QUrl first = urls.first();
    if (!first.isLocalFile())
        return;
    QPointer<PDFViewerModel> model = m_model;
    QMetaObject::invokeMethod(
        m_model,
        [model, first] {
            if (model)
                model->open(first);
        },
        Qt::QueuedConnection);
}

bool PDFViewerRootView::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Show:
        watchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void PDFViewerRootView::watchWindow()
{
    QWidget *top = window();
    if (top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    top->installEventFilter(this);
}

bool PDFViewerRootView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::WindowStateChange) {
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        const bool wasFullScreen = change->oldState().testFlag(Qt::WindowFullScreen);
        const bool isFullScreen = m_watchedWindow->windowState().testFlag(Qt::WindowFullScreen);
        // Left full screen by other means than the exit button (window controls, the
        // desktop's shortcut): end presentation without toggling full screen again.
        if (wasFullScreen && !isFullScreen && m_model->isPresentationMode())
            m_model->restoreReadingLayout();
    }
    return QWidget::eventFilter(watched, event);
}
