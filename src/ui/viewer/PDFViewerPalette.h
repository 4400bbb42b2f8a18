#pragma once

#include <QColor>

// The one brand colour of the viewer: opaque sRGB 107, 35, 142 (#6B238E). Used by the
// toolbar, the status bar's help button, the presentation exit button, the settings window
// and the help card. Each colour here is made once, at start-up.
inline const QColor pdfBrandPurple {107, 35, 142};

// The help card's own colours, opaque sRGB, each component an exact n/255: paper and its
// gradient's last stop, ink (the card's text), mist (badges and rows), the large smile arc and
// muted secondary text.
inline const QColor pdfHelpPaper {248, 247, 249};
inline const QColor pdfHelpInk {23, 19, 25};
inline const QColor pdfHelpMist {238, 231, 245};
inline const QColor pdfHelpGlow {241, 235, 246};
inline const QColor pdfHelpArc {183, 156, 200};
inline const QColor pdfHelpMuted {104, 97, 108};
