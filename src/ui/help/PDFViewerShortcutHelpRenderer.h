#pragma once

#include <QtGlobal>

class PDFViewerShortcutConfiguration;

// The help card as a picture for other programs. UI thread only (the clipboard is).
namespace PDFViewerShortcutHelpRenderer {

// Draws a fresh card for `configuration` (not a grab of any window) into an image of the
// card's logical size times `scale` device pixels, and puts it on the clipboard as PNG, the
// one format offered ("image/png"). False, with the clipboard as it was, when the image cannot
// be made (a scale that is not positive and finite, or too large to allocate) or encoded.
bool copyToPasteboard(const PDFViewerShortcutConfiguration &configuration, qreal scale = 2.0);

} // namespace PDFViewerShortcutHelpRenderer
