#include "PDFViewerLinkButton.h"

#include "PDFViewerPalette.h"
#include "PDFViewerStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

PDFViewerLinkButton::PDFViewerLinkButton(const QString &text, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(text);
    setFont(PDFViewerStyle::captionFont());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PDFViewerLinkButton::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(text()))) + 8, int(std::ceil(metrics.height())) + 6};
}

void PDFViewerLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 5, 5);
    if (isDown() || underMouse())
        painter.fillPath(shape, PDFViewerStyle::withOpacity(pdfBrandPurple, isDown() ? 0.16 : 0.08));
    if (hasFocus())
        painter.strokePath(shape, QPen(PDFViewerStyle::accent(palette()), 1.5));
    painter.setPen(pdfBrandPurple);
    painter.drawText(rect(), Qt::AlignCenter, text());
}
