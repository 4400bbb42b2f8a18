#pragma once

#include "PDFViewerPlatformServices.h"
#include "RecentlyUsedRegistry.h"

class QWidget;

// The desktop behind the model: the system beep, the file dialog, the shared
// recently-used list and the windows' full-screen state.
class DesktopPlatformServices : public PDFViewerPlatformServices {
public:
    explicit DesktopPlatformServices(RecentlyUsedRegistry registry = RecentlyUsedRegistry());

    // The window the open dialog is modal to; may be null.
    void setDialogParent(QWidget *parent) { m_dialogParent = parent; }

    void beep() override;
    std::optional<QUrl> choosePDFFile(const QString &title, const QUrl &startDirectory) override;
    void noteRecentDocument(const QUrl &fileURL) override;
    bool startAccessing(const QUrl &fileURL) override;
    void stopAccessing(const QUrl &fileURL) override;
    bool isApplicationActive() override;
    bool isKeyWindow(QWidget *window) override;
    bool isFullScreen(QWidget *window) override;
    void toggleFullScreen(QWidget *window) override;

private:
    RecentlyUsedRegistry m_registry;
    QWidget *m_dialogParent = nullptr;
};
