#pragma once

#include "PDFMeasureScale.h"
#include "PDFMeasureViewport.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

class PDFRenderCookie;
class PDFSnapIndex;
class PDFViewport;
class QPainter;
class QWidget;

// Measuring on the canvas. In measure mode every click puts a point on the page under it,
// snapped to a line end or a crossing of the drawing's paths within a few pixels; two points
// give a distance, more a polyline's length, shown as a dimension line with its value. A
// double click or Enter ends the measurement; the next click starts a new one. In calibrate
// mode two points measure a known length and hand it to the owner (calibrationMeasured).
//
// Points are kept in page space, so zoom, scroll and rotation move them with the drawing.
// The page's snap points and measuring viewports are read on a worker thread the first time
// the pointer comes over a page. UI thread only.
class PDFMeasureTool : public QObject {
    Q_OBJECT

public:
    enum class Mode { Off, Measure, Calibrate };
    // How near, in logical pixels, a point must be to a line end or crossing to snap to it.
    static constexpr qreal snapRadius = 8;

    // Both must outlive the tool; `target` is repainted when what the tool shows changes.
    PDFMeasureTool(PDFViewport *viewport, QWidget *target);
    ~PDFMeasureTool() override;

    Mode mode() const { return m_mode; }
    // Leaving a mode drops the measurement in progress; the last result stays.
    void setMode(Mode mode);
    // The document's own calibration, used where no measuring viewport of the page applies.
    void setCalibration(const std::optional<PDFMeasureScale> &calibration);

    // Input from the canvas, in logical pixels of `target`. Each returns false, doing nothing,
    // when the tool is off.
    bool click(const QPointF &position);
    bool hover(const QPointF &position);
    bool finish();
    // Takes back the last point of the measurement in progress.
    bool undoPoint();

    // The last measurement as text (see PDFMeasureScale::describe); empty before the first.
    QString lastMeasurement() const { return m_lastText; }
    // The page point a click at `position` would put down, snapped (and `snapped` set) when
    // the page's snap points are read and one is near; none off the pages.
    std::optional<QPointF> pagePointAt(const QPointF &position, int *pageIndex, bool *snapped = nullptr) const;

    void paint(QPainter &painter) const;

signals:
    void modeChanged(PDFMeasureTool::Mode mode);
    void measurementChanged(const QString &text);
    // Calibrate mode: two points `pagePoints` apart (page units) were put down.
    void calibrationMeasured(qreal pagePoints);
    // The page's snap points and viewports arrived (for tests and repaint).
    void pageDataReady(int pageIndex);

private:
    void reset();
    void loadPageData(int pageIndex);
    QPointF toViewport(int pageIndex, const QPointF &pagePoint) const;
    PDFMeasureScale scaleFor(const QVector<QPointF> &points) const;
    void publish();

    PDFViewport *m_viewport;
    QWidget *m_target;
    Mode m_mode = Mode::Off;
    std::optional<PDFMeasureScale> m_calibration;

    int m_page = -1; // of the measurement in progress or shown
    QVector<QPointF> m_points;
    bool m_finished = false;
    std::optional<QPointF> m_hover; // page space, on m_page or m_hoverPage
    int m_hoverPage = -1;
    bool m_hoverSnapped = false;
    QString m_lastText;

    // One page's data at a time: the snap points and measuring viewports of m_dataPage.
    int m_dataPage = -1;
    std::shared_ptr<const PDFSnapIndex> m_snaps;
    QVector<PDFMeasureViewport> m_viewports;
    std::shared_ptr<PDFRenderCookie> m_loading;
};
