#pragma once

#include <QMainWindow>

class PDFViewerMenuCommands;
class PDFViewerModel;
class PDFViewerShortcutStore;
class QLabel;
class QStackedWidget;

// The one viewer window: the canvas (or the empty state), a status line and the menu bar.
// Its title follows the model's document title. The model and the store must outlive it.
class PDFViewerMainWindow : public QMainWindow {
    Q_OBJECT

public:
    PDFViewerMainWindow(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    PDFViewerMenuCommands *menuCommands() const { return m_menuCommands; }

    QSize sizeHint() const override { return {1080, 760}; }

private:
    void showCanvas();
    void updateState();

    PDFViewerModel *m_model;
    PDFViewerMenuCommands *m_menuCommands;
    QStackedWidget *m_stack;
    QLabel *m_emptyState;
    QLabel *m_status;
};
