#include "PDFLayerFilterDevice.h"

#include <algorithm>

namespace {

struct FilterDevice {
    fz_device super;
    fz_device *target;
    const PDFHiddenLayerNames *hidden;
    int depth; // layers open
    int hiddenFrom; // the depth of the outermost open hidden layer; -1 when none is open
};

FilterDevice *self(fz_device *device)
{
    return reinterpret_cast<FilterDevice *>(device);
}

bool painting(fz_device *device)
{
    return self(device)->hiddenFrom < 0;
}

void beginLayer(fz_context *ctx, fz_device *device, const char *name)
{
    FilterDevice *d = self(device);
    const PDFHiddenLayerNames &hidden = *d->hidden;
    if (painting(device) && name && std::binary_search(hidden.begin(), hidden.end(), name))
        d->hiddenFrom = d->depth;
    ++d->depth;
    fz_begin_layer(ctx, d->target, name);
}

void endLayer(fz_context *ctx, fz_device *device)
{
    FilterDevice *d = self(device);
    if (d->depth > 0 && --d->depth == d->hiddenFrom)
        d->hiddenFrom = -1;
    fz_end_layer(ctx, d->target);
}

void fillPath(fz_context *ctx, fz_device *device, const fz_path *path, int evenOdd, fz_matrix ctm,
    fz_colorspace *colorspace, const float *color, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_fill_path(ctx, self(device)->target, path, evenOdd, ctm, colorspace, color, alpha, params);
}

void strokePath(fz_context *ctx, fz_device *device, const fz_path *path, const fz_stroke_state *stroke, fz_matrix ctm,
    fz_colorspace *colorspace, const float *color, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_stroke_path(ctx, self(device)->target, path, stroke, ctm, colorspace, color, alpha, params);
}

void fillText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm, fz_colorspace *colorspace,
    const float *color, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_fill_text(ctx, self(device)->target, text, ctm, colorspace, color, alpha, params);
}

void strokeText(fz_context *ctx, fz_device *device, const fz_text *text, const fz_stroke_state *stroke, fz_matrix ctm,
    fz_colorspace *colorspace, const float *color, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_stroke_text(ctx, self(device)->target, text, stroke, ctm, colorspace, color, alpha, params);
}

void fillShade(fz_context *ctx, fz_device *device, fz_shade *shade, fz_matrix ctm, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_fill_shade(ctx, self(device)->target, shade, ctm, alpha, params);
}

void fillImage(fz_context *ctx, fz_device *device, fz_image *image, fz_matrix ctm, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_fill_image(ctx, self(device)->target, image, ctm, alpha, params);
}

void fillImageMask(fz_context *ctx, fz_device *device, fz_image *image, fz_matrix ctm, fz_colorspace *colorspace,
    const float *color, float alpha, fz_color_params params)
{
    if (painting(device))
        fz_fill_image_mask(ctx, self(device)->target, image, ctm, colorspace, color, alpha, params);
}

void clipPath(fz_context *ctx, fz_device *device, const fz_path *path, int evenOdd, fz_matrix ctm, fz_rect scissor)
{
    fz_clip_path(ctx, self(device)->target, path, evenOdd, ctm, scissor);
}

void clipStrokePath(fz_context *ctx, fz_device *device, const fz_path *path, const fz_stroke_state *stroke,
    fz_matrix ctm, fz_rect scissor)
{
    fz_clip_stroke_path(ctx, self(device)->target, path, stroke, ctm, scissor);
}

void clipText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm, fz_rect scissor)
{
    fz_clip_text(ctx, self(device)->target, text, ctm, scissor);
}

void clipStrokeText(fz_context *ctx, fz_device *device, const fz_text *text, const fz_stroke_state *stroke,
    fz_matrix ctm, fz_rect scissor)
{
    fz_clip_stroke_text(ctx, self(device)->target, text, stroke, ctm, scissor);
}

void ignoreText(fz_context *ctx, fz_device *device, const fz_text *text, fz_matrix ctm)
{
    if (painting(device))
        fz_ignore_text(ctx, self(device)->target, text, ctm);
}

void clipImageMask(fz_context *ctx, fz_device *device, fz_image *image, fz_matrix ctm, fz_rect scissor)
{
    fz_clip_image_mask(ctx, self(device)->target, image, ctm, scissor);
}

void popClip(fz_context *ctx, fz_device *device)
{
    fz_pop_clip(ctx, self(device)->target);
}

void beginMask(fz_context *ctx, fz_device *device, fz_rect area, int luminosity, fz_colorspace *colorspace,
    const float *background, fz_color_params params)
{
    fz_begin_mask(ctx, self(device)->target, area, luminosity, colorspace, background, params);
}

void endMask(fz_context *ctx, fz_device *device)
{
    fz_end_mask(ctx, self(device)->target);
}

void beginGroup(fz_context *ctx, fz_device *device, fz_rect area, fz_colorspace *colorspace, int isolated, int knockout,
    int blendMode, float alpha)
{
    fz_begin_group(ctx, self(device)->target, area, colorspace, isolated, knockout, blendMode, alpha);
}

void endGroup(fz_context *ctx, fz_device *device)
{
    fz_end_group(ctx, self(device)->target);
}

int beginTile(
    fz_context *ctx, fz_device *device, fz_rect area, fz_rect view, float xStep, float yStep, fz_matrix ctm, int id)
{
    return fz_begin_tile_id(ctx, self(device)->target, area, view, xStep, yStep, ctm, id);
}

void endTile(fz_context *ctx, fz_device *device)
{
    fz_end_tile(ctx, self(device)->target);
}

void renderFlags(fz_context *ctx, fz_device *device, int set, int clear)
{
    fz_render_flags(ctx, self(device)->target, set, clear);
}

void setDefaultColorspaces(fz_context *ctx, fz_device *device, fz_default_colorspaces *colorspaces)
{
    fz_set_default_colorspaces(ctx, self(device)->target, colorspaces);
}

} // namespace

namespace PDFLayerFilterDevice {

fz_device *create(fz_context *ctx, fz_device *target, const PDFHiddenLayerNames *hidden)
{
    FilterDevice *d = fz_new_derived_device(ctx, FilterDevice);
    d->target = target;
    d->hidden = hidden;
    d->depth = 0;
    d->hiddenFrom = -1;
    fz_device *device = &d->super;
    device->fill_path = fillPath;
    device->stroke_path = strokePath;
    device->clip_path = clipPath;
    device->clip_stroke_path = clipStrokePath;
    device->fill_text = fillText;
    device->stroke_text = strokeText;
    device->clip_text = clipText;
    device->clip_stroke_text = clipStrokeText;
    device->ignore_text = ignoreText;
    device->fill_shade = fillShade;
    device->fill_image = fillImage;
    device->fill_image_mask = fillImageMask;
    device->clip_image_mask = clipImageMask;
    device->pop_clip = popClip;
    device->begin_mask = beginMask;
    device->end_mask = endMask;
    device->begin_group = beginGroup;
    device->end_group = endGroup;
    device->begin_tile = beginTile;
    device->end_tile = endTile;
    device->render_flags = renderFlags;
    device->set_default_colorspaces = setDefaultColorspaces;
    device->begin_layer = beginLayer;
    device->end_layer = endLayer;
    return device;
}

} // namespace PDFLayerFilterDevice
