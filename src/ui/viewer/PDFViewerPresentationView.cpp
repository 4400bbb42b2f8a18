#include "PDFViewerPresentationView.h"

#include "BlueprintPDFView.h"
#include "PDFViewerExitPresentationButton.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutStore.h"

#include <QPainter>
#include <QShortcut>

namespace {

constexpr int kExitInset = 16;

} // namespace

PDFViewerPresentationView::PDFViewerPresentationView(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts,
                                                     QWidget *parent)
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
    m_canvas = canvas;
    if (canvas) {
        canvas->setParent(this);
        canvas->setGeometry(rect());
        canvas->show();
    }
    m_exit->raise();
}

void PDFViewerPresentationView::exit()
{
    m_model->exitPresentationMode(true);
}

void PDFViewerPresentationView::refreshToolTip()
{
    m_exit->setToolTip(QStringLiteral("退出全屏并恢复分页（Esc 或 ")
                       + m_shortcuts->shortcut(PDFViewerShortcutAction::togglePresentation).displayText()
                       + QStringLiteral("）"));
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
