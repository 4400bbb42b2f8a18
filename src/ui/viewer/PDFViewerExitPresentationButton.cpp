#include "PDFViewerExitPresentationButton.h"

#include "PDFViewerPalette.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbol.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kHeight = 32;
constexpr int kPadding = 12;
constexpr qreal kSpacing = 6;
constexpr qreal kIconSize = 14;
constexpr qreal kCornerRadius = 10;

const QString &caption()
{
    static const QString text = QStringLiteral("退出投影");
    return text;
}

const QString &keyText()
{
    static const QString text = QStringLiteral("Esc");
    return text;
}

} // namespace

PDFViewerExitPresentationButton::PDFViewerExitPresentationButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setText(caption());
    setAccessibleName(caption());
    setObjectName(QStringLiteral("pdf-exit-presentation"));
    setFont(PDFViewerStyle::captionFont(QFont::DemiBold));
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
    resize(sizeHint());
}

QFont PDFViewerExitPresentationButton::keyFont() const
{
    QFont font = PDFViewerStyle::caption2Font(QFont::Medium);
    font.setFamily(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
    return font;
}

QSize PDFViewerExitPresentationButton::sizeHint() const
{
    const qreal content = kIconSize + kSpacing + QFontMetricsF(font()).horizontalAdvance(caption()) + kSpacing
        + QFontMetricsF(keyFont()).horizontalAdvance(keyText());
    return {int(std::ceil(content)) + 2 * kPadding + 2 * kShadowMargin, kHeight + 2 * kShadowMargin};
}

QRect PDFViewerExitPresentationButton::faceRect() const
{
    return rect().adjusted(kShadowMargin, kShadowMargin, -kShadowMargin, -kShadowMargin);
}

bool PDFViewerExitPresentationButton::hitButton(const QPoint &pos) const
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(faceRect()), kCornerRadius, kCornerRadius);
    return shape.contains(pos);
}

void PDFViewerExitPresentationButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(faceRect());
    PDFViewerStyle::paintShadow(painter, face, kCornerRadius, 0.2, 8, 3);

    QPainterPath shape;
    shape.addRoundedRect(face.adjusted(0.375, 0.375, -0.375, -0.375), kCornerRadius, kCornerRadius);
    QColor fill = pdfBrandPurple;
    if (isDown())
        fill = fill.darker(115);
    else if (underMouse())
        fill = fill.lighter(112);
    painter.fillPath(shape, fill);
    painter.strokePath(shape, QPen(PDFViewerStyle::withOpacity(Qt::white, hasFocus() ? 0.6 : 0.18), 0.75));

    const QFontMetricsF captionMetrics(font());
    const QFontMetricsF keyMetrics(keyFont());
    qreal x = face.left() + kPadding;
    PDFViewerSymbol::paint(painter, QStringLiteral("rectangle.arrowtriangle.2.outward"),
        QRectF(x, face.center().y() - kIconSize / 2, kIconSize, kIconSize), Qt::white,
        PDFViewerSymbol::Weight::Semibold);
    x += kIconSize + kSpacing;
    painter.setPen(Qt::white);
    painter.setFont(font());
    const qreal captionWidth = captionMetrics.horizontalAdvance(caption());
    painter.drawText(
        QRectF(x, face.top(), captionWidth + 1, face.height()), Qt::AlignLeft | Qt::AlignVCenter, caption());
    x += captionWidth + kSpacing;
    painter.setPen(PDFViewerStyle::withOpacity(Qt::white, 0.72));
    painter.setFont(keyFont());
    painter.drawText(QRectF(x, face.top(), keyMetrics.horizontalAdvance(keyText()) + 1, face.height()),
        Qt::AlignLeft | Qt::AlignVCenter, keyText());
}
