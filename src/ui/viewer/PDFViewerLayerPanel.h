#pragma once

#include "PDFLayer.h"

#include <QWidget>

class PDFViewerLayers;
class QAbstractButton;
class QLabel;
class QPushButton;
class QScrollArea;

// The side panel's layer list: one check box per layer and a radio button per layer of a radio
// group, indented as the document nests them under its headings, in the document's order,
// with 全部显示 and 全部隐藏 above. Every control calls the model's layers and shows what they
// report back, so a radio group's other layer goes off as the document says. A document
// without layers shows 此文档没有图层. Tab reaches every control; Space toggles. UI thread only.
class PDFViewerLayerPanel : public QWidget {
    Q_OBJECT

public:
    // `layers` must outlive the panel.
    explicit PDFViewerLayerPanel(PDFViewerLayers *layers, QWidget *parent = nullptr);

    bool hasLayers() const;
    // The control of row `row`: a check box, a radio button or a heading's label.
    QWidget *rowWidget(int row) const;
    QPushButton *showAllButton() const { return m_showAll; }
    QPushButton *hideAllButton() const { return m_hideAll; }
    // Its controls in Tab order: the two buttons, then the rows that take the focus.
    QList<QWidget *> focusOrder() const;

signals:
    // The document's layers came or went (hasLayers() may have changed).
    void layersReplaced();

private:
    void layersChanged();
    void rebuild(const PDFLayerList &layers);

    PDFViewerLayers *m_layers;
    QPushButton *m_showAll;
    QPushButton *m_hideAll;
    QLabel *m_none;
    QScrollArea *m_scroll;
    QList<QWidget *> m_rowWidgets; // the scroll area's, in its current list
    PDFLayerList m_shown; // the rows the widgets were built for
};
