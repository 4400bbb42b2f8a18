#pragma once

#include <QRectF>
#include <QString>

// A measuring viewport a page declares (/VP): inside `area`, lengths on the paper stand for
// real lengths at the drawing's scale.
struct PDFMeasureViewport {
    QRectF area; // page space
    QString ratio; // the file's own wording of the scale, e.g. "1:100"; may be empty
    QString unit; // e.g. "mm", "m", "ft"
    double unitsPerPoint = 0; // real length in `unit` drawn as one point on the paper; > 0
};
