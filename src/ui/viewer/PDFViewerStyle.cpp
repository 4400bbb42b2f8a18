#include "PDFViewerStyle.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

namespace PDFViewerStyle {

QFont systemFont(qreal pixelSize, QFont::Weight weight)
{
    QFont font;
    font.setPixelSize(int(std::lround(pixelSize)));
    font.setWeight(weight);
    return font;
}

QFont bodyFont(QFont::Weight weight)
{
    return systemFont(13, weight);
}
QFont calloutFont(QFont::Weight weight)
{
    return systemFont(12, weight);
}
QFont captionFont(QFont::Weight weight)
{
    return systemFont(11, weight);
}
QFont caption2Font(QFont::Weight weight)
{
    return systemFont(10, weight);
}
QFont title2Font(QFont::Weight weight)
{
    return systemFont(17, weight);
}

QFont withMonospacedDigits(QFont font)
{
    // The desktop's sans fonts (DejaVu, Noto, Cantarell) draw tabular digits by default; where
    // Qt can ask for them explicitly (OpenType "tnum", Qt 6.7 and later) it does.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    font.setFeature(QFont::Tag("tnum"), 1);
#endif
    return font;
}

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor primary(const QPalette &palette)
{
    return palette.color(QPalette::WindowText);
}
QColor enabledPrimary(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::WindowText);
}
QColor secondary(const QPalette &palette)
{
    return withOpacity(primary(palette), 0.55);
}
QColor tertiary(const QPalette &palette)
{
    return withOpacity(primary(palette), 0.32);
}
QColor accent(const QPalette &palette)
{
    return palette.color(QPalette::Highlight);
}
QColor warning()
{
    return QColor(255, 149, 0);
}

QColor divider(const QPalette &palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    return QColor::fromRgbF(window.redF() * 0.88F + text.redF() * 0.12F,
        window.greenF() * 0.88F + text.greenF() * 0.12F, window.blueF() * 0.88F + text.blueF() * 0.12F);
}

void setTextColor(QLabel *label, const QColor &color)
{
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    label->setForegroundRole(color.isValid() ? QPalette::WindowText : QPalette::PlaceholderText);
}

QColor ultraThinMaterial(const QPalette &palette)
{
    QColor base = palette.color(QPalette::Base);
    base.setAlphaF(0.55F);
    return base;
}

QColor thinMaterial(const QPalette &palette)
{
    QColor base = palette.color(QPalette::Base);
    base.setAlphaF(0.78F);
    return base;
}

void paintShadow(
    QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal opacity, qreal blurRadius, qreal offsetY)
{
    // A stack of ever larger, ever fainter rounded rectangles approximates a Gaussian blur
    // well enough at these small radii.
    const int steps = std::max(2, int(std::ceil(blurRadius * 2)));
    painter.save();
    painter.setPen(Qt::NoPen);
    const QRectF base = rect.translated(0, offsetY);
    for (int i = steps; i >= 1; --i) {
        const qreal spread = blurRadius * qreal(i) / qreal(steps);
        QColor colour(0, 0, 0);
        colour.setAlphaF(float(opacity * 2.0 / (steps + 1)));
        painter.setBrush(colour);
        const QRectF r = base.adjusted(-spread, -spread, spread, spread);
        painter.drawRoundedRect(r, cornerRadius + spread, cornerRadius + spread);
    }
    painter.restore();
}

} // namespace PDFViewerStyle
