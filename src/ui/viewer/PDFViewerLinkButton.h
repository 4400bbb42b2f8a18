#pragma once

#include <QAbstractButton>

// A text-only button in the brand colour, like a link ("恢复", "打开官网"): no frame, a faint
// brand tint while hovered or pressed, the accent ring while it has the focus, and the pointing
// hand over it. Takes the focus by Tab and by click. Caption font unless set otherwise.
class PDFViewerLinkButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PDFViewerLinkButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
