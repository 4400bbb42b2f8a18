#include "PDFViewerShortcut.h"

#include "PDFViewerKeyboardLayout.h"

#include <QJsonValue>
#include <QKeyEvent>

#include <xkbcommon/xkbcommon.h>

namespace {

constexpr char16_t upArrowCharacter = 0xF700;
constexpr char16_t downArrowCharacter = 0xF701;
constexpr char16_t leftArrowCharacter = 0xF702;
constexpr char16_t rightArrowCharacter = 0xF703;
constexpr char16_t f1Character = 0xF704;
constexpr char16_t deleteCharacter = 0x007F;
// What the forward-delete and keypad Enter keys report on the keyboard the stored format
// was defined on; validation rejects both.
constexpr char16_t forwardDeleteCharacter = 0xF728;
constexpr char16_t enterCharacter = 0x0003;

QString character(char16_t c)
{
    return QString(QChar(c));
}

// Keys whose recorded character is not the one the layout's keysym maps to.
std::optional<QString> specialKeysymCharacter(xkb_keysym_t keysym)
{
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F12)
        return character(char16_t(f1Character + (keysym - XKB_KEY_F1)));
    switch (keysym) {
    case XKB_KEY_Up:
        return character(upArrowCharacter);
    case XKB_KEY_Down:
        return character(downArrowCharacter);
    case XKB_KEY_Left:
        return character(leftArrowCharacter);
    case XKB_KEY_Right:
        return character(rightArrowCharacter);
    case XKB_KEY_BackSpace:
        return character(deleteCharacter);
    case XKB_KEY_Delete:
    case XKB_KEY_KP_Delete:
        return character(forwardDeleteCharacter);
    case XKB_KEY_KP_Enter:
        return character(enterCharacter);
    }
    return std::nullopt;
}

QString keysymText(xkb_keysym_t keysym)
{
    if (const std::optional<QString> special = specialKeysymCharacter(keysym))
        return *special;
    char utf8[8] = {};
    const int size = xkb_keysym_to_utf8(keysym, utf8, sizeof utf8);
    // The size counts the terminating NUL; 0 means the keysym stands for no character.
    return size > 1 ? QString::fromUtf8(utf8, size - 1) : QString();
}

// For events without a scan code: what the Qt key says, which already includes shift.
QString qtKeyText(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return character(char16_t(f1Character + (key - Qt::Key_F1)));
    switch (key) {
    case Qt::Key_Up:
        return character(upArrowCharacter);
    case Qt::Key_Down:
        return character(downArrowCharacter);
    case Qt::Key_Left:
        return character(leftArrowCharacter);
    case Qt::Key_Right:
        return character(rightArrowCharacter);
    case Qt::Key_Backspace:
        return character(deleteCharacter);
    case Qt::Key_Delete:
        return character(forwardDeleteCharacter);
    case Qt::Key_Enter:
        return character(enterCharacter);
    case Qt::Key_Return:
        return character(u'\r');
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return character(u'\t');
    }
    if (key >= 0x20 && key <= 0x7E)
        return QString(QChar(char16_t(key))).toLower();
    return QString();
}

} // namespace

std::optional<PDFViewerShortcut> PDFViewerShortcut::fromEvent(const QKeyEvent &event)
{
    return fromEvent(event, PDFViewerKeyboardLayout::active());
}

std::optional<PDFViewerShortcut> PDFViewerShortcut::fromEvent(
    const QKeyEvent &event, const PDFViewerKeyboardLayout &layout)
{
    const QString text = event.nativeScanCode() != 0 && layout.isValid()
        ? keysymText(layout.unmodifiedKeysym(event.nativeScanCode()))
        : qtKeyText(event.key());
    const PDFViewerShortcutKey key(text);
    if (!key.isOneCharacter())
        return std::nullopt;

    PDFViewerShortcutModifiers modifiers;
    const Qt::KeyboardModifiers flags = event.modifiers();
    if (flags & Qt::MetaModifier)
        modifiers.insert(PDFViewerShortcutModifiers::control);
    if (flags & Qt::AltModifier)
        modifiers.insert(PDFViewerShortcutModifiers::option);
    if (flags & Qt::ShiftModifier)
        modifiers.insert(PDFViewerShortcutModifiers::shift);
    if (flags & Qt::ControlModifier)
        modifiers.insert(PDFViewerShortcutModifiers::command);
    return PDFViewerShortcut(key, modifiers);
}

QJsonObject PDFViewerShortcut::toJSON() const
{
    return QJsonObject {
        {QStringLiteral("key"), m_key.rawValue()},
        {QStringLiteral("modifiers"), m_modifiers.rawValue()},
    };
}

std::optional<PDFViewerShortcut> PDFViewerShortcut::fromJSON(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue key = object.value(QLatin1String("key"));
    const QJsonValue modifiers = object.value(QLatin1String("modifiers"));
    if (!key.isString() || !modifiers.isDouble())
        return std::nullopt;
    // toInteger() answers its fallback for fractions and out-of-range numbers; two different
    // fallbacks cannot both come back for a real integer.
    const qint64 rawModifiers = modifiers.toInteger(0);
    if (rawModifiers != modifiers.toInteger(1))
        return std::nullopt;
    return PDFViewerShortcut(PDFViewerShortcutKey(key.toString()), PDFViewerShortcutModifiers(rawModifiers));
}
