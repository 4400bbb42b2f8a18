#pragma once

#include <QObject>

class PDFViewport;
class QAbstractScrollArea;
class QWheelEvent;
class QWidget;

// Zooms the canvas with the plain vertical scroll wheel anywhere over its visible area,
// whichever child widget the wheel event goes to. Installed on the application while it
// exists; the canvas keeps one exactly while it sits inside a window, as its child. UI thread
// only.
//
// A step multiplies the scale by e^(deltaY × k), k = 0.012 for precise (pixel) deltas and
// 0.12 for wheel lines; the viewport clamps the result.
class PDFWheelZoomFilter : public QObject {
    Q_OBJECT

public:
    // `canvas` is the parent; `viewport` must outlive the filter.
    PDFWheelZoomFilter(QAbstractScrollArea *canvas, PDFViewport *viewport);
    ~PDFWheelZoomFilter() override;

    // The scale factor of one wheel event's vertical delta.
    static double factorFor(double deltaY, bool precise);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool zoom(QWidget *receiver, QWheelEvent *event);

    QAbstractScrollArea *m_canvas;
    PDFViewport *m_viewport;
};
