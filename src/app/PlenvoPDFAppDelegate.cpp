#include "PlenvoPDFAppDelegate.h"

#include "PDFFileURL.h"
#include "PDFViewerOpenRequest.h"

PlenvoPDFAppDelegate::PlenvoPDFAppDelegate(PDFViewerOpenRequest *request)
    : m_request(request)
{
}

void PlenvoPDFAppDelegate::application(const QList<QUrl> &urls) const
{
    if (const qsizetype index = chosen(urls); index >= 0)
        m_request->setUrl(urls.at(index));
}

qsizetype PlenvoPDFAppDelegate::chosen(const QList<QUrl> &urls)
{
    for (qsizetype i = 0; i < urls.size(); ++i) {
        if (PDFFileURL::isPDFFileURL(urls.at(i)))
            return i;
    }
    return -1;
}
