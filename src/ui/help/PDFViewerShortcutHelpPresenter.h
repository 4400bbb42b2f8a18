#pragma once

#include "PDFViewerShortcutHelpPopover.h"
#include "PDFViewerToolWindow.h"

#include <QObject>

class PDFViewerShortcutSettingsPresenter;
class PDFViewerShortcutStore;
class QSettings;
class QWidget;

// Shows the help window, "帮助": the help card and its buttons (PDFViewerShortcutHelpPopover),
// 720 × 535, not resizable. Created on the first show(), kept for the rest of the presenter's
// life, only hidden when closed or dismissed, and shown again by later calls as it was left
// (the copy button's last outcome included). Placed like the settings window: centred over its
// owner the first time, then where the user last put it, remembered in the settings file under
// "PlenvoPDFShortcutHelp".
//
// "自定义快捷键…" hides help and shows the settings window through `shortcutSettings`.
// The application has one presenter; the 帮助 menu item and the status bar's help button both
// call it. `shortcuts`, `settings`, `owner` and `shortcutSettings` must outlive it. UI thread
// only.
class PDFViewerShortcutHelpPresenter : public QObject {
    Q_OBJECT

public:
    // `openURL` receives the website's address; null means the desktop's browser.
    PDFViewerShortcutHelpPresenter(PDFViewerShortcutStore *shortcuts, QSettings *settings, QWidget *owner,
        PDFViewerShortcutSettingsPresenter *shortcutSettings, PDFViewerShortcutHelpPopover::URLOpener openURL = {},
        QObject *parent = nullptr);

    static QString autosaveName();

    void show() { m_window.show(); }
    // The window and its content, once they exist.
    QWidget *window() const { return m_window.window(); }
    PDFViewerShortcutHelpPopover *popover() const { return m_popover; }

private:
    QWidget *makePopover(QWidget *window);

    PDFViewerShortcutStore *m_shortcuts;
    PDFViewerShortcutSettingsPresenter *m_shortcutSettings;
    PDFViewerShortcutHelpPopover::URLOpener m_openURL;
    PDFViewerShortcutHelpPopover *m_popover = nullptr;
    PDFViewerToolWindow m_window;
};
