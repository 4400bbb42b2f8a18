#pragma once

#include <QAbstractButton>
#include <QString>

// A toolbar button drawn by the viewer itself: an optional symbol and an optional caption in
// a 28-pixel-high rounded face. `title` is the accessible name and is never drawn; the
// tooltip and the object name (the automation identifier) are set by the owner.
//
// Looks: a plain face takes a faint brand tint while hovered and enabled; the prominent face
// is filled with the brand colour (0.88 while hovered, 0.5 while disabled). A disabled button
// is drawn at 0.38 opacity as a whole, and hovering it changes nothing.
class PDFToolbarButton : public QAbstractButton {
    Q_OBJECT

public:
    PDFToolbarButton(const QString &title, const QString &systemImage, const QString &label, const QString &identifier,
        bool isProminent = false, QWidget *parent = nullptr);

    QString title() const { return accessibleName(); }
    QString systemImage() const { return m_systemImage; }
    QString label() const { return m_label; }
    bool isProminent() const { return m_isProminent; }
    bool isHovered() const { return m_isHovered; }

    // Fill and border of the face for the current enabled and hover state.
    QColor buttonBackground() const;
    QColor buttonStroke() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QFont captionFont() const;
    int horizontalPadding() const { return m_label.isEmpty() ? 7 : 9; }

    QString m_systemImage;
    QString m_label;
    bool m_isProminent;
    bool m_isHovered = false;
};
