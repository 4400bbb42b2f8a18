#include "PDFViewerWindowPlacement.h"

namespace PDFViewerWindowPlacement {

QRect initialGeometry(const QVariant &stored, const QList<QRect> &screens)
{
    if (stored.typeId() == QMetaType::QRect) {
        const QRect geometry = stored.toRect();
        for (const QRect &screen : screens) {
            const QRect shown = geometry.intersected(screen);
            if (!geometry.isEmpty() && shown.width() >= minimumVisible.width()
                && shown.height() >= minimumVisible.height())
                return geometry;
        }
    }
    QRect placed(QPoint(0, 0), defaultSize);
    if (!screens.isEmpty())
        placed.moveCenter(screens.first().center());
    return placed;
}

} // namespace PDFViewerWindowPlacement
