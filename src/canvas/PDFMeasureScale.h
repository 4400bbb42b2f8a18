#pragma once

#include "PDFMeasureViewport.h"

#include <QPointF>
#include <QString>
#include <QVector>

#include <optional>

// How a length measured on the paper reads in the real world, and where that comes from:
// the page's own measuring viewport, the user's calibration of the document, or else the
// paper itself in millimetres.
struct PDFMeasureScale {
    enum class Source { Viewport, Calibration, Paper };
    Source source = Source::Paper;
    double unitsPerPoint = 25.4 / 72;
    QString unit = QStringLiteral("mm");
    QString ratio; // the viewport's own wording, e.g. "1:100"; empty otherwise

    bool operator==(const PDFMeasureScale &other) const
    {
        return source == other.source && unitsPerPoint == other.unitsPerPoint && unit == other.unit
            && ratio == other.ratio;
    }

    // The scale for a measurement through `points` (page space): the last of `viewports` that
    // holds every point, else `calibration`, else millimetres of paper.
    static PDFMeasureScale choose(const QVector<PDFMeasureViewport> &viewports,
        const std::optional<PDFMeasureScale> &calibration, const QVector<QPointF> &points);
    // A calibration in which `pagePoints` on the paper are `length` `unit`s; none unless
    // both are finite and above zero.
    static std::optional<PDFMeasureScale> calibrated(qreal pagePoints, double length, const QString &unit);

    // `pagePoints` of paper in this scale's unit, grouped in thousands, with two decimals below
    // 10, one below 100 and none above, trailing zeros dropped: "1,000 mm", "2.35 m".
    QString format(qreal pagePoints) const;
    // The sentence the canvas and the clipboard show for a measurement through `points`:
    // "距离 1,000 mm（1:100）" for two points, "长度 2,350 mm（3 段，已校准）" for more.
    QString describe(const QVector<QPointF> &points) const;
};

// The length of the polyline through `points`, in page units.
qreal polylineLength(const QVector<QPointF> &points);
