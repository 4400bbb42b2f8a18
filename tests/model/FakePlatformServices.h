#pragma once

#include "PDFViewerPlatformServices.h"

#include <QList>
#include <QSet>
#include <QUrl>
#include <QWidget>

// Records what the model asked of the desktop.
class FakePlatformServices : public PDFViewerPlatformServices {
public:
    int beeps = 0;
    std::optional<QUrl> nextChosenFile;
    QUrl lastDialogDirectory;
    QList<QUrl> notedRecent;
    int accessStarted = 0;
    int accessStopped = 0;
    // The desktop: whether the application is active, which window is key, which windows
    // are full screen, and every full-screen toggle asked for, in order.
    bool applicationActive = true;
    QWidget *keyWindow = nullptr;
    QSet<QWidget *> fullScreenWindows;
    QList<QWidget *> toggledWindows;

    void beep() override { ++beeps; }
    std::optional<QUrl> choosePDFFile(const QString &, const QUrl &startDirectory) override
    {
        lastDialogDirectory = startDirectory;
        return nextChosenFile;
    }
    void noteRecentDocument(const QUrl &fileURL) override { notedRecent.append(fileURL); }
    bool startAccessing(const QUrl &) override
    {
        ++accessStarted;
        return true;
    }
    void stopAccessing(const QUrl &) override { ++accessStopped; }
    bool isApplicationActive() override { return applicationActive; }
    bool isKeyWindow(QWidget *window) override { return window && window == keyWindow; }
    bool isFullScreen(QWidget *window) override { return fullScreenWindows.contains(window); }
    void toggleFullScreen(QWidget *window) override
    {
        toggledWindows.append(window);
        if (!fullScreenWindows.remove(window))
            fullScreenWindows.insert(window);
    }
};
