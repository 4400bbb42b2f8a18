#pragma once

#include <QAbstractButton>

// The floating "退出投影 Esc" button of the presentation layout: symbol, caption and a dimmed
// "Esc" on a brand-coloured rounded face 32 pixels high with a soft shadow. The widget is
// larger than the face by kShadowMargin on every side so that the shadow can be drawn; only
// the face takes clicks.
class PDFViewerExitPresentationButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kShadowMargin = 11;

    explicit PDFViewerExitPresentationButton(QWidget *parent = nullptr);

    // The face within the widget.
    QRect faceRect() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QFont keyFont() const;
};
