#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFPageTree.h"

#include <mupdf/pdf.h>

#include <vector>

// Which layers a page may draw, read from what it draws from (its resources and annotations,
// never its content): cheap, and never less than the page uses.
struct PDFLayerPageUse {
    std::vector<int> layers; // indices into the document's layers, ascending
    bool any = false; // may use any layer: the page could not be read within bounds
    bool byName = true; // every layer it uses is marked in its content by the layer itself

    // One per page of `pages`, for the layers whose object numbers are `layerObjects`, in
    // order. The caller alone uses `pdf`.
    static std::vector<PDFLayerPageUse> read(fz_context *ctx, pdf_document *pdf,
        const std::vector<PDFPageReference> &pages, const std::vector<int> &layerObjects);
};
