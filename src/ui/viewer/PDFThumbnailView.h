#pragma once

#include "BlueprintPDFView.h"
#include "PDFTileKey.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QSize>

class QPainter;

// The strip of page thumbnails beside the canvas. It follows the canvas it is bound to:
// one thumbnail per page of the canvas's document, the current page marked, rotations as
// the canvas shows them; a click moves the canvas to that page. Thumbnails are rendered by
// the canvas's render queue at background priority, only for the pages in view.
//
// From the keyboard (Tab reaches it; a ring in the accent colour shows it has the focus),
// ↑ ↓ step one page, Page Up and Page Down a viewful of thumbnails, Home and End go to the
// ends, and Return or Enter to the top of the current page; each moves the canvas, which the
// strip follows. Only unmodified keys: combinations belong to the application's shortcuts.
class PDFThumbnailView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr QSize thumbnailSize {112, 148}; // logical pixels, the page fits inside

    explicit PDFThumbnailView(QWidget *parent = nullptr);

    BlueprintPDFView *pdfView() const { return m_pdfView; }
    // Binds the strip to `view` (null unbinds); called again whenever the model's canvas changes.
    void setPDFView(BlueprintPDFView *view);

    // The page under a viewport point, or -1.
    int pageAt(QPoint viewportPoint) const;
    // The cell of page `index` in viewport coordinates.
    QRect cellRect(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void documentChanged();
    void currentPageChanged();
    void updateScrollBar();
    int pageCount() const;
    PDFTileKey thumbnailKey(int index) const;
    // Along the viewport's edge, while the strip has the keyboard focus.
    void paintFocusRing(QPainter &painter) const;

    QPointer<BlueprintPDFView> m_pdfView;
    QMetaObject::Connection m_connections[5];
};
