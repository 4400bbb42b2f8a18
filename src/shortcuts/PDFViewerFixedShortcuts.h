#pragma once

#include "PDFViewerShortcut.h"

#include <QList>

// The combinations of the application's own menu commands, which the user cannot rebind. The
// menus bind each through PDFViewerShortcutDispatch::keySequence and name it through
// displayText(), so a key and the text naming it come from one value. PDFViewerShortcutPolicy
// reserves every one, so no customisable action can take it.
namespace PDFViewerFixedShortcuts {

PDFViewerShortcut openPDF();
PDFViewerShortcut closePDF();
PDFViewerShortcut shortcutSettings();
PDFViewerShortcut quit();
PDFViewerShortcut searchPDF();
PDFViewerShortcut help();

// The six above, in menu order.
QList<PDFViewerShortcut> all();

} // namespace PDFViewerFixedShortcuts
