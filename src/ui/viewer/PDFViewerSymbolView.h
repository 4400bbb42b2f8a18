#pragma once

#include "PDFViewerSymbol.h"

#include <QWidget>

// A symbol drawn at a fixed size in a fixed colour; decorative, so it takes no input and no
// focus. The widget is exactly `size` × `size` logical pixels.
class PDFViewerSymbolView : public QWidget {
    Q_OBJECT

public:
    PDFViewerSymbolView(const QString &name, int size, const QColor &color,
        PDFViewerSymbol::Weight weight = PDFViewerSymbol::Weight::Regular, QWidget *parent = nullptr);

    QString name() const { return m_name; }
    QColor color() const { return m_color; }
    void setSymbol(const QString &name, const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    QColor m_color;
    PDFViewerSymbol::Weight m_weight;
};
