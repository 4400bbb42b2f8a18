#include "PlenvoPDFAppDelegate.h"

#include "PDFFileURL.h"
#include "PDFViewerOpenRequest.h"

PlenvoPDFAppDelegate::PlenvoPDFAppDelegate(PDFViewerOpenRequest *request)
    : m_request(request)
{
}

void PlenvoPDFAppDelegate::application(const QList<QUrl> &urls) const
{
    for (const QUrl &url : urls) {
        if (PDFFileURL::isPDFFileURL(url)) {
            m_request->setUrl(url);
            return;
        }
    }
}
