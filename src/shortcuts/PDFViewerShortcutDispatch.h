#pragma once

#include "PDFViewerShortcut.h"

#include <QKeySequence>

// How effective combinations reach the menus: the only place the ten actions are bound to keys.
namespace PDFViewerShortcutDispatch {

// The one-chord sequence a menu action takes for `shortcut`: command → Ctrl, option → Alt,
// control → Meta, shift → Shift, plus the key: arrows, F1–F12, Return, Tab, Space and Delete
// (U+007F, the Backspace key) as their Qt keys, printable ASCII as itself (letters as their
// Qt letter keys). Any other key (empty, several characters, anything validation would
// refuse) gives an empty sequence, so no binding is ever built from it. Modifier bits other
// than the four members are ignored.
QKeySequence keySequence(const PDFViewerShortcut &shortcut);

} // namespace PDFViewerShortcutDispatch
