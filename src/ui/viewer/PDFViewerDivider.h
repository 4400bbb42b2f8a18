#pragma once

#include <QWidget>

// A one-pixel horizontal hairline in PDFViewerStyle::divider(), starting `indent` logical
// pixels from the leading edge (rows in a card are divided from their text onwards).
class PDFViewerDivider : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerDivider(QWidget *parent = nullptr, int indent = 0);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_indent;
};
