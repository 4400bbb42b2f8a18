#include "PDFViewerViewOptions.h"

#include "PDFViewerModel.h"
#include "PDFViewport.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

PDFViewerViewOptions::PDFViewerViewOptions(QMenu *menu, PDFViewerModel *model, QSettings *settings, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_settings(settings)
{
    menu->addSeparator();
    m_invertedView = addOption(
        menu, QStringLiteral("反色显示"), QStringLiteral("pdf-menu-inverted-view"), QStringLiteral("invertedViewV1"));
    apply();
}

QAction *PDFViewerViewOptions::addOption(
    QMenu *menu, const QString &title, const QString &objectName, const QString &key)
{
    QAction *item = menu->addAction(title);
    item->setObjectName(objectName);
    item->setCheckable(true);
    item->setChecked(m_settings->value(key, false).toBool());
    connect(item, &QAction::toggled, this, [this, key](bool on) {
        m_settings->setValue(key, on);
        m_settings->sync();
        apply();
    });
    return item;
}

void PDFViewerViewOptions::apply()
{
    if (PDFViewport *viewport = m_model->viewport())
        viewport->setInvertsColors(m_invertedView->isChecked());
}
