#pragma once

#include <QWidget>

class PDFViewerModel;
class PDFViewerSymbolView;
class QLabel;
class QPushButton;

// The document area while no page can be shown: an invitation to drop a PDF or choose one.
// While a file is dragged over the window (setDropTargeted) the symbol turns to the accent
// colour, the title to "松开即可打开", and a dashed frame 24 pixels inside the area appears.
class PDFViewerEmptyState : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerEmptyState(PDFViewerModel *model, QWidget *parent = nullptr);

    bool isDropTargeted() const { return m_isDropTargeted; }
    void setDropTargeted(bool targeted);

    QString title() const;
    PDFViewerSymbolView *symbol() const { return m_symbol; }
    QPushButton *chooseButton() const { return m_choose; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    PDFViewerSymbolView *m_symbol;
    QLabel *m_title;
    QLabel *m_hint;
    QPushButton *m_choose;
    bool m_isDropTargeted = false;
};
