#pragma once

#include "PDFViewerPlatformServices.h"

#include <QList>
#include <QUrl>

// Records what the model asked of the desktop.
class FakePlatformServices : public PDFViewerPlatformServices {
public:
    int beeps = 0;
    std::optional<QUrl> nextChosenFile;
    QString lastDialogTitle;
    QList<QUrl> notedRecent;
    int accessStarted = 0;
    int accessStopped = 0;

    void beep() override { ++beeps; }
    std::optional<QUrl> choosePDFFile(const QString &title) override
    {
        lastDialogTitle = title;
        return nextChosenFile;
    }
    void noteRecentDocument(const QUrl &fileURL) override { notedRecent.append(fileURL); }
    bool startAccessing(const QUrl &) override
    {
        ++accessStarted;
        return true;
    }
    void stopAccessing(const QUrl &) override { ++accessStopped; }
};
