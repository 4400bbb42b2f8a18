#include "PDFViewerOpenRequest.h"

PDFViewerOpenRequest::PDFViewerOpenRequest(QObject *parent)
    : QObject(parent)
{
}

PDFViewerOpenRequest &PDFViewerOpenRequest::shared()
{
    static PDFViewerOpenRequest request;
    return request;
}

void PDFViewerOpenRequest::setUrl(const QUrl &url)
{
    if (url.isEmpty() && m_url.isEmpty())
        return;
    m_url = url;
    emit urlChanged(m_url);
}
