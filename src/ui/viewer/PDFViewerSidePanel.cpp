#include "PDFViewerSidePanel.h"

#include "PDFThumbnailView.h"
#include "PDFViewerLayerPanel.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *tabButton(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

} // namespace

PDFViewerSidePanel::PDFViewerSidePanel(PDFViewerLayers *layers, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pdf-side-panel"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *tabs = new QHBoxLayout;
    tabs->setContentsMargins(4, 4, 4, 4);
    m_thumbnailsTab = tabButton(QStringLiteral("缩略图"), QStringLiteral("pdf-side-thumbnails-tab"), this);
    m_layersTab = tabButton(QStringLiteral("图层"), QStringLiteral("pdf-side-layers-tab"), this);
    auto *group = new QButtonGroup(this);
    group->addButton(m_thumbnailsTab);
    group->addButton(m_layersTab);
    tabs->addWidget(m_thumbnailsTab);
    tabs->addWidget(m_layersTab);
    column->addLayout(tabs);

    m_pages = new QStackedWidget(this);
    m_thumbnails = new PDFThumbnailView(m_pages);
    m_thumbnails->setObjectName(QStringLiteral("pdf-thumbnails"));
    m_layerPanel = new PDFViewerLayerPanel(layers, m_pages);
    m_pages->addWidget(m_thumbnails);
    m_pages->addWidget(m_layerPanel);
    column->addWidget(m_pages, 1);

    connect(m_thumbnailsTab, &QToolButton::clicked, this, [this] { showLayers(false); });
    connect(m_layersTab, &QToolButton::clicked, this, [this] { showLayers(true); });
    connect(m_layerPanel, &PDFViewerLayerPanel::layersReplaced, this, &PDFViewerSidePanel::layersReplaced);
    layersReplaced();
}

void PDFViewerSidePanel::showLayers(bool layers)
{
    const bool shown = layers && m_layerPanel->hasLayers();
    m_pages->setCurrentWidget(shown ? static_cast<QWidget *>(m_layerPanel) : m_thumbnails);
    (shown ? m_layersTab : m_thumbnailsTab)->setChecked(true);
}

bool PDFViewerSidePanel::isShowingLayers() const
{
    return m_pages->currentWidget() == m_layerPanel;
}

void PDFViewerSidePanel::layersReplaced()
{
    const bool any = m_layerPanel->hasLayers();
    m_layersTab->setEnabled(any);
    const QString none = any ? QString() : QStringLiteral("此文档没有图层");
    m_layersTab->setToolTip(none);
    m_layersTab->setAccessibleDescription(none);
    showLayers(any && isShowingLayers());
}
