#pragma once

#include "PDFViewerToolWindow.h"

#include <QObject>

class PDFViewerShortcutSettingsView;
class PDFViewerShortcutStore;
class QSettings;
class QWidget;

// Shows the shortcut settings window, "Plenvo · 快捷键": created on the first show(), kept for
// the rest of the presenter's life, only hidden when closed, and brought to the front again by
// later calls with its last messages. 620 × 650, not resizable. The first time it is centred
// over its owner; after that it opens where the user last put it, remembered in the settings
// file under "PlenvoPDFShortcutSettings" (unless no screen shows enough of that place).
//
// The application has one presenter, made with the shared store; the menu command and the
// help window both call it. `shortcuts`, `settings` and `owner` must outlive it. UI thread only.
class PDFViewerShortcutSettingsPresenter : public QObject {
    Q_OBJECT

public:
    PDFViewerShortcutSettingsPresenter(
        PDFViewerShortcutStore *shortcuts, QSettings *settings, QWidget *owner, QObject *parent = nullptr);

    static QString autosaveName();

    void show() { m_window.show(); }
    // The window and its content, once they exist.
    QWidget *window() const { return m_window.window(); }
    PDFViewerShortcutSettingsView *view() const { return m_view; }

private:
    QWidget *makeView(PDFViewerShortcutStore *shortcuts, QWidget *window);

    PDFViewerShortcutSettingsView *m_view = nullptr;
    PDFViewerToolWindow m_window;
};
