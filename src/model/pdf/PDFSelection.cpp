#include "PDFSelection.h"

QRectF PDFSelection::bounds() const
{
    QRectF result;
    for (const QRectF &rect : rects)
        result = result.united(rect);
    return result;
}
