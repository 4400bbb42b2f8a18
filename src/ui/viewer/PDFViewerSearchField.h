#pragma once

#include <QWidget>

class PDFViewerBusyIndicator;
class PDFViewerModel;
class PDFViewerSymbolButton;
class PDFViewerSymbolView;
class QLabel;
class QLineEdit;

// The toolbar's search capsule: a magnifier, a text field bound both ways to the model's
// searchText (Return runs the search), a busy indicator while a find runs, and — as soon as
// there is any search text, before a search has run — the result label with buttons for the
// previous and next match. Its width does not depend on which of these show: the text field
// takes whatever room they leave, so the capsule's left edge stays put at the end of the
// strip. Its drop shadow lies outside its bounds and is painted by the parent strip (kShadow…).
class PDFViewerSearchField : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal kCornerRadius = 9;
    static constexpr qreal kShadowOpacity = 0.04;
    static constexpr qreal kShadowRadius = 2;
    static constexpr qreal kShadowOffsetY = 1;

    explicit PDFViewerSearchField(PDFViewerModel *model, QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_input; }
    PDFViewerBusyIndicator *busyIndicator() const { return m_busy; }
    QLabel *resultLabel() const { return m_result; }
    PDFViewerSymbolButton *previousButton() const { return m_previous; }
    PDFViewerSymbolButton *nextButton() const { return m_next; }

    // With every control shown, the text field is 126 pixels wide at the preferred width and
    // 76 at the minimum one.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Repaints the outline when the text field gains or loses focus.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A palette change (the desktop turning dark) recolours the icon and the result count.
    void changeEvent(QEvent *event) override;

private:
    void refresh();
    void applyPalette();
    // The capsule's width with every control shown, the result label holding up to three
    // digits a side, and the text field `inputWidth` wide.
    int widthAround(int inputWidth) const;

    PDFViewerModel *m_model;
    PDFViewerSymbolView *m_icon;
    QLineEdit *m_input;
    PDFViewerBusyIndicator *m_busy;
    QLabel *m_result;
    PDFViewerSymbolButton *m_previous;
    PDFViewerSymbolButton *m_next;
};
