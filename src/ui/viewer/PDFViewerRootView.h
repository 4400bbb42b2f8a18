#pragma once

#include <QPointer>
#include <QWidget>

class BlueprintPDFView;
class PDFThumbnailView;
class PDFViewerSidePanel;
class PDFViewerEmptyState;
class PDFViewerModel;
class PDFViewerPresentationView;
class PDFViewerShortcutStore;
class PDFViewerStatusBar;
class PDFViewerToolbar;
class QMimeData;
class QSplitter;
class QStackedWidget;
class QVBoxLayout;

// The content of the viewer window. It shows the normal layout (toolbar, document area,
// status bar) or, while presenting a document, the presentation layout (the same canvas on
// black with a floating exit button). It owns no document state: everything it shows comes
// from the model and the shortcut store, and every control calls a model operation.
//
// Files dropped anywhere on it are handed to the model's open(). UI thread only.
//
// The canvas belongs to the model, for the model's whole life. This view only lends it a
// place: beside the thumbnails (hidden behind the empty state while no page exists) or in the
// presentation layout while presenting. The view never deletes the canvas, and gives it back
// (parentless) when it is destroyed itself.
class PDFViewerRootView : public QWidget {
    Q_OBJECT

public:
    // `model` and `shortcuts` must outlive the view.
    PDFViewerRootView(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);
    ~PDFViewerRootView() override;

    // Puts the keyboard focus in the search field (the "search this PDF" command).
    void focusSearchField();

    // True while the presentation layout is shown: presenting with at least one page.
    bool isShowingPresentationLayout() const;
    // True while an acceptable drag (one carrying a local file) hovers over the view.
    bool isDropTargeted() const { return m_isDropTargeted; }
    // Whether a drag with `mimeData` is accepted: it must carry at least one local file.
    static bool acceptsDrop(const QMimeData *mimeData);

    PDFViewerToolbar *toolbar() const { return m_toolbar; }
    PDFViewerStatusBar *statusBar() const { return m_statusBar; }
    PDFViewerEmptyState *emptyState() const { return m_emptyState; }
    PDFThumbnailView *thumbnailView() const { return m_thumbnails; }
    // Beside the canvas: the thumbnails or the layers.
    PDFViewerSidePanel *sidePanel() const { return m_sidePanel; }
    QSplitter *splitView() const { return m_split; }
    PDFViewerPresentationView *presentationView() const { return m_presentation; }

signals:
    // The status bar's help button was clicked.
    void helpRequested();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool event(QEvent *event) override;
    // Watches the top-level window for leaving full screen.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Chooses the layout and puts the model's canvas where that layout wants it.
    void updateLayout();
    void placeCanvas();
    void setDropTargeted(bool targeted);
    void watchWindow();
    void updateTabOrder();

    PDFViewerModel *m_model;
    PDFViewerShortcutStore *m_shortcuts;
    QStackedWidget *m_layouts;
    QWidget *m_normal;
    PDFViewerToolbar *m_toolbar;
    QStackedWidget *m_content;
    PDFViewerEmptyState *m_emptyState;
    QSplitter *m_split;
    PDFViewerSidePanel *m_sidePanel;
    PDFThumbnailView *m_thumbnails; // the side panel's
    QWidget *m_canvasHost;
    QVBoxLayout *m_canvasHostLayout;
    PDFViewerStatusBar *m_statusBar;
    PDFViewerPresentationView *m_presentation;
    QPointer<BlueprintPDFView> m_canvas;
    QPointer<QWidget> m_watchedWindow;
    bool m_isDropTargeted = false;
};
