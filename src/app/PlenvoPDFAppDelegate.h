#pragma once

#include <QList>
#include <QUrl>

class PDFViewerOpenRequest;

// Receives the files the desktop hands over (command-line arguments, a second launch) and
// routes the first PDF among them to the open request. Holds no state of its own.
class PlenvoPDFAppDelegate {
public:
    explicit PlenvoPDFAppDelegate(PDFViewerOpenRequest *request);

    // Takes the URL chosen() names; the rest are ignored, silently. Opens nothing itself and
    // shows no message.
    void application(const QList<QUrl> &urls) const;
    // The index of the first URL that is a file URL with a "pdf" extension in any case; -1
    // when there is none.
    static qsizetype chosen(const QList<QUrl> &urls);

private:
    PDFViewerOpenRequest *m_request;
};
