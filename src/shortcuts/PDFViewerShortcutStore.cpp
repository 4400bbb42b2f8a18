#include "PDFViewerShortcutStore.h"

PDFViewerShortcutStore::PDFViewerShortcutStore(QObject *parent)
    : QObject(parent)
{
}

PDFViewerShortcutStore &PDFViewerShortcutStore::shared()
{
    static PDFViewerShortcutStore store;
    return store;
}
