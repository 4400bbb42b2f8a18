#pragma once

#include <QColor>

// The one brand colour of the viewer: opaque sRGB 107, 35, 142 (#6B238E). Used by the
// toolbar, the status bar's help button, the presentation exit button, the settings window
// and the help card.
inline const QColor pdfBrandPurple{107, 35, 142};
