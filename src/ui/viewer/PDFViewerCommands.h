#pragma once

#include "PDFViewerShortcutAction.h"

class PDFViewerModel;

// The ten customisable viewer commands, run and enabled by the same rules wherever they are
// offered (the menu bar, the toolbar). UI thread only.
namespace PDFViewerCommands {

// Every command needs a page; previous and next page also need a page before or after the
// current one.
bool isEnabled(const PDFViewerModel &model, PDFViewerShortcutAction action);
// Runs `action` whether or not it is enabled. Previous and next page move the model's viewport
// directly and set no status text; the others are model commands; the presentation toggle
// enters or leaves presentation, with full screen.
void perform(PDFViewerModel &model, PDFViewerShortcutAction action);

} // namespace PDFViewerCommands
