#include "PDFSelectionHighlight.h"

#include "PDFDocument.h"
#include "PDFPage.h"
#include "PDFViewport.h"

#include <QPainter>
#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// The found-match highlight's outline and ring, and the ring's smallest size on screen and life.
constexpr QColor kMatchColor(230, 150, 0);
constexpr qreal kMatchMarkerMinimum = 28;
constexpr int kMatchMarkerMs = 2000;
constexpr int kPulseMs = 600;

} // namespace

PDFSelectionHighlight::PDFSelectionHighlight(const PDFViewport *viewport, QWidget *target)
    : QObject(target)
    , m_viewport(viewport)
    , m_pulse(new QVariantAnimation(this))
    , m_marker(new QVariantAnimation(this))
{
    m_pulse->setStartValue(0.0);
    m_pulse->setEndValue(1.0);
    m_pulse->setDuration(kPulseMs);
    connect(m_pulse, &QVariantAnimation::valueChanged, target, qOverload<>(&QWidget::update));
    // The ring: held, then faded out.
    m_marker->setDuration(kMatchMarkerMs);
    m_marker->setKeyValueAt(0.0, 1.0);
    m_marker->setKeyValueAt(0.7, 1.0);
    m_marker->setKeyValueAt(1.0, 0.0);
    connect(m_marker, &QVariantAnimation::valueChanged, target, qOverload<>(&QWidget::update));
    connect(viewport, &PDFViewport::selectionChanged, this, &PDFSelectionHighlight::selectionChanged);
}

void PDFSelectionHighlight::selectionChanged(bool animate)
{
    m_pulse->stop();
    m_marker->stop();
    if (animate) {
        m_pulse->start();
        m_marker->start();
    }
}

void PDFSelectionHighlight::paint(QPainter &painter) const
{
    const std::optional<PDFSelection> &selection = m_viewport->currentSelection();
    const std::optional<QTransform> toViewport
        = selection ? m_viewport->pageToViewport(selection->pageIndex) : std::nullopt;
    if (!toViewport)
        return;
    const QTransform &t = *toViewport;
    const qreal pulse = m_pulse->state() == QAbstractAnimation::Running ? m_pulse->currentValue().toReal() : 1.0;
    const qreal grow = (1.0 - pulse) * 6.0;
    painter.setPen(QPen(kMatchColor, 1.5));
    QRectF bounds;
    for (const QRectF &rect : selection->rects) {
        const QRectF shown = t.mapRect(rect).adjusted(-grow, -grow, grow, grow);
        painter.fillRect(shown, QColor(255, 214, 0, 110));
        painter.drawRect(shown);
        bounds |= shown;
    }
    paintMarker(painter, bounds);
}

void PDFSelectionHighlight::paintMarker(QPainter &painter, const QRectF &match) const
{
    if (m_marker->state() != QAbstractAnimation::Running || match.isEmpty())
        return;
    const qreal radius = std::max(std::hypot(match.width(), match.height()) / 2 + 6, kMatchMarkerMinimum / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_marker->currentValue().toReal());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 6)); // a halo that keeps the ring clear of dark lines
    painter.drawEllipse(match.center(), radius, radius);
    painter.setPen(QPen(kMatchColor, 3));
    painter.drawEllipse(match.center(), radius, radius);
    painter.restore();
}
