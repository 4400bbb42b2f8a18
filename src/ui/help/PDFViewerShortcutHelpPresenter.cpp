#include "PDFViewerShortcutHelpPresenter.h"

#include "PDFViewerShortcutSettingsPresenter.h"

#include <QWidget>

PDFViewerShortcutHelpPresenter::PDFViewerShortcutHelpPresenter(PDFViewerShortcutStore *shortcuts, QSettings *settings,
    QWidget *owner, PDFViewerShortcutSettingsPresenter *shortcutSettings,
    PDFViewerShortcutHelpPopover::URLOpener openURL, QObject *parent)
    : QObject(parent)
    , m_shortcuts(shortcuts)
    , m_shortcutSettings(shortcutSettings)
    , m_openURL(std::move(openURL))
    , m_window(settings, autosaveName(), QStringLiteral("帮助"), PDFViewerShortcutHelpPopover::fixedSize, owner,
          [this](QWidget *window) { return makePopover(window); })
{
}

QString PDFViewerShortcutHelpPresenter::autosaveName()
{
    return QStringLiteral("PlenvoPDFShortcutHelp");
}

QWidget *PDFViewerShortcutHelpPresenter::makePopover(QWidget *window)
{
    m_popover = new PDFViewerShortcutHelpPopover(m_shortcuts, m_openURL, window);
    // Hidden rather than closed by hand: the window and the popover's state stay for the next show().
    connect(m_popover, &PDFViewerShortcutHelpPopover::dismissRequested, window, &QWidget::close);
    connect(m_popover, &PDFViewerShortcutHelpPopover::shortcutSettingsRequested, m_shortcutSettings,
        &PDFViewerShortcutSettingsPresenter::show);
    return m_popover;
}
