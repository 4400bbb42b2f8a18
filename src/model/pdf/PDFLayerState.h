#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFLayer.h"
#include "PDFLayerFilterDevice.h"
#include "PDFPageTree.h"

#include <mupdf/pdf.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The layers (optional content groups) of an open document and the one visibility state every
// render follows. MuPDF keeps such a state inside each fz_document; this class keeps the
// engine's own and puts it on the document the engine renders from. The list, its radio
// groups and locks are read from the document's default configuration here: MuPDF's own
// list reports no radio buttons and takes two layers of one name for one.
//
// A page follows it one of two ways. A page whose layers are all marked in its content by
// name, in a document whose layer names tell them apart, is recorded once with every layer
// shown and leaves the hidden ones out while drawing (PDFLayerFilterDevice): a change records
// nothing again. Any other page that uses layers (conditions over several layers, layers on
// images, forms or annotations) is recorded with the state in force, and a change to a layer
// it may use drops its recording.
//
// Threads: hiddenNames() from any thread; everything else under the engine's mutex.
class PDFLayerState {
public:
    // Reads the layers of `pdf` as it opens; the caller alone uses it. `pages` are the
    // engine's page objects, in page order; they must outlive this.
    void read(fz_context *ctx, pdf_document *pdf, const std::vector<PDFPageReference> *pages);

    const PDFLayerList &rows() const { return m_rows; }

    // Shows or hides row `row`, or every row when `row` is -1 (showing leaves radio groups as
    // they are), as the document's radio groups and locks allow. `changedPages` gets the pages
    // whose picture changes, in order; `stalePages` those of them whose recording must go.
    // False when no layer changed.
    bool setVisible(fz_context *ctx, pdf_document *pdf, int row, bool visible, std::vector<int> *changedPages,
        std::vector<int> *stalePages);

    // Whether page `pageIndex` is recorded with every layer shown: then showAll() goes before
    // the recording and apply() after it.
    bool recordsEveryLayer(fz_context *ctx, pdf_document *pdf, int pageIndex);
    void showAll(fz_context *ctx, pdf_document *pdf) const;
    // Puts this state on `pdf`.
    void apply(fz_context *ctx, pdf_document *pdf) const;

    // The layers a drawing from a recording must leave out; null when none.
    std::shared_ptr<const PDFHiddenLayerNames> hiddenNames() const;

private:
    struct PageUse {
        std::vector<int> layers; // indices into the document's layers
        bool any = false; // may use any layer: the page could not be read cheaply
        bool byName = true; // every layer it uses is marked in its content by name
    };
    const PageUse &use(fz_context *ctx, pdf_document *pdf, int pageIndex);
    // The radio groups `layer` belongs to.
    std::vector<int> groupsOf(int layer) const;
    bool isLocked(int layer) const;
    // Puts the state on the rows and on hiddenNames().
    void published();
    void publishHidden();

    const std::vector<PDFPageReference> *m_pages = nullptr;
    std::vector<int> m_layerObjects; // object number of each layer, in MuPDF's order
    std::vector<std::string> m_layerNames;
    std::vector<char> m_visible; // the state; one per layer
    bool m_namesDistinct = false;
    std::vector<std::vector<int>> m_radioGroups; // layer indices (-1: not a listed layer)
    std::vector<int> m_lockedLayers;
    // The document's list: its default configuration's /Order, else every layer in turn.
    PDFLayerList m_rows;
    std::vector<int> m_rowLayers; // per row, its layer; -1 for a heading
    std::vector<std::optional<PageUse>> m_use; // per page, read on first need

    mutable std::mutex m_hiddenMutex;
    std::shared_ptr<const PDFHiddenLayerNames> m_hidden;
};
