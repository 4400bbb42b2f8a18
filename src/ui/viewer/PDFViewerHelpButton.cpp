#include "PDFViewerHelpButton.h"

#include "PDFViewerPalette.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbol.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kHeight = 22;
constexpr int kPadding = 8;
constexpr qreal kIconSize = 12;
constexpr qreal kSpacing = 4;

} // namespace

PDFViewerHelpButton::PDFViewerHelpButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setText(QStringLiteral("帮助"));
    setObjectName(QStringLiteral("pdf-status-help"));
    setAccessibleName(QStringLiteral("帮助"));
    setToolTip(QStringLiteral("查看使用方法和当前快捷键"));
    setFont(PDFViewerStyle::captionFont(QFont::DemiBold));
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PDFViewerHelpButton::sizeHint() const
{
    const qreal width = 2 * kPadding + kIconSize + kSpacing + QFontMetricsF(font()).horizontalAdvance(text());
    return {int(std::ceil(width)), kHeight};
}

void PDFViewerHelpButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    const qreal tint = isDown() ? 0.16 : (underMouse() ? 0.12 : 0.08);
    painter.fillPath(shape, PDFViewerStyle::withOpacity(pdfBrandPurple, tint));
    if (hasFocus())
        painter.strokePath(shape, QPen(PDFViewerStyle::accent(palette()), 1.5));

    const qreal textWidth = QFontMetricsF(font()).horizontalAdvance(text());
    qreal x = (width() - (kIconSize + kSpacing + textWidth)) / 2;
    PDFViewerSymbol::paint(painter, QStringLiteral("questionmark.circle"),
        QRectF(x, (height() - kIconSize) / 2, kIconSize, kIconSize), pdfBrandPurple, PDFViewerSymbol::Weight::Semibold);
    x += kIconSize + kSpacing;
    painter.setPen(pdfBrandPurple);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}
