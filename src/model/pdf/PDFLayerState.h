#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFLayer.h"
#include "PDFLayerFilterDevice.h"
#include "PDFLayerPageUse.h"
#include "PDFPageTree.h"

#include <mupdf/pdf.h>

#include <memory>
#include <mutex>
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
// Threads: read() while the caller alone has the document. Then any thread: the state has a
// lock of its own, so showing or hiding a layer never waits for a recording; beginRecording()
// and apply(), which put the state on the render document, run under the engine's mutex.
class PDFLayerState {
public:
    // Reads the layers of `pdf` as it opens, and what each of `pages` (the engine's page
    // objects, in page order) draws from.
    void read(fz_context *ctx, pdf_document *pdf, const std::vector<PDFPageReference> &pages);

    PDFLayerList rows() const;

    // Shows or hides row `row`, or every row when `row` is -1 (showing leaves radio groups as
    // they are), as the document's radio groups and locks allow. Returns the pages whose
    // picture changes, in order; empty when no layer changed. Those of them not drawn through
    // the filter are stale (isStale()) until recorded again.
    std::vector<int> setVisible(int row, bool visible);
    // Page `pageIndex`'s recording was made in a state since changed.
    bool isStale(int pageIndex) const;

    // Before recording page `pageIndex` on `pdf`: puts on it the state the recording needs and
    // clears the page's staleness. True when that is every layer shown (the page leaves hidden
    // layers out while drawing): apply() must follow the recording.
    bool beginRecording(fz_context *ctx, pdf_document *pdf, int pageIndex);
    // Puts this state on the render document `pdf` unless it holds it already.
    void apply(fz_context *ctx, pdf_document *pdf);
    // Puts this state on `pdf`, another document on the same file, which the caller alone uses.
    void applyTo(fz_context *ctx, pdf_document *pdf) const;

    // The layers a drawing from a recording must leave out; null when none.
    std::shared_ptr<const PDFHiddenLayerNames> hiddenNames() const;

private:
    bool recordsEveryLayer(int pageIndex) const;
    // The radio groups `layer` belongs to.
    std::vector<int> groupsOf(int layer) const;
    bool isLocked(int layer) const;
    // Puts the state on the rows and on hiddenNames(); under m_mutex.
    void published();
    void publishHidden();

    // Set by read(), unchanged afterwards.
    std::vector<int> m_layerObjects; // object number of each layer, in MuPDF's order
    std::vector<std::string> m_layerNames;
    bool m_namesDistinct = false;
    std::vector<std::vector<int>> m_radioGroups; // layer indices (-1: not a listed layer)
    std::vector<int> m_lockedLayers;
    std::vector<int> m_rowLayers; // per row, its layer; -1 for a heading
    std::vector<PDFLayerPageUse> m_use; // per page

    mutable std::mutex m_mutex; // guards the members below
    std::vector<char> m_visible; // the state; one per layer
    bool m_applied = true; // the render document holds m_visible
    std::vector<char> m_stale; // per page
    // The document's list: its default configuration's /Order, else every layer in turn.
    PDFLayerList m_rows;
    std::shared_ptr<const PDFHiddenLayerNames> m_hidden;
};
