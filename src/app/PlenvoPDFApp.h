#pragma once

#include "DesktopPlatformServices.h"
#include "PlenvoPDFAppDelegate.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSettings>

#include <memory>

class PDFViewerMainWindow;
class PDFViewerModel;
class PDFViewerOpenRequest;
class PDFViewerShortcutHelpPresenter;
class PDFViewerShortcutSettingsPresenter;
class PDFViewerShortcutStore;
class PDFViewerViewOptions;

// The application: owns, for the life of the process, the settings store, the viewer
// model, the open request and the shortcut store, the one viewer window, and the presenters of
// its shortcut settings and help windows.
class PlenvoPDFApp : public QObject {
    Q_OBJECT

public:
    // `settings` becomes the app's; null means the user's own store
    // (~/.config/Plenvo/Plenvo.ini).
    explicit PlenvoPDFApp(std::unique_ptr<QSettings> settings = nullptr, PDFViewerOpenRequest *openRequest = nullptr,
        PDFViewerShortcutStore *shortcuts = nullptr, QObject *parent = nullptr);
    ~PlenvoPDFApp() override;

    PDFViewerModel *model() const { return m_model.get(); }
    PDFViewerMainWindow *window() const { return m_window.get(); }
    PDFViewerShortcutStore *shortcuts() const { return m_shortcuts; }
    // The shortcut settings window's presenter ("快捷键设置…").
    PDFViewerShortcutSettingsPresenter *shortcutSettings() const { return m_shortcutSettings.get(); }
    // The help window's presenter ("帮助" and the status bar's help button).
    PDFViewerShortcutHelpPresenter *shortcutHelp() const { return m_shortcutHelp.get(); }
    // The 图纸 menu's view options (the inverted view).
    PDFViewerViewOptions *viewOptions() const { return m_viewOptions; }

    // Command-line arguments (exact bytes, as PlenvoCommandLine reads them), from this launch
    // or a later one: the first PDF among their file names is opened.
    void handleArguments(const QList<QByteArray> &arguments, const QByteArray &workingDirectory);
    // Brings the window to the front, for a later launch that handed over files.
    void raiseWindow();

private:
    void takeOpenRequest();

    std::unique_ptr<QSettings> m_settings;
    DesktopPlatformServices m_platform;
    PDFViewerOpenRequest *m_openRequest;
    PDFViewerShortcutStore *m_shortcuts;
    std::unique_ptr<PDFViewerModel> m_model;
    PlenvoPDFAppDelegate m_delegate;
    std::unique_ptr<PDFViewerMainWindow> m_window;
    std::unique_ptr<PDFViewerShortcutSettingsPresenter> m_shortcutSettings;
    std::unique_ptr<PDFViewerShortcutHelpPresenter> m_shortcutHelp;
    PDFViewerViewOptions *m_viewOptions; // the menu commands' child
};
