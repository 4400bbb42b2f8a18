#pragma once

#include <QWidget>

// One line of text that shrinks with its space: text that does not fit is cut with an
// ellipsis at the end, never wrapped. The full text stays available as the accessible name
// and as the tooltip while it is cut.
class PDFViewerElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerElidedLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setColor(const QColor &color);
    // The text as currently drawn (with the ellipsis when cut).
    QString displayedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateToolTip();

    QString m_text;
    QColor m_color;
};
