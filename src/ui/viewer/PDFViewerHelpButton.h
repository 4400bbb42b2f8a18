#pragma once

#include <QAbstractButton>

// The status bar's "帮助" button: a question-mark symbol and the caption in the brand colour
// on a faint brand-tinted rounded face, 22 pixels high.
class PDFViewerHelpButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PDFViewerHelpButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
