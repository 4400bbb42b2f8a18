#include "PDFViewerPresentationView.h"

#include "BlueprintPDFView.h"
#include "PDFDocument.h"
#include "PDFOverviewMap.h"
#include "PDFViewerExitPresentationButton.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutStore.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>

namespace {

constexpr int kExitInset = 16;

} // namespace

PDFViewerPresentationView::PDFViewerPresentationView(
    PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_shortcuts(shortcuts)
    , m_exit(new PDFViewerExitPresentationButton(this))
    , m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this))
{
    setObjectName(QStringLiteral("pdf-presentation-layout"));
    // Active only while this layout is shown (a hidden widget's shortcuts never fire).
    m_escape->setContext(Qt::WindowShortcut);
    connect(m_escape, &QShortcut::activated, this, &PDFViewerPresentationView::exit);
    connect(m_exit, &QAbstractButton::clicked, this, &PDFViewerPresentationView::exit);
    connect(shortcuts, &PDFViewerShortcutStore::configurationChanged, this, &PDFViewerPresentationView::refreshToolTip);
    refreshToolTip();
}

void PDFViewerPresentationView::setCanvas(BlueprintPDFView *canvas)
{
    if (canvas == m_canvas && (!canvas || canvas->parentWidget() == this))
        return;
    if (m_canvas)
        m_canvas->removeEventFilter(this);
    m_canvas = canvas;
    if (canvas) {
        canvas->installEventFilter(this);
        canvas->overviewMap()->keepClearOf(m_exit);
        canvas->setParent(this);
        canvas->setGeometry(rect());
        canvas->show();
    }
    m_exit->raise();
}

std::optional<int> PDFViewerPresentationView::pageForKey(
    int key, Qt::KeyboardModifiers modifiers, int current, int pageCount)
{
    if (pageCount < 1)
        return std::nullopt;
    // The keypad flag says where a key sits, not what it means.
    modifiers &= ~Qt::KeypadModifier;
    const bool shifted = modifiers == Qt::ShiftModifier;
    if (modifiers != Qt::NoModifier && !(shifted && key == Qt::Key_Space))
        return std::nullopt;
    int target;
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = current + 1;
        break;
    case Qt::Key_Space:
        target = shifted ? current - 1 : current + 1;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
        target = current - 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = pageCount - 1;
        break;
    default:
        return std::nullopt;
    }
    return std::clamp(target, 0, pageCount - 1);
}

bool PDFViewerPresentationView::eventFilter(QObject *watched, QEvent *event)
{
    // Ahead of the canvas, which would scroll with these keys; only while this layout shows it.
    if (watched == m_canvas && event->type() == QEvent::KeyPress && isVisible()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        PDFViewport *pages = m_canvas->pdfViewport();
        const int pageCount = pages->document() ? pages->document()->pageCount() : 0;
        if (const std::optional<int> page
            = pageForKey(key->key(), key->modifiers(), pages->currentPageIndex(), pageCount)) {
            pages->goToPageIndex(*page);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PDFViewerPresentationView::exit()
{
    m_model->exitPresentationMode(true);
}

void PDFViewerPresentationView::refreshToolTip()
{
    m_exit->setToolTip(QStringLiteral("退出全屏并恢复分页（Esc 或 ")
        + m_shortcuts->shortcut(PDFViewerShortcutAction::togglePresentation).displayText() + QStringLiteral("）"));
}

void PDFViewerPresentationView::placeExitButton()
{
    // The face, not the shadow margin, sits kExitInset from the top right corner.
    const QSize size = m_exit->sizeHint();
    const int margin = PDFViewerExitPresentationButton::kShadowMargin;
    m_exit->setGeometry(width() - kExitInset - size.width() + margin, kExitInset - margin, size.width(), size.height());
    m_exit->raise();
}

void PDFViewerPresentationView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_canvas && m_canvas->parentWidget() == this)
        m_canvas->setGeometry(rect());
    placeExitButton();
}

void PDFViewerPresentationView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}
