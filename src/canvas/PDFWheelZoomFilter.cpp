#include "PDFWheelZoomFilter.h"

#include "PDFViewport.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr double kLineWheelSensitivity = 0.12;
constexpr double kPreciseWheelSensitivity = 0.012;

} // namespace

PDFWheelZoomFilter::PDFWheelZoomFilter(QAbstractScrollArea *canvas, PDFViewport *viewport)
    : QObject(canvas)
    , m_canvas(canvas)
    , m_viewport(viewport)
{
    qApp->installEventFilter(this);
}

PDFWheelZoomFilter::~PDFWheelZoomFilter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

double PDFWheelZoomFilter::factorFor(double deltaY, bool precise)
{
    return std::exp(deltaY * (precise ? kPreciseWheelSensitivity : kLineWheelSensitivity));
}

bool PDFWheelZoomFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched->isWidgetType())
        return zoom(static_cast<QWidget *>(watched), static_cast<QWheelEvent *>(event));
    return QObject::eventFilter(watched, event);
}

bool PDFWheelZoomFilter::zoom(QWidget *receiver, QWheelEvent *event)
{
    if (!m_canvas->parentWidget() || !m_canvas->isVisible() || receiver->window() != m_canvas->window())
        return false;
    const QPoint local = m_canvas->mapFromGlobal(event->globalPosition()).toPoint();
    // The opaque viewport is cut out of the canvas's own visible region; count it back in.
    QWidget *viewport = m_canvas->viewport();
    const QRegion shown = m_canvas->visibleRegion() + viewport->visibleRegion().translated(viewport->pos());
    if (!shown.boundingRect().contains(local))
        return false;
    const bool precise = !event->pixelDelta().isNull();
    const QPointF delta = precise ? QPointF(event->pixelDelta()) : QPointF(event->angleDelta()) / 120.0;
    if (std::abs(delta.x()) > std::abs(delta.y()) || delta.y() == 0)
        return false;
    m_viewport->zoomBy(factorFor(delta.y(), precise));
    event->accept();
    return true;
}
