#include "PDFViewerElidedLabel.h"

#include <QFontMetrics>
#include <QPainter>

PDFViewerElidedLabel::PDFViewerElidedLabel(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void PDFViewerElidedLabel::setText(const QString &text)
{
    // Line breaks would be drawn as boxes; a status line is one line.
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (line == m_text)
        return;
    m_text = line;
    setAccessibleName(m_text);
    updateGeometry();
    updateToolTip();
    update();
}

void PDFViewerElidedLabel::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QString PDFViewerElidedLabel::displayedText() const
{
    return fontMetrics().elidedText(m_text, Qt::ElideRight, width());
}

QSize PDFViewerElidedLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_text), fontMetrics().height()};
}

QSize PDFViewerElidedLabel::minimumSizeHint() const
{
    return {0, fontMetrics().height()};
}

void PDFViewerElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, displayedText());
}

void PDFViewerElidedLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateToolTip();
}

void PDFViewerElidedLabel::updateToolTip()
{
    setToolTip(displayedText() == m_text ? QString() : m_text);
}
