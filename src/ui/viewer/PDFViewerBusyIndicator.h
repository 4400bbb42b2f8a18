#pragma once

#include <QWidget>

class QVariantAnimation;

// A small indeterminate progress indicator: an arc that turns while the widget is visible.
// The animation runs only while shown, so a hidden indicator costs nothing.
class PDFViewerBusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerBusyIndicator(int size, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QVariantAnimation *m_rotation;
};
