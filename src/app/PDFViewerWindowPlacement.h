#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QVariant>

// Where the viewer window opens. A geometry here is the window's normal rectangle (neither
// maximised nor full screen) without its frame, in virtual-desktop pixels; a screen is given
// by its available geometry.
namespace PDFViewerWindowPlacement {

inline constexpr QSize defaultSize {1080, 760};
// How much of a stored geometry one screen must show for it to be used: enough to see the
// window and take hold of it.
inline constexpr QSize minimumVisible {100, 50};

// `stored` when it is a non-empty rectangle of which some screen shows at least
// minimumVisible; otherwise defaultSize centred on the first of `screens` (the primary
// screen), or at the origin when there is no screen.
QRect initialGeometry(const QVariant &stored, const QList<QRect> &screens);

} // namespace PDFViewerWindowPlacement
