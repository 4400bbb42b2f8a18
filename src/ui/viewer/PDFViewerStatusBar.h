#pragma once

#include <QWidget>

class PDFViewerElidedLabel;
class PDFViewerHelpButton;
class PDFViewerModel;
class PDFViewerShortcutStore;
class PDFViewerSymbolView;
class QLabel;

// The 28-pixel line under the document area: a warning symbol while the status text is the
// model's error message (a document symbol otherwise), the model's status text (one line,
// cut with an ellipsis), while a document is open a reminder of the wheel, drag, actual-size
// and presentation gestures with the current shortcuts, and the help button.
class PDFViewerStatusBar : public QWidget {
    Q_OBJECT

public:
    // `model` and `shortcuts` must outlive the status bar.
    PDFViewerStatusBar(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    PDFViewerSymbolView *icon() const { return m_icon; }
    PDFViewerElidedLabel *statusLabel() const { return m_status; }
    QLabel *hintLabel() const { return m_hint; }
    PDFViewerHelpButton *helpButton() const { return m_help; }

    // The hint for the current shortcuts; shown only while pageCount ≥ 1.
    QString hintText() const;

signals:
    void helpRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    // A palette change (the desktop turning dark) recolours the icon and the hint.
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    PDFViewerModel *m_model;
    PDFViewerShortcutStore *m_shortcuts;
    PDFViewerSymbolView *m_icon;
    PDFViewerElidedLabel *m_status;
    QLabel *m_hint;
    PDFViewerHelpButton *m_help;
};
