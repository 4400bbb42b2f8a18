#include "PDFViewerViewOptions.h"

#include "BlueprintPDFView.h"
#include "PDFOverviewMap.h"
#include "PDFViewerModel.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

PDFViewerViewOptions::PDFViewerViewOptions(QMenu *menu, PDFViewerModel *model, QSettings *settings, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_settings(settings)
{
    menu->addSeparator();
    m_invertedView = addOption(menu, QStringLiteral("反色显示"), QStringLiteral("pdf-menu-inverted-view"),
        QStringLiteral("invertedViewV1"), false);
    m_overviewMap = addOption(menu, QStringLiteral("显示总览图"), QStringLiteral("pdf-menu-overview-map"),
        QStringLiteral("overviewMapV1"), true);
    apply();
}

QAction *PDFViewerViewOptions::addOption(
    QMenu *menu, const QString &title, const QString &objectName, const QString &key, bool checked)
{
    QAction *item = menu->addAction(title);
    item->setObjectName(objectName);
    item->setCheckable(true);
    item->setChecked(m_settings->value(key, checked).toBool());
    connect(item, &QAction::toggled, this, [this, key](bool on) {
        m_settings->setValue(key, on);
        m_settings->sync();
        apply();
    });
    return item;
}

void PDFViewerViewOptions::apply()
{
    BlueprintPDFView *canvas = m_model->pdfView();
    if (!canvas)
        return;
    canvas->pdfViewport()->setInvertsColors(m_invertedView->isChecked());
    canvas->overviewMap()->setAllowed(m_overviewMap->isChecked());
}
