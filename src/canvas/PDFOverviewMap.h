#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>

class PDFRenderQueue;
class PDFViewport;

// A small map floating in a corner of the canvas while the current page does not fit the view:
// the whole page as the canvas's low-resolution preview shows it (turned and coloured as on
// screen) with the visible part outlined. A click or a drag centres the view on the point
// under the pointer; with the keyboard focus, arrow keys move the view by a tenth of the page.
// Hidden without a page, while the page fits and while switched off.
//
// It sits at the bottom right of its parent, the canvas's viewport widget, or at the first
// other corner where it covers none of the widgets it keeps clear of; where every corner would
// cover one it hides. Logical pixels of the parent. UI thread only.
class PDFOverviewMap : public QWidget {
    Q_OBJECT

public:
    // `viewport` and `queue` (the canvas's) must outlive the map.
    PDFOverviewMap(PDFViewport *viewport, PDFRenderQueue *queue, QWidget *parent);

    // Whether the user wants the map; on unless set. It shows only while the page does not fit.
    bool isAllowed() const { return m_allowed; }
    void setAllowed(bool allowed);
    // Never covers `widget` (a widget of the same window) while that is visible.
    void keepClearOf(QWidget *widget);

    // Where the page is drawn in the map, and the outline of the visible part of it; empty
    // while the map has no page to show.
    QRectF pageArea() const { return m_pageArea; }
    QRectF visibleArea() const { return m_visibleArea; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Recomputes the page, the outline, the place and whether the map shows.
    void refresh();
    // The first corner free of the widgets kept clear of; null when there is none.
    QRect placeFor(QSize size) const;
    // Scrolls the view so that its centre shows the page under `point` (map coordinates).
    void centreOn(QPointF point);

    PDFViewport *m_viewport;
    PDFRenderQueue *m_queue;
    QList<QPointer<QWidget>> m_keepClear;
    bool m_allowed = true;
    bool m_dragging = false;
    int m_page = -1;
    QRectF m_pageArea;
    QRectF m_visibleArea;
    // The preview scaled to the map once, so that a frame of a pan does not scale it again.
    QImage m_scaledPreview;
    qint64 m_scaledFrom = 0; // the preview's cacheKey()
};
