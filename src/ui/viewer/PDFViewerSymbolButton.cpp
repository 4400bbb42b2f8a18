#include "PDFViewerSymbolButton.h"

#include "PDFViewerStyle.h"
#include "PDFViewerSymbol.h"

#include <QPainter>

PDFViewerSymbolButton::PDFViewerSymbolButton(const QString &symbol, int side, int symbolSize, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_side(side)
    , m_symbolSize(symbolSize)
{
    setFixedSize(side, side);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
}

void PDFViewerSymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.38);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor primary = PDFViewerStyle::enabledPrimary(palette());
    if (isEnabled() && (isDown() || underMouse())) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(PDFViewerStyle::withOpacity(primary, isDown() ? 0.14 : 0.08));
        painter.drawRoundedRect(face, 5, 5);
    }
    if (hasFocus()) {
        painter.setPen(QPen(PDFViewerStyle::accent(palette()), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face, 5, 5);
    }
    const QRectF symbol(
        QRectF(rect()).center() - QPointF(m_symbolSize, m_symbolSize) / 2.0, QSizeF(m_symbolSize, m_symbolSize));
    PDFViewerSymbol::paint(
        painter, m_symbol, symbol, PDFViewerStyle::withOpacity(primary, 0.75), PDFViewerSymbol::Weight::Semibold);
}
