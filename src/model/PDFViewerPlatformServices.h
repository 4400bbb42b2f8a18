#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

// What the viewer model needs from the desktop, behind one small interface so the model
// can be driven by tests without a desktop. All calls happen on the UI thread.
class PDFViewerPlatformServices {
public:
    virtual ~PDFViewerPlatformServices() = default;

    // The system beep that accompanies every failed command.
    virtual void beep() = 0;
    // A modal open dialog that accepts a single PDF file, first showing the folder
    // `startDirectory` (a file URL); nullopt when cancelled.
    virtual std::optional<QUrl> choosePDFFile(const QString &title, const QUrl &startDirectory) = 0;
    // Adds the file to the desktop's list of recently used documents.
    virtual void noteRecentDocument(const QUrl &fileURL) = 0;
    // Scoped file access. On this desktop every readable file is reachable, so access is
    // always granted and ending it does nothing; the calls keep the model's bookkeeping of
    // which file it is reading honest and observable.
    virtual bool startAccessing(const QUrl &fileURL) = 0;
    virtual void stopAccessing(const QUrl &fileURL) = 0;

    // Whether this application is the one the user is working in (not in the background).
    virtual bool isApplicationActive() = 0;
    // Whether `window` (a top-level widget) is the window that receives keyboard input.
    virtual bool isKeyWindow(QWidget *window) = 0;
    virtual bool isFullScreen(QWidget *window) = 0;
    // Puts `window` into full screen, or out of it when it is full screen. Immediate.
    virtual void toggleFullScreen(QWidget *window) = 0;
};
