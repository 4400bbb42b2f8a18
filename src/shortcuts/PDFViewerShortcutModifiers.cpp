#include "PDFViewerShortcutModifiers.h"

QString PDFViewerShortcutModifiers::displayText() const
{
    QString text;
    if (contains(command))
        text += QLatin1String("Ctrl+");
    if (contains(option))
        text += QLatin1String("Alt+");
    if (contains(shift))
        text += QLatin1String("Shift+");
    if (contains(control))
        text += QLatin1String("Super+");
    return text;
}
