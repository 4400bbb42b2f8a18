#pragma once

#include <QToolButton>

class PDFViewerModel;

// The toolbar's recent-documents pull-down: a clock face 30 × 28 pixels that opens a menu of
// the model's recent list, most recent first. Choosing an entry reopens it through the model
// (bookmark first, else the stored path); each entry's tooltip is its folder. An empty list
// shows one inert "暂无最近文件" item.
// The menu is rebuilt whenever the list changes.
class PDFViewerRecentMenu : public QToolButton {
    Q_OBJECT

public:
    explicit PDFViewerRecentMenu(PDFViewerModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {30, 28}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    void rebuild();

    PDFViewerModel *m_model;
};
