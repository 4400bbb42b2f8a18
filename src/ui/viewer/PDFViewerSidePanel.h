#pragma once

#include <QWidget>

class PDFThumbnailView;
class PDFViewerLayerPanel;
class PDFViewerLayers;
class QStackedWidget;
class QToolButton;

// Beside the canvas: the page thumbnails or the document's layers, one at a time, chosen by two
// tab buttons above them (缩略图, 图层). The layers' tab is disabled, and the thumbnails shown,
// while the document has no layers. Plain checkable buttons rather than a tab bar: Qt's tab bar
// tells assistive technology its current tab has the focus even while it does not.
// UI thread only.
class PDFViewerSidePanel : public QWidget {
    Q_OBJECT

public:
    // `layers` must outlive the panel.
    explicit PDFViewerSidePanel(PDFViewerLayers *layers, QWidget *parent = nullptr);

    PDFThumbnailView *thumbnails() const { return m_thumbnails; }
    PDFViewerLayerPanel *layerPanel() const { return m_layerPanel; }
    QToolButton *thumbnailsTab() const { return m_thumbnailsTab; }
    QToolButton *layersTab() const { return m_layersTab; }
    // Shows the layers (when the document has any) or the thumbnails.
    void showLayers(bool layers);
    bool isShowingLayers() const;

private:
    void layersReplaced();

    QToolButton *m_thumbnailsTab;
    QToolButton *m_layersTab;
    QStackedWidget *m_pages;
    PDFThumbnailView *m_thumbnails;
    PDFViewerLayerPanel *m_layerPanel;
};
