#pragma once

#include <QMetaType>
#include <QRectF>
#include <QString>
#include <QVector>

// One found piece of text. A plain value: it does not keep its document alive.
// Rectangles are in page space: points, origin at the top-left corner of the page as the
// file itself shows it (its own /Rotate applied, none of the viewer's rotation).
struct PDFSelection {
    int pageIndex = -1;
    QString string;
    QVector<QRectF> rects;

    bool isEmpty() const { return pageIndex < 0 || rects.isEmpty(); }
    QRectF bounds() const;
    bool operator==(const PDFSelection &other) const
    {
        return pageIndex == other.pageIndex && string == other.string && rects == other.rects;
    }
    bool operator!=(const PDFSelection &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(PDFSelection)
