#include "PDFToolbarButton.h"

#include "PDFViewerPalette.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbol.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kHeight = 28;
constexpr qreal kCornerRadius = 7;
constexpr qreal kIconSize = 16;
constexpr qreal kSpacing = 5;
constexpr qreal kDisabledOpacity = 0.38;

} // namespace

PDFToolbarButton::PDFToolbarButton(const QString &title, const QString &systemImage, const QString &label,
    const QString &identifier, bool isProminent, QWidget *parent)
    : QAbstractButton(parent)
    , m_systemImage(systemImage)
    , m_label(label)
    , m_isProminent(isProminent)
{
    setAccessibleName(title);
    setObjectName(identifier);
    setText(label);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QFont PDFToolbarButton::captionFont() const
{
    return PDFViewerStyle::systemFont(12, m_label.isEmpty() ? QFont::Medium : QFont::DemiBold);
}

QSize PDFToolbarButton::sizeHint() const
{
    qreal width = 2 * horizontalPadding();
    if (!m_systemImage.isEmpty())
        width += kIconSize;
    if (!m_label.isEmpty()) {
        if (!m_systemImage.isEmpty())
            width += kSpacing;
        width += QFontMetricsF(captionFont()).horizontalAdvance(m_label);
    }
    return {int(std::ceil(width)), kHeight};
}

QColor PDFToolbarButton::buttonBackground() const
{
    const bool enabled = isEnabled();
    if (m_isProminent)
        return PDFViewerStyle::withOpacity(pdfBrandPurple, !enabled ? 0.5 : (m_isHovered ? 0.88 : 1.0));
    if (m_isHovered && enabled)
        return PDFViewerStyle::withOpacity(pdfBrandPurple, 0.1);
    return Qt::transparent;
}

QColor PDFToolbarButton::buttonStroke() const
{
    if (m_isProminent)
        return PDFViewerStyle::withOpacity(Qt::white, 0.16);
    if (m_isHovered && isEnabled())
        return PDFViewerStyle::withOpacity(pdfBrandPurple, 0.18);
    return Qt::transparent;
}

void PDFToolbarButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : kDisabledOpacity);

    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(face, kCornerRadius, kCornerRadius);
    painter.fillPath(shape, buttonBackground());
    const QColor stroke = buttonStroke();
    if (stroke.alpha() > 0)
        painter.strokePath(shape, QPen(stroke, 0.65));
    if (hasFocus()) {
        QPen focus(PDFViewerStyle::accent(palette()), 1.5);
        painter.strokePath(shape, focus);
    }

    const QColor foreground = m_isProminent ? QColor(Qt::white) : PDFViewerStyle::enabledPrimary(palette());
    const QFont font = captionFont();
    qreal contentWidth = 0;
    if (!m_systemImage.isEmpty())
        contentWidth += kIconSize;
    const qreal labelWidth = m_label.isEmpty() ? 0 : QFontMetricsF(font).horizontalAdvance(m_label);
    if (!m_label.isEmpty())
        contentWidth += (m_systemImage.isEmpty() ? 0 : kSpacing) + labelWidth;
    qreal x = (width() - contentWidth) / 2;
    if (!m_systemImage.isEmpty()) {
        const QRectF iconRect(x, (height() - kIconSize) / 2, kIconSize, kIconSize);
        const auto weight = m_label.isEmpty() ? PDFViewerSymbol::Weight::Medium : PDFViewerSymbol::Weight::Semibold;
        PDFViewerSymbol::paint(painter, m_systemImage, iconRect, foreground, weight);
        x += kIconSize + kSpacing;
    }
    if (!m_label.isEmpty()) {
        painter.setFont(font);
        painter.setPen(foreground);
        painter.drawText(QRectF(x, 0, labelWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, m_label);
    }
}

void PDFToolbarButton::enterEvent(QEnterEvent *event)
{
    m_isHovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PDFToolbarButton::leaveEvent(QEvent *event)
{
    m_isHovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PDFToolbarButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        update();
    QAbstractButton::changeEvent(event);
}

bool PDFToolbarButton::hitButton(const QPoint &pos) const
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    return shape.contains(pos);
}
