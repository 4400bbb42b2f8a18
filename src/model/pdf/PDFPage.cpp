#include "PDFPage.h"

PDFPage::PDFPage(PDFDocument *document, int index, QSizeF pageSize, int fileRotation)
    : m_document(document)
    , m_index(index)
    , m_pageSize(pageSize)
    , m_fileRotation(normalizedRotation(fileRotation))
    , m_rotation(m_fileRotation)
{
}

void PDFPage::setRotation(int degrees)
{
    m_rotation = normalizedRotation(degrees);
}

// The rotation relative to the file's own, which pageSize() already includes.
static int extraRotation(int rotation, int fileRotation)
{
    return PDFPage::normalizedRotation(rotation - fileRotation);
}

QSizeF PDFPage::displaySize() const
{
    const int extra = extraRotation(m_rotation, m_fileRotation);
    return extra == 90 || extra == 270 ? m_pageSize.transposed() : m_pageSize;
}

QTransform PDFPage::pageToDisplay() const
{
    const qreal w = m_pageSize.width();
    const qreal h = m_pageSize.height();
    switch (extraRotation(m_rotation, m_fileRotation)) {
    case 90:
        return QTransform(0, 1, -1, 0, h, 0);
    case 180:
        return QTransform(-1, 0, 0, -1, w, h);
    case 270:
        return QTransform(0, -1, 1, 0, 0, w);
    default:
        return QTransform();
    }
}

// The same snapping MuPDF applies to a page's /Rotate, so that a page's rotation here
// always matches the geometry MuPDF draws.
int PDFPage::normalizedRotation(int degrees)
{
    long long d = degrees;
    if (d < 0)
        d = 360 - ((-d) % 360);
    if (d >= 360)
        d %= 360;
    d = 90 * ((d + 45) / 90);
    return d >= 360 ? 0 : int(d);
}
