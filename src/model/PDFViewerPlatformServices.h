#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// What the viewer model needs from the desktop, behind one small interface so the model
// can be driven by tests without a desktop. All calls happen on the UI thread.
class PDFViewerPlatformServices {
public:
    virtual ~PDFViewerPlatformServices() = default;

    // The system beep that accompanies every failed command.
    virtual void beep() = 0;
    // A modal open dialog that accepts a single PDF file; nullopt when cancelled.
    virtual std::optional<QUrl> choosePDFFile(const QString &title) = 0;
    // Adds the file to the desktop's list of recently used documents.
    virtual void noteRecentDocument(const QUrl &fileURL) = 0;
    // Scoped file access. On this desktop every readable file is reachable, so access is
    // always granted and ending it does nothing; the calls keep the model's bookkeeping of
    // which file it is reading honest and observable.
    virtual bool startAccessing(const QUrl &fileURL) = 0;
    virtual void stopAccessing(const QUrl &fileURL) = 0;
};
