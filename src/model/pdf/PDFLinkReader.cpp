#include "PDFLinkReader.h"

#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"

#include <cmath>
#include <cstring>

namespace {

// Resolves a link target. `*pageIndex` stays -1 for an external URI or an internal one
// that names no page of this document.
bool resolveLink(
    fz_context *ctx, fz_document *document, const char *uri, int *external, int *pageIndex, float *x, float *y)
{
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        *external = fz_is_external_link(ctx, uri);
        if (!*external) {
            const fz_location location = fz_resolve_link(ctx, document, uri, x, y);
            *pageIndex = fz_page_number_from_location(ctx, document, location);
        }
        ok = 1;
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok;
}

// The only external links that may leave the program: the web and mail. MuPDF turns Launch
// and GoToR actions and relative URIs into "file:" links and passes "javascript:" through.
bool isWebOrMailURI(const char *uri)
{
    const char *colon = std::strchr(uri, ':');
    if (!colon)
        return false;
    const auto scheme = QByteArray::fromRawData(uri, colon - uri).toLower();
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

} // namespace

namespace PDFLinkReader {

QVector<PDFLink> links(const PDFDocumentEngine &engine, int pageIndex)
{
    QVector<PDFLink> result;
    const PDFDocumentEngine::LockedPage locked(engine, pageIndex);
    fz_context *ctx = locked.context();
    fz_page *page = locked.page();
    if (!page)
        return result;
    fz_link *links = nullptr;
    fz_var(links);
    fz_try(ctx)
    {
        links = fz_load_links(ctx, page);
    }
    fz_catch(ctx)
    {
        links = nullptr;
    }
    for (const fz_link *link = links; link; link = link->next) {
        if (!link->uri)
            continue;
        int external = 0;
        int destination = -1;
        float x = NAN;
        float y = NAN;
        if (!resolveLink(ctx, engine.document(), link->uri, &external, &destination, &x, &y)
            || (external && !isWebOrMailURI(link->uri)))
            continue;
        PDFLink item;
        item.rect = engine.geometry(pageIndex).toPageSpace(link->rect);
        if (external) {
            item.uri = QString::fromUtf8(link->uri);
        } else {
            if (destination < 0 || destination >= engine.pageCount())
                continue;
            const fz_rect &target = engine.geometry(destination).bounds;
            item.destinationPage = destination;
            item.destinationPoint = QPointF(
                std::isnan(x) ? qQNaN() : qreal(x - target.x0), std::isnan(y) ? qQNaN() : qreal(y - target.y0));
        }
        result.append(item);
    }
    fz_drop_link(ctx, links);
    return result;
}

} // namespace PDFLinkReader
