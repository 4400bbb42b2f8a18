#pragma once

#include <QSizeF>
#include <QTransform>

class PDFDocument;

// One page of an open document. Owned by its PDFDocument, which outlives every pointer
// handed out. Geometry is read once when the document opens; the rotation is the viewer's
// own, in memory only, and never written back to the file.
//
// UI thread only (the renderer reads geometry through PDFDocument under its own lock).
class PDFPage {
public:
    PDFPage(PDFDocument *document, int index, QSizeF pageSize, int fileRotation);

    PDFDocument *document() const { return m_document; }
    int index() const { return m_index; }

    // The longest page side, in points (about 70 m, longer than any plotter roll): a page at
    // the largest zoom stays well inside int device pixels. A page the file makes larger, or
    // whose size cannot be read, is given A4 portrait.
    static constexpr qreal maximumSide = 200000;

    // Size in points of the page as the file shows it (its own /Rotate applied). Both sides
    // are finite, above 0 and at most maximumSide.
    QSizeF pageSize() const { return m_pageSize; }
    // The file's /Rotate, normalised to 0, 90, 180 or 270.
    int fileRotation() const { return m_fileRotation; }

    // The rotation the viewer shows, in degrees: 0, 90, 180 or 270. Starts as fileRotation().
    int rotation() const { return m_rotation; }
    // Any multiple of 90 (negative too) is accepted and normalised; other values are
    // rounded to the nearest quarter turn.
    void setRotation(int degrees);

    // Size in points as the viewer shows it, with rotation() applied.
    QSizeF displaySize() const;
    // Maps page space (see PDFSelection) to displayed-page space: points, origin top-left,
    // with rotation() applied.
    QTransform pageToDisplay() const;

    static int normalizedRotation(int degrees);

private:
    PDFDocument *m_document;
    int m_index;
    QSizeF m_pageSize;
    int m_fileRotation;
    int m_rotation;
};
