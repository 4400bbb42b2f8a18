#pragma once

#include <QMainWindow>

class PDFViewerMenuCommands;
class PDFViewerModel;
class PDFViewerRootView;
class PDFViewerShortcutStore;

// The one viewer window, "pdf-viewer-main": the root view as its content and the menu bar.
// Its title follows the model's document title; its minimum size is the content's. While
// presenting, the menu bar is hidden (its commands keep their keys). The model and the store
// must outlive it.
class PDFViewerMainWindow : public QMainWindow {
    Q_OBJECT

public:
    PDFViewerMainWindow(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {1080, 760}; }

    PDFViewerRootView *rootView() const { return m_rootView; }
    PDFViewerMenuCommands *menuCommands() const { return m_menuCommands; }

private:
    void updateTitle();
    void updatePresentation();

    PDFViewerModel *m_model;
    PDFViewerRootView *m_rootView;
    PDFViewerMenuCommands *m_menuCommands;
};
