#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class PDFViewerMenuCommands;
class PDFViewerModel;
class PDFViewerRootView;
class PDFViewerShortcutStore;
class QSettings;

// The one viewer window, "pdf-viewer-main": the root view as its content and the menu bar.
// Its title follows the model's document title; its minimum size is the content's. While
// presenting, the menu bar is hidden (its commands keep their keys). The model and the store
// must outlive it.
class PDFViewerMainWindow : public QMainWindow {
    Q_OBJECT

public:
    PDFViewerMainWindow(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    QSize sizeHint() const override;

    PDFViewerRootView *rootView() const { return m_rootView; }
    PDFViewerMenuCommands *menuCommands() const { return m_menuCommands; }

    // Places the window where `settings` says it was last (PDFViewerWindowPlacement decides
    // whether that is still usable), maximised if it was, and from then on keeps it there:
    // 400 ms after the last move, resize or state change, and at close. What is kept is the
    // normal geometry, so full screen and presentation never overwrite it. Call before the
    // window is first shown.
    void rememberGeometryIn(QSettings *settings);

protected:
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void updateTitle();
    void updatePresentation();
    void storeGeometry();

    PDFViewerModel *m_model;
    PDFViewerRootView *m_rootView;
    PDFViewerMenuCommands *m_menuCommands;
    QPointer<QSettings> m_geometryStore;
    QTimer m_geometrySave; // single shot, restarted by every change
};
