#include "PDFViewerShortcutDispatch.h"

namespace {

// 0 when the key has no Qt key of its own.
int qtKey(const PDFViewerShortcutKey &key)
{
    const QString &raw = key.rawValue();
    if (raw.size() != 1)
        return 0;
    const char16_t c = raw.front().unicode();
    if (c >= 0xF704 && c <= 0xF70F)
        return Qt::Key_F1 + (c - 0xF704);
    switch (c) {
    case 0xF700:
        return Qt::Key_Up;
    case 0xF701:
        return Qt::Key_Down;
    case 0xF702:
        return Qt::Key_Left;
    case 0xF703:
        return Qt::Key_Right;
    case 0x000D:
        return Qt::Key_Return;
    case 0x0009:
        return Qt::Key_Tab;
    case 0x007F:
        return Qt::Key_Backspace;
    }
    if (c >= 0x20 && c <= 0x7E) // Qt's keys for printable ASCII are the code points, letters upper case
        return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c;
    return 0;
}

} // namespace

namespace PDFViewerShortcutDispatch {

QKeySequence keySequence(const PDFViewerShortcut &shortcut)
{
    const int key = qtKey(shortcut.key());
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
