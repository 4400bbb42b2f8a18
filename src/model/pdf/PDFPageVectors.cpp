#include "PDFPageVectors.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"

#include <mupdf/pdf.h>

#include <QRegularExpression>

#include <cmath>

namespace {

// Collects path pieces into a snap index; `origin` moves MuPDF page space to ours.
struct SnapDevice {
    fz_device super;
    PDFSnapIndex *index;
    fz_point origin;
    fz_matrix ctm;
    fz_point start; // of the current subpath
    fz_point last;
};

QPointF toPage(const SnapDevice *device, float x, float y)
{
    const fz_point p = fz_transform_point_xy(x, y, device->ctm);
    return QPointF(qreal(p.x - device->origin.x), qreal(p.y - device->origin.y));
}

void moveTo(fz_context *, void *arg, float x, float y)
{
    auto *device = static_cast<SnapDevice *>(arg);
    device->start = device->last = fz_make_point(x, y);
}

void lineTo(fz_context *, void *arg, float x, float y)
{
    auto *device = static_cast<SnapDevice *>(arg);
    device->index->addSegment(toPage(device, device->last.x, device->last.y), toPage(device, x, y));
    device->last = fz_make_point(x, y);
}

// A curve is not a straight piece: only its ends are points to snap to.
void curveTo(fz_context *, void *arg, float, float, float, float, float x3, float y3)
{
    auto *device = static_cast<SnapDevice *>(arg);
    device->index->addPoint(toPage(device, device->last.x, device->last.y));
    device->index->addPoint(toPage(device, x3, y3));
    device->last = fz_make_point(x3, y3);
}

void closePath(fz_context *ctx, void *arg)
{
    auto *device = static_cast<SnapDevice *>(arg);
    const fz_point start = device->start;
    if (device->last.x != start.x || device->last.y != start.y)
        lineTo(ctx, arg, start.x, start.y);
    device->last = start;
}

const fz_path_walker walker = {moveTo, lineTo, curveTo, closePath, nullptr, nullptr, nullptr, nullptr};

void walk(fz_context *ctx, fz_device *dev, const fz_path *path, fz_matrix ctm)
{
    auto *device = reinterpret_cast<SnapDevice *>(dev);
    if (device->index->isFull())
        return;
    device->ctm = ctm;
    fz_walk_path(ctx, path, &walker, device);
}

void fillPath(fz_context *ctx, fz_device *dev, const fz_path *path, int, fz_matrix ctm, fz_colorspace *, const float *,
    float, fz_color_params)
{
    walk(ctx, dev, path, ctm);
}

void strokePath(fz_context *ctx, fz_device *dev, const fz_path *path, const fz_stroke_state *, fz_matrix ctm,
    fz_colorspace *, const float *, float, fz_color_params)
{
    walk(ctx, dev, path, ctm);
}

double number(fz_context *ctx, pdf_obj *object, double fallback)
{
    return pdf_is_number(ctx, object) ? double(pdf_to_real(ctx, object)) : fallback;
}

// The length a measure dictionary gives one point, from its distance (/D) or else its x
// (/X) number formats: the first format's factor is the one for the largest unit.
bool readScale(fz_context *ctx, pdf_obj *measure, PDFMeasureViewport *viewport)
{
    pdf_obj *formats = pdf_dict_get(ctx, measure, PDF_NAME(D));
    if (!pdf_is_array(ctx, formats) || pdf_array_len(ctx, formats) == 0)
        formats = pdf_dict_gets(ctx, measure, "X");
    pdf_obj *first = pdf_array_get(ctx, formats, 0);
    const double factor = number(ctx, pdf_dict_get(ctx, first, PDF_NAME(C)), 0);
    if (std::isfinite(factor) && factor > 0) {
        viewport->unitsPerPoint = factor;
        viewport->unit = QString::fromUtf8(pdf_to_text_string(ctx, pdf_dict_get(ctx, first, PDF_NAME(U))));
        return true;
    }
    // No usable number format: a ratio such as "1:100" still says how paper millimetres scale.
    static const QRegularExpression ratio(
        QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*[:：]\\s*(\\d+(?:\\.\\d+)?)\\s*$"));
    const QRegularExpressionMatch match = ratio.match(viewport->ratio);
    const double paper = match.hasMatch() ? match.captured(1).toDouble() : 0;
    const double real = match.hasMatch() ? match.captured(2).toDouble() : 0;
    if (!(paper > 0) || !(real > 0) || !std::isfinite(real / paper))
        return false;
    viewport->unitsPerPoint = 25.4 / 72 * real / paper;
    viewport->unit = QStringLiteral("mm");
    return true;
}

} // namespace

namespace PDFPageVectors {

std::shared_ptr<PDFSnapIndex> snapIndex(PDFDocumentEngine &engine, int pageIndex, fz_cookie *cookie, PDFError *error)
{
    if (error)
        *error = PDFError();
    if (!engine.hasPage(pageIndex))
        return nullptr;
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        if (error)
            *error = PDFEngineContext::noContextError();
        return nullptr;
    }
    fz_display_list *list = engine.displayLists().keepPageList(ctx, pageIndex, error);
    if (!list)
        return nullptr;
    const fz_rect bounds = engine.geometry(pageIndex).bounds;
    auto index
        = std::make_shared<PDFSnapIndex>(QRectF(0, 0, qreal(bounds.x1 - bounds.x0), qreal(bounds.y1 - bounds.y0)));
    SnapDevice *device = nullptr;
    fz_var(device);
    fz_try(ctx)
    {
        device = fz_new_derived_device(ctx, SnapDevice);
        device->super.fill_path = fillPath;
        device->super.stroke_path = strokePath;
        device->index = index.get();
        device->origin = fz_make_point(bounds.x0, bounds.y0);
        fz_run_display_list(ctx, list, &device->super, fz_identity, fz_infinite_rect, cookie);
        fz_close_device(ctx, &device->super);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, &device->super);
        fz_drop_display_list(ctx, list);
    }
    fz_catch(ctx)
    {
        if (error)
            *error = PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged);
        return nullptr;
    }
    if (PDFCancelCookie::reportIfCancelled(cookie, error))
        return nullptr;
    index->finish();
    return index;
}

QVector<PDFMeasureViewport> measureViewports(const PDFDocumentEngine &engine, int pageIndex)
{
    const PDFDocumentEngine::LockedPage locked(engine, pageIndex);
    if (!locked.page())
        return {};
    fz_context *ctx = locked.context();
    const fz_rect bounds = engine.geometry(pageIndex).bounds;
    QVector<PDFMeasureViewport> result;
    fz_try(ctx)
    {
        pdf_page *pdfPage = pdf_page_from_fz_page(ctx, locked.page());
        fz_matrix ctm = fz_identity;
        pdf_page_transform(ctx, pdfPage, nullptr, &ctm);
        pdf_obj *viewports = pdf_dict_gets(ctx, pdfPage->obj, "VP");
        const int count = pdf_array_len(ctx, viewports);
        for (int i = 0; i < count; ++i) {
            pdf_obj *entry = pdf_array_get(ctx, viewports, i);
            pdf_obj *measure = pdf_dict_gets(ctx, entry, "Measure");
            PDFMeasureViewport viewport;
            viewport.ratio = QString::fromUtf8(pdf_to_text_string(ctx, pdf_dict_get(ctx, measure, PDF_NAME(R))));
            if (!pdf_is_dict(ctx, measure) || !readScale(ctx, measure, &viewport))
                continue;
            // A viewport without a box covers the whole page.
            pdf_obj *box = pdf_dict_get(ctx, entry, PDF_NAME(BBox));
            viewport.area = pdf_is_array(ctx, box)
                ? engine.geometry(pageIndex).toPageSpace(fz_transform_rect(pdf_to_rect(ctx, box), ctm))
                : QRectF(0, 0, qreal(bounds.x1 - bounds.x0), qreal(bounds.y1 - bounds.y0));
            result.append(viewport);
        }
    }
    fz_catch(ctx)
    {
        result.clear();
    }
    return result;
}

} // namespace PDFPageVectors
