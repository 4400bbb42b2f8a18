#pragma once

#include <QMainWindow>

class PDFViewerModel;
class QLabel;
class QStackedWidget;

// The one viewer window: the canvas (or the empty state), a status line and the File menu.
// Its title follows the model's document title.
class PDFViewerMainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit PDFViewerMainWindow(PDFViewerModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {1080, 760}; }

private:
    void showCanvas();
    void updateState();

    PDFViewerModel *m_model;
    QStackedWidget *m_stack;
    QLabel *m_emptyState;
    QLabel *m_status;
};
