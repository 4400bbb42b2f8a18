#pragma once

#include <QObject>

class PDFViewport;
class QPainter;
class QRectF;
class QVariantAnimation;
class QWidget;

// Paints the viewport's current selection: a filled outline that pulses once when a match is
// shown, and a ring of at least a fixed size around it that holds for a moment and fades, so
// that a match a few pixels wide on a fitted sheet is still found. UI thread only.
class PDFSelectionHighlight : public QObject {
    Q_OBJECT

public:
    // `target` is repainted while the animations run; both must outlive the highlight.
    PDFSelectionHighlight(const PDFViewport *viewport, QWidget *target);

    // Logical pixels of the target.
    void paint(QPainter &painter) const;

private:
    void selectionChanged(bool animate);
    void paintMarker(QPainter &painter, const QRectF &match) const;

    const PDFViewport *m_viewport;
    QVariantAnimation *m_pulse;
    QVariantAnimation *m_marker; // opacity of the ring around the match, 1 → 0
};
