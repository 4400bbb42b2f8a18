#pragma once

#include "BlueprintPDFView.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QSize>


// The strip of page thumbnails beside the canvas. It follows the canvas it is bound to:
// one thumbnail per page of the canvas's document, the current page marked, rotations as
// the canvas shows them; a click moves the canvas to that page. Thumbnails are rendered by
// the canvas's render queue at background priority, only for the pages in view.
class PDFThumbnailView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr QSize thumbnailSize{112, 148}; // logical pixels, the page fits inside

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

private:
    void documentChanged();
    void currentPageChanged();
    void updateScrollBar();
    int pageCount() const;
    PDFTileKey thumbnailKey(int index) const;

    QPointer<BlueprintPDFView> m_pdfView;
    QMetaObject::Connection m_connections[4];
};
