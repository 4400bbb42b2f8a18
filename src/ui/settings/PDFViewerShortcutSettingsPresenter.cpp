#include "PDFViewerShortcutSettingsPresenter.h"

#include "PDFShortcutRecorderButton.h"
#include "PDFViewerShortcutSettingsRow.h"
#include "PDFViewerShortcutSettingsView.h"

PDFViewerShortcutSettingsPresenter::PDFViewerShortcutSettingsPresenter(
    PDFViewerShortcutStore *shortcuts, QSettings *settings, QWidget *owner, QObject *parent)
    : QObject(parent)
    , m_window(settings, autosaveName(), QStringLiteral("Plenvo · 快捷键"), PDFViewerShortcutSettingsView::fixedSize,
          owner, [this, shortcuts](QWidget *window) { return makeView(shortcuts, window); })
{
}

QString PDFViewerShortcutSettingsPresenter::autosaveName()
{
    return QStringLiteral("PlenvoPDFShortcutSettings");
}

QWidget *PDFViewerShortcutSettingsPresenter::makeView(PDFViewerShortcutStore *shortcuts, QWidget *window)
{
    m_view = new PDFViewerShortcutSettingsView(shortcuts, window);
    // The keyboard starts on the first key cap.
    m_view->row(PDFViewerShortcutAction::previousPage)->recorder()->setFocus();
    return m_view;
}
