#include "PDFPageRenderer.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"
#include "PDFLayerFilterDevice.h"
#include "PDFPage.h"

#include <cmath>

namespace {

// Tiles above this many pixels are refused rather than attempted.
constexpr qint64 kMaxTilePixels = qint64(1) << 28;

// Maps MuPDF page space to the displayed page in device pixels: rotated by the viewer's
// rotation relative to the file's, scaled, with the displayed page's top-left at (0, 0).
fz_matrix displayMatrix(const PDFPageGeometry &geometry, int rotation, float scale)
{
    const int extra = PDFPage::normalizedRotation(PDFPage::normalizedRotation(rotation) - geometry.fileRotation);
    fz_matrix m = fz_concat(fz_rotate(float(extra)), fz_scale(scale, scale));
    const fz_rect r = fz_transform_rect(geometry.bounds, m);
    return fz_concat(m, fz_translate(-r.x0, -r.y0));
}

// One render request, checked: the calling thread's context and a white-to-be image of the
// tile's size. `ctx` is null (error set) when the request cannot be drawn.
struct Target {
    fz_context *ctx = nullptr;
    QImage image;
    fz_matrix ctm = fz_identity;
    fz_irect box = {};
};

Target prepare(
    const PDFDocumentEngine &engine, int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error)
{
    Target target;
    if (!engine.hasPage(pageIndex)) {
        PDFError::set(error, PDFErrorKind::Damaged, QStringLiteral("no page %1").arg(pageIndex));
        return target;
    }
    if (!(scale > 0) || !std::isfinite(scale) || tile.isEmpty()
        || qint64(tile.width()) * tile.height() > kMaxTilePixels) {
        PDFError::set(error, PDFErrorKind::Damaged, QStringLiteral("invalid tile request"));
        return target;
    }
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        PDFError::set(error, PDFEngineContext::noContextError());
        return target;
    }
    target.image = QImage(tile.size(), QImage::Format_RGB32);
    if (target.image.isNull()) {
        PDFError::set(error, PDFErrorKind::Damaged, QStringLiteral("out of memory for the tile"));
        return target;
    }
    target.ctx = ctx;
    target.ctm = displayMatrix(engine.geometry(pageIndex), rotation, float(scale));
    target.box = {tile.left(), tile.top(), tile.left() + tile.width(), tile.top() + tile.height()};
    return target;
}

// The one drawing path: `list` (clipped to the tile) or else `page` into the target's image.
// The pixmap draws straight into the image: BGRA bytes are Format_RGB32 in memory, and a
// QImage row of 4-byte pixels has no padding. The image on success; null with `error` set
// when MuPDF throws or `cookie` was cancelled. Errors MuPDF met and drew past make the error
// Damaged but keep the image.
// A list is drawn through a filter that leaves out the layers `hidden` names, when any.
QImage draw(Target &target, fz_display_list *list, fz_page *page, int pageIndex, fz_cookie *cookie, PDFError *error,
    const PDFHiddenLayerNames *hidden = nullptr)
{
    fz_context *ctx = target.ctx;
    unsigned char *samples = target.image.bits();
    fz_pixmap *pixmap = nullptr;
    fz_device *device = nullptr;
    fz_device *filter = nullptr;
    int failed = 0;
    fz_var(pixmap);
    fz_var(device);
    fz_var(filter);
    fz_var(failed);
    fz_try(ctx)
    {
        pixmap = fz_new_pixmap_with_bbox_and_data(ctx, fz_device_bgr(ctx), target.box, nullptr, 1, samples);
        fz_clear_pixmap_with_value(ctx, pixmap, 0xff);
        device = fz_new_draw_device(ctx, fz_identity, pixmap);
        if (list && hidden)
            filter = PDFLayerFilterDevice::create(ctx, device, hidden);
        if (list)
            fz_run_display_list(
                ctx, list, filter ? filter : device, target.ctm, fz_rect_from_irect(target.box), cookie);
        else
            fz_run_page(ctx, page, device, target.ctm, cookie);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, filter);
        fz_drop_device(ctx, device);
        fz_drop_pixmap(ctx, pixmap);
    }
    fz_catch(ctx)
    {
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
        failed = 1;
    }
    if (failed || PDFCancelCookie::reportIfCancelled(cookie, error))
        return {};
    if (cookie->errors > 0)
        PDFError::set(error, PDFErrorKind::Damaged,
            QStringLiteral("%1 errors while drawing page %2").arg(cookie->errors).arg(pageIndex));
    else
        PDFError::set(error, PDFError {});
    return target.image;
}

} // namespace

namespace PDFPageRenderer {

QImage renderTile(PDFDocumentEngine &engine, int pageIndex, int rotation, qreal scale, const QRect &tile,
    fz_cookie *cookie, PDFError *error)
{
    Target target = prepare(engine, pageIndex, rotation, scale, tile, error);
    if (!target.ctx)
        return {};
    fz_cookie ownCookie = {};
    if (!cookie)
        cookie = &ownCookie;
    if (PDFCancelCookie::reportIfCancelled(cookie, error))
        return {};

    fz_context *ctx = target.ctx;
    PDFDisplayListCache &lists = engine.displayLists();
    // The layer state of the moment the render starts; a later change renders again.
    const std::shared_ptr<const PDFHiddenLayerNames> hidden = engine.layers().hiddenNames();
    quint64 recording = 0;
    fz_display_list *pageList = lists.keepPageList(ctx, pageIndex, error, &recording);
    if (!pageList)
        return {};
    // At high zoom only the block of the page around the tile is walked.
    const fz_rect area = fz_transform_rect(fz_rect_from_irect(target.box), fz_invert_matrix(target.ctm));
    fz_display_list *const block = lists.keepBlockList(ctx, pageList, recording, pageIndex, area);
    fz_display_list *const list = block ? block : pageList;
    if (block)
        fz_drop_display_list(ctx, pageList);
    QImage image = draw(target, list, nullptr, pageIndex, cookie, error, hidden.get());
    fz_drop_display_list(ctx, list);
    return image;
}

QImage renderPageOnce(
    PDFDocumentEngine &engine, int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error)
{
    Target target = prepare(engine, pageIndex, rotation, scale, tile, error);
    if (!target.ctx)
        return {};
    fz_cookie cookie = {};
    std::lock_guard<std::mutex> lock(engine.mutex());
    engine.layers().apply(target.ctx, engine.pdf());
    fz_page *page = engine.loadPage(target.ctx, pageIndex, error);
    if (!page)
        return {};
    QImage image = draw(target, nullptr, page, pageIndex, &cookie, error);
    fz_drop_page(target.ctx, page);
    return image;
}

} // namespace PDFPageRenderer
