#include "PDFViewerDivider.h"

#include "PDFViewerStyle.h"

#include <QPainter>

PDFViewerDivider::PDFViewerDivider(QWidget *parent, int indent)
    : QWidget(parent)
    , m_indent(indent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent, indent == 0);
}

void PDFViewerDivider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect line = rect();
    if (layoutDirection() == Qt::RightToLeft)
        line.setRight(line.right() - m_indent);
    else
        line.setLeft(m_indent);
    painter.fillRect(line, PDFViewerStyle::divider(palette()));
}
