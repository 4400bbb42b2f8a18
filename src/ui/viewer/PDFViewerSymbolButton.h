#pragma once

#include <QAbstractButton>

// A borderless button that is only a symbol (the search field's previous and next match
// buttons). A faint round tint marks hover and press; disabled buttons are drawn faded.
class PDFViewerSymbolButton : public QAbstractButton {
    Q_OBJECT

public:
    // `side` is the square button's size and `symbolSize` the symbol's, in logical pixels.
    PDFViewerSymbolButton(const QString &symbol, int side, int symbolSize, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    QSize sizeHint() const override { return {m_side, m_side}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    int m_side;
    int m_symbolSize;
};
