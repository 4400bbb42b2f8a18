#pragma once

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QVector>

// Page geometry of the canvas, free of widgets so it can be tested on its own.
//
// Units: "document points" are PDF points at scale 1.0; everything the canvas scrolls is
// in logical pixels = document points × scale. Pages are stacked top to bottom, each
// surrounded by the page-break margins (when page breaks are shown) and centred
// horizontally in the widest page's column. In single-page mode only one page is laid out.
class PDFCanvasLayout {
public:
    struct Settings {
        bool continuous = true;
        bool pageBreaks = true;
        QMarginsF margins {12, 12, 12, 12}; // points, each side of every page
    };

    void setPages(const QVector<QSizeF> &displaySizes); // points, rotation applied
    void setSettings(const Settings &settings);
    const Settings &settings() const { return m_settings; }
    int pageCount() const { return int(m_sizes.size()); }

    // Rectangle of page `index` in document points; empty for pages not laid out (single-page
    // mode shows only `shownPage`).
    QRectF pageRect(int index, int shownPage = 0) const;
    // Size of the whole laid-out area in document points.
    QSizeF documentSize(int shownPage = 0) const;

    // The page under the horizontal line y (document points): the page whose slot (page plus
    // margins) contains y, or the nearest one. -1 without pages.
    int pageAt(qreal y) const;

    // The scale at which page `index` with its margins fits wholly in `viewport` (logical px).
    qreal fitScale(int index, QSizeF viewport) const;

private:
    QMarginsF effectiveMargins() const;
    void rebuild();

    QVector<QSizeF> m_sizes;
    QVector<qreal> m_slotTops; // top of each page's slot, continuous layout
    qreal m_width = 0;
    qreal m_height = 0;
    Settings m_settings;
};
