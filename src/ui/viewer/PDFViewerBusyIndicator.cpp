#include "PDFViewerBusyIndicator.h"

#include "PDFViewerStyle.h"

#include <QPainter>
#include <QVariantAnimation>

PDFViewerBusyIndicator::PDFViewerBusyIndicator(int size, QWidget *parent)
    : QWidget(parent)
    , m_rotation(new QVariantAnimation(this))
{
    setFixedSize(size, size);
    setFocusPolicy(Qt::NoFocus);
    m_rotation->setStartValue(0.0);
    m_rotation->setEndValue(360.0);
    m_rotation->setDuration(900);
    m_rotation->setLoopCount(-1);
    connect(m_rotation, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

void PDFViewerBusyIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal line = std::max<qreal>(1.5, width() / 8.0);
    const QRectF box = QRectF(rect()).adjusted(line, line, -line, -line);
    painter.setPen(QPen(PDFViewerStyle::withOpacity(PDFViewerStyle::primary(palette()), 0.12), line));
    painter.drawEllipse(box);
    QPen arc(PDFViewerStyle::secondary(palette()), line, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(arc);
    const int start = int(-m_rotation->currentValue().toDouble() * 16);
    painter.drawArc(box, start, 100 * 16);
}

void PDFViewerBusyIndicator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_rotation->start();
}

void PDFViewerBusyIndicator::hideEvent(QHideEvent *event)
{
    m_rotation->stop();
    QWidget::hideEvent(event);
}
