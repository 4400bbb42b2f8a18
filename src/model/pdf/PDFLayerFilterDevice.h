#pragma once

// Internal to the engine boundary (includes MuPDF).

#include <mupdf/fitz.h>

#include <memory>
#include <string>
#include <vector>

// The names of the layers hidden while a page is drawn, sorted. Shared, never changed once made.
using PDFHiddenLayerNames = std::vector<std::string>;

namespace PDFLayerFilterDevice {

// A device that passes everything on to `target` except what is painted inside marked content
// named after a hidden layer, invisible text included: a page recorded with every layer shown
// draws, and gives its text to search, as the layer state `hidden` names. Clips, masks, groups and tiles pass through,
// so the target's stacks stay balanced; what a hidden layer would paint into them is left out. `target` and `hidden`
// stay the caller's and must outlive the device. Throws as MuPDF does.
fz_device *create(fz_context *ctx, fz_device *target, const PDFHiddenLayerNames *hidden);

} // namespace PDFLayerFilterDevice
