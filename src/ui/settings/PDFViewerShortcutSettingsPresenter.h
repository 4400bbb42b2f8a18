#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

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
    ~PDFViewerShortcutSettingsPresenter() override;

    static QString autosaveName();

    void show();
    // The window, once it exists.
    QWidget *window() const { return m_window; }
    PDFViewerShortcutSettingsView *view() const { return m_view; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void create();
    void place();
    void storePosition();

    PDFViewerShortcutStore *m_shortcuts;
    QSettings *m_settings;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_window;
    PDFViewerShortcutSettingsView *m_view = nullptr;
    QTimer m_positionSave; // single shot, restarted by every move
};
