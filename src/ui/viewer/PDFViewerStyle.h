#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;
class QPalette;

// Shared look of the viewer window's chrome: the text styles, the foreground and material
// colours derived from the widget palette, and the soft shadows and rounded surfaces the
// toolbar, search field and floating buttons are drawn with. All sizes are logical pixels.
class QLabel;

namespace PDFViewerStyle {

// Text styles. Pixel sizes, so the chrome keeps its proportions whatever the desktop's
// point-to-pixel setting.
QFont systemFont(qreal pixelSize, QFont::Weight weight = QFont::Normal);
QFont bodyFont(QFont::Weight weight = QFont::Normal); // 13 px
QFont calloutFont(QFont::Weight weight = QFont::Normal); // 12 px
QFont captionFont(QFont::Weight weight = QFont::Normal); // 11 px
QFont caption2Font(QFont::Weight weight = QFont::Normal); // 10 px
QFont title2Font(QFont::Weight weight = QFont::Normal); // 17 px
// `font` with tabular (equal-width) digits, so numbers do not jitter while they change.
QFont withMonospacedDigits(QFont font);

// Foreground levels over the window background.
QColor primary(const QPalette &palette);
// The primary colour of the palette's enabled state: a disabled control is the enabled one drawn
// at a lower opacity, not dimmed twice by the palette's disabled colours as well.
QColor enabledPrimary(const QPalette &palette);
QColor secondary(const QPalette &palette);
QColor tertiary(const QPalette &palette);
// `color` with its alpha multiplied by `opacity`.
QColor withOpacity(QColor color, qreal opacity);
// The desktop's accent colour (selection highlight).
QColor accent(const QPalette &palette);
// Orange, for warnings and refusals.
QColor warning();
// Hairlines between areas: 12 % of the text colour over the window colour, opaque.
QColor divider(const QPalette &palette);
// Sets `label`'s text in `color`, or without one in the palette's placeholder colour, which
// follows a desktop that turns dark.
void setTextColor(QLabel *label, const QColor &color = QColor());

// Translucent fills standing in for blurred materials: a light veil over whatever lies behind.
QColor ultraThinMaterial(const QPalette &palette);
QColor thinMaterial(const QPalette &palette);

// A blurred drop shadow under a rounded rectangle `rect` (radius `cornerRadius`): black at
// `opacity` spread over `blurRadius`, shifted down by `offsetY`. Callers fill the shape itself
// afterwards, over the shadow.
void paintShadow(
    QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal opacity, qreal blurRadius, qreal offsetY);

} // namespace PDFViewerStyle
