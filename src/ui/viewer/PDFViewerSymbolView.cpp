#include "PDFViewerSymbolView.h"

#include <QPainter>

PDFViewerSymbolView::PDFViewerSymbolView(
    const QString &name, int size, const QColor &color, PDFViewerSymbol::Weight weight, QWidget *parent)
    : QWidget(parent)
    , m_name(name)
    , m_color(color)
    , m_weight(weight)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PDFViewerSymbolView::setSymbol(const QString &name, const QColor &color)
{
    if (name == m_name && color == m_color)
        return;
    m_name = name;
    m_color = color;
    update();
}

void PDFViewerSymbolView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PDFViewerSymbol::paint(painter, m_name, QRectF(rect()), m_color, m_weight);
}
