#include "PDFViewerLayerPanel.h"

#include "PDFViewerLayers.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>

namespace {

constexpr int kIndentPerDepth = 16; // logical pixels

// Whether `a` and `b` list the same rows, whatever they show.
bool sameRows(const PDFLayerList &a, const PDFLayerList &b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), [](const PDFLayer &x, const PDFLayer &y) {
        return x.name == y.name && x.depth == y.depth && x.kind == y.kind && x.locked == y.locked;
    });
}

QPushButton *panelButton(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

PDFViewerLayerPanel::PDFViewerLayerPanel(PDFViewerLayers *layers, QWidget *parent)
    : QWidget(parent)
    , m_layers(layers)
{
    setObjectName(QStringLiteral("pdf-layer-panel"));
    setAccessibleName(QStringLiteral("图层"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    auto *buttons = new QHBoxLayout;
    m_showAll = panelButton(QStringLiteral("全部显示"), QStringLiteral("pdf-layers-show-all"), this);
    m_hideAll = panelButton(QStringLiteral("全部隐藏"), QStringLiteral("pdf-layers-hide-all"), this);
    buttons->addWidget(m_showAll);
    buttons->addWidget(m_hideAll);
    column->addLayout(buttons);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("pdf-layer-list"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    column->addWidget(m_scroll, 1);

    m_none = new QLabel(QStringLiteral("此文档没有图层"), this);
    m_none->setObjectName(QStringLiteral("pdf-layers-none"));
    m_none->setAlignment(Qt::AlignCenter);
    m_none->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(m_none, 1);

    connect(m_showAll, &QPushButton::clicked, this, [this] { m_layers->setAllVisible(true); });
    connect(m_hideAll, &QPushButton::clicked, this, [this] { m_layers->setAllVisible(false); });
    connect(m_layers, &PDFViewerLayers::layersChanged, this, &PDFViewerLayerPanel::layersChanged);
    rebuild({});
    layersChanged();
}

bool PDFViewerLayerPanel::hasLayers() const
{
    return !m_shown.isEmpty();
}

QList<QWidget *> PDFViewerLayerPanel::focusOrder() const
{
    QList<QWidget *> order {m_showAll, m_hideAll};
    for (QWidget *row : m_rowWidgets) {
        if (row->focusPolicy() != Qt::NoFocus)
            order.append(row);
    }
    return order;
}

QWidget *PDFViewerLayerPanel::rowWidget(int row) const
{
    return m_rowWidgets.value(row);
}

void PDFViewerLayerPanel::layersChanged()
{
    const PDFLayerList &layers = m_layers->layers();
    const bool replaced = !sameRows(layers, m_shown);
    if (replaced)
        rebuild(layers);
    m_shown = layers;
    for (int i = 0; i < layers.size(); ++i) {
        if (auto *button = qobject_cast<QAbstractButton *>(m_rowWidgets[i])) {
            const QSignalBlocker blocker(button);
            button->setChecked(layers[i].visible);
        }
    }
    if (replaced)
        emit layersReplaced();
}

void PDFViewerLayerPanel::rebuild(const PDFLayerList &layers)
{
    // A new list each time: the scroll area deletes the old one with its rows.
    auto *list = new QWidget(m_scroll);
    auto *rows = new QVBoxLayout(list);
    rows->setContentsMargins(0, 4, 0, 4);
    rows->setSpacing(2);
    m_rowWidgets.clear();
    for (int i = 0; i < layers.size(); ++i) {
        const PDFLayer &layer = layers[i];
        QWidget *widget = nullptr;
        if (layer.kind == PDFLayer::Kind::Label) {
            auto *label = new QLabel(layer.name, list);
            QFont font = label->font();
            font.setBold(true);
            label->setFont(font);
            widget = label;
        } else {
            QAbstractButton *button = layer.kind == PDFLayer::Kind::Radio
                ? static_cast<QAbstractButton *>(new QRadioButton(layer.name, list))
                : new QCheckBox(layer.name, list);
            // The document decides which radio goes off; the model reports it back.
            button->setAutoExclusive(false);
            button->setEnabled(!layer.locked);
            button->setFocusPolicy(Qt::StrongFocus);
            connect(button, &QAbstractButton::clicked, this, [this, i](bool on) { m_layers->setVisible(i, on); });
            widget = button;
        }
        widget->setObjectName(QStringLiteral("pdf-layer-%1").arg(i));
        widget->setAccessibleName(layer.name);
        auto *line = new QHBoxLayout;
        line->addSpacing(kIndentPerDepth * layer.depth);
        line->addWidget(widget, 1);
        rows->addLayout(line);
        m_rowWidgets.append(widget);
    }
    rows->addStretch(1);
    m_scroll->setWidget(list);
    // Tab goes from 全部隐藏 down the rows, then on to what followed the panel.
    const QList<QWidget *> order = focusOrder();
    for (int i = 2; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    const bool any = !layers.isEmpty();
    m_scroll->setVisible(any);
    m_showAll->setEnabled(any);
    m_hideAll->setEnabled(any);
    m_none->setVisible(!any);
}
