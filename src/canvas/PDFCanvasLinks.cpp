#include "PDFCanvasLinks.h"

#include "PDFPage.h"
#include "PDFViewport.h"
#include "PlenvoThreadHandOver.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>

PDFCanvasLinks::PDFCanvasLinks(PDFViewport *viewport, QObject *parent)
    : QObject(parent)
    , m_viewport(viewport)
    , m_openExternal([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    connect(viewport, &PDFViewport::documentChanged, this, &PDFCanvasLinks::documentChanged);
    documentChanged();
}

void PDFCanvasLinks::documentChanged()
{
    m_document = m_viewport->document();
    m_links.clear();
    m_loading.clear();
}

void PDFCanvasLinks::load(int index)
{
    if (!m_document || !m_document->page(index) || m_links.contains(index) || m_loading.contains(index))
        return;
    m_loading.insert(index);
    QPointer<PDFCanvasLinks> self(this);
    std::shared_ptr<PDFDocument> document = m_document;
    PlenvoThreadHandOver::start(QThreadPool::globalInstance(), [self, index, document]() mutable {
        QVector<PDFLink> links = document->links(index);
        PlenvoThreadHandOver::post(qApp, [self, index, links = std::move(links), document = std::move(document)]() {
            if (!self || self->m_document != document)
                return;
            self->m_loading.remove(index);
            self->m_links.insert(index, links);
        });
    });
}

void PDFCanvasLinks::followAt(QPointF viewportPoint)
{
    if (!m_document)
        return;
    const int i = m_viewport->pageAt(viewportPoint);
    const auto links = m_links.constFind(i);
    if (i < 0 || links == m_links.cend())
        return;
    const QPointF pagePoint = m_viewport->pageToViewport(i)->inverted().map(viewportPoint);
    for (const PDFLink &link : *links) {
        if (!link.rect.contains(pagePoint))
            continue;
        if (link.destinationPage >= 0) {
            m_viewport->goToPageIndex(link.destinationPage);
        } else {
            const QUrl url(link.uri);
            const QString scheme = url.scheme().toLower();
            if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
                || scheme == QLatin1String("mailto"))
                m_openExternal(url);
        }
        return;
    }
}
