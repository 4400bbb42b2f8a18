#include "PDFViewerShortcutModifiers.h"

QString PDFViewerShortcutModifiers::displayText() const
{
    QString text;
    if (contains(control))
        text += QChar(0x2303);
    if (contains(option))
        text += QChar(0x2325);
    if (contains(shift))
        text += QChar(0x21E7);
    if (contains(command))
        text += QChar(0x2318);
    return text;
}
