#pragma once

#include <QToolButton>

class PDFViewerModel;

// The toolbar's recent-documents pull-down: a clock face 30 × 28 pixels that opens a menu of
// the model's recent list, most recent first. Choosing an entry reopens it through the model
// (bookmark first, else the stored path); each entry's tooltip is its folder. An empty list
// shows one inert "暂无最近文件" item.
// The menu is rebuilt whenever the list changes.
//
// The face is tinted while the pointer is over it. That state is the button's own: under X11
// no Leave arrives while the menu is open, so Qt's underMouse() would still hold after the
// menu closed with the pointer elsewhere; the pointer is looked at again when the menu hides.
class PDFViewerRecentMenu : public QToolButton {
    Q_OBJECT

public:
    explicit PDFViewerRecentMenu(PDFViewerModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {30, 28}; }
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool isHovered() const { return m_isHovered; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    void rebuild();
    void setHovered(bool hovered);

    PDFViewerModel *m_model;
    bool m_isHovered = false;
};
