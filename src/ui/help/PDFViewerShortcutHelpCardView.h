#pragma once

#include <QWidget>

class PDFViewerShortcutStore;

// The help card as a widget, 720 × 480, drawn from the store's configuration and redrawn the
// moment it changes. For assistive technologies it is one container named after the card,
// holding one element per shortcut row ("放大，Alt+="). The store must outlive the view.
class PDFViewerShortcutHelpCardView : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerShortcutHelpCardView(PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();

    PDFViewerShortcutStore *m_shortcuts;
    QList<QWidget *> m_rowElements;
};
