#pragma once

#include <QWidget>

class QHBoxLayout;

// A rounded capsule that holds related toolbar controls in a row (1 pixel apart, 3 pixels of
// padding), filled with the thin material and outlined with a faint hairline. Its drop
// shadow lies outside its bounds and is therefore painted by the parent strip
// (shadowRect(), kShadow…).
class PDFToolbarGroup : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal kCornerRadius = 10;
    static constexpr qreal kShadowOpacity = 0.045;
    static constexpr qreal kShadowRadius = 2;
    static constexpr qreal kShadowOffsetY = 1;

    explicit PDFToolbarGroup(QWidget *parent = nullptr);

    // Appends `widget` to the row, vertically centred; the group takes ownership.
    void addWidget(QWidget *widget);
    // Appends a divider: a 1 × 18 rule in the primary colour at 0.1 opacity, 1 pixel of
    // space on either side.
    void addDivider();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QHBoxLayout *m_layout;
};
