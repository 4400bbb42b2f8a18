#include "PDFViewerEmptyState.h"

#include "PDFViewerModel.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbolView.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kFrameInset = 24;
constexpr qreal kFrameRadius = 16;
constexpr qreal kFrameWidth = 2;

} // namespace

PDFViewerEmptyState::PDFViewerEmptyState(PDFViewerModel *model, QWidget *parent)
    : QWidget(parent)
    , m_symbol(
          new PDFViewerSymbolView(QStringLiteral("doc.richtext"), 58, QColor(), PDFViewerSymbol::Weight::Light, this))
    , m_title(new QLabel(this))
    , m_hint(new QLabel(QStringLiteral("滚轮缩放 · 按住拖动画布 · 所有文档只在本机处理"), this))
    , m_choose(new QPushButton(QStringLiteral("选择 PDF"), this))
{
    setObjectName(QStringLiteral("pdf-empty-state"));
    auto *column = new QVBoxLayout(this);
    column->setSpacing(16);
    column->addStretch(1);
    column->addWidget(m_symbol, 0, Qt::AlignHCenter);
    column->addWidget(m_title, 0, Qt::AlignHCenter);
    column->addWidget(m_hint, 0, Qt::AlignHCenter);
    column->addWidget(m_choose, 0, Qt::AlignHCenter);
    column->addStretch(1);

    m_title->setObjectName(QStringLiteral("pdf-empty-title"));
    m_title->setFont(PDFViewerStyle::title2Font(QFont::DemiBold));
    m_hint->setObjectName(QStringLiteral("pdf-empty-hint"));
    m_hint->setFont(PDFViewerStyle::systemFont(13));

    m_choose->setObjectName(QStringLiteral("pdf-choose"));
    m_choose->setCursor(Qt::PointingHandCursor);
    m_choose->setFont(PDFViewerStyle::systemFont(13, QFont::Medium));
    connect(m_choose, &QPushButton::clicked, model, &PDFViewerModel::choosePDF);
    refresh();
}

QString PDFViewerEmptyState::title() const
{
    return m_title->text();
}

void PDFViewerEmptyState::setDropTargeted(bool targeted)
{
    if (targeted == m_isDropTargeted)
        return;
    m_isDropTargeted = targeted;
    refresh();
    update();
}

void PDFViewerEmptyState::refresh()
{
    const QPalette base = palette();
    m_symbol->setSymbol(QStringLiteral("doc.richtext"),
        m_isDropTargeted ? PDFViewerStyle::accent(base) : PDFViewerStyle::secondary(base));
    m_title->setText(m_isDropTargeted ? QStringLiteral("松开即可打开") : QStringLiteral("把 PDF 拖到这里"));

    PDFViewerStyle::setTextColor(m_hint, PDFViewerStyle::secondary(base));

    // The accent-filled ("prominent") button.
    const QColor accent = PDFViewerStyle::accent(base);
    m_choose->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3;"
                                           " border-radius: 6px; padding: 5px 16px; }"
                                           "QPushButton:hover { background: %4; }"
                                           "QPushButton:pressed { background: %3; }"
                                           "QPushButton:focus { border: 2px solid %5; }")
                                .arg(accent.name(), base.color(QPalette::HighlightedText).name(),
                                    accent.darker(115).name(), accent.lighter(108).name(), accent.darker(140).name()));
}

void PDFViewerEmptyState::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}

void PDFViewerEmptyState::paintEvent(QPaintEvent *)
{
    if (!m_isDropTargeted)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn inside its edge: the stroke's centre line runs half a line width in.
    const QRectF frame = QRectF(rect()).adjusted(kFrameInset, kFrameInset, -kFrameInset, -kFrameInset);
    const qreal half = kFrameWidth / 2;
    QPen pen(PDFViewerStyle::accent(palette()), kFrameWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({8 / kFrameWidth, 8 / kFrameWidth}); // in units of the line width
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(half, half, -half, -half), kFrameRadius - half, kFrameRadius - half);
}
