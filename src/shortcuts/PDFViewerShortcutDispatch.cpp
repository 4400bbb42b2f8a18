#include "PDFViewerShortcutDispatch.h"

namespace PDFViewerShortcutDispatch {

QKeySequence keySequence(const PDFViewerShortcut &shortcut)
{
    const int key = shortcut.key().qtKey();
    if (key == 0)
        return QKeySequence();
    Qt::KeyboardModifiers modifiers;
    const PDFViewerShortcutModifiers members = shortcut.modifiers();
    if (members.contains(PDFViewerShortcutModifiers::command))
        modifiers |= Qt::ControlModifier;
    if (members.contains(PDFViewerShortcutModifiers::option))
        modifiers |= Qt::AltModifier;
    if (members.contains(PDFViewerShortcutModifiers::control))
        modifiers |= Qt::MetaModifier;
    if (members.contains(PDFViewerShortcutModifiers::shift))
        modifiers |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, Qt::Key(key)));
}

} // namespace PDFViewerShortcutDispatch
