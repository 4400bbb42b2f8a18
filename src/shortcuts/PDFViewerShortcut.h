#pragma once

#include "PDFViewerShortcutKey.h"
#include "PDFViewerShortcutModifiers.h"

#include <QJsonObject>

#include <optional>

class PDFViewerKeyboardLayout;
class QKeyEvent;

// One key combination: a normalised key and a modifier set. A plain value; nothing here
// validates, so a combination may hold an unusable key or modifier bits (see
// PDFViewerShortcutPolicy).
class PDFViewerShortcut {
public:
    PDFViewerShortcut(const PDFViewerShortcutKey &key, PDFViewerShortcutModifiers modifiers)
        : m_key(key)
        , m_modifiers(modifiers)
    {
    }

    // The combination of a key press, or nullopt when the key gives no single user-perceived
    // character (a dead key, a bare modifier, a key without text such as Home).
    //
    // Key: arrows and F1–F12 give their private-use characters; Return, Tab and Space give
    // U+000D, U+0009, U+0020; Backspace gives U+007F, the key shown as "Delete" (it sits where
    // the stored format's delete key sits); the forward Delete key gives U+F728 and keypad
    // Enter U+0003, which validation rejects, so neither can be confused with Backspace or
    // Return. Every other key gives the character it produces with no modifiers held on the
    // first group of `layout`, looked up by the event's native scan code (an evdev keycode
    // + 8): shift + "2" records "2", and caps lock never changes the letter. An event without a
    // scan code (synthesised), or a layout that failed to load, falls back to the event's Qt
    // key, which for shifted symbols is the shifted one.
    //
    // Modifiers: Ctrl → command, Alt → option, Meta (Super) → control, Shift → shift; keypad
    // and group-switch flags are ignored. Nothing is validated here.
    static std::optional<PDFViewerShortcut> fromEvent(const QKeyEvent &event, const PDFViewerKeyboardLayout &layout);
    // The same with the session's layout (PDFViewerKeyboardLayout::active()).
    static std::optional<PDFViewerShortcut> fromEvent(const QKeyEvent &event);

    const PDFViewerShortcutKey &key() const { return m_key; }
    PDFViewerShortcutModifiers modifiers() const { return m_modifiers; }

    // The shortcut text shown everywhere: the modifiers' names, each followed by "+", then the
    // key's display text ("Ctrl+Shift+W", "Alt+↑").
    QString displayText() const { return m_modifiers.displayText() + m_key.displayText(); }

    // The stored record {"key": raw value, "modifiers": raw value as an integer}.
    QJsonObject toJSON() const;
    // Both members are required: "key" a string (normalised, any text accepted), "modifiers"
    // an integral number within 64 bits. Anything else gives nullopt. Other members are
    // ignored, so records written by later versions still read.
    static std::optional<PDFViewerShortcut> fromJSON(const QJsonValue &value);

    bool operator==(const PDFViewerShortcut &other) const
    {
        return m_key == other.m_key && m_modifiers == other.m_modifiers;
    }
    bool operator!=(const PDFViewerShortcut &other) const { return !(*this == other); }

private:
    PDFViewerShortcutKey m_key;
    PDFViewerShortcutModifiers m_modifiers;
};

inline size_t qHash(const PDFViewerShortcut &shortcut, size_t seed = 0) noexcept
{
    return qHashMulti(seed, shortcut.key().rawValue(), shortcut.modifiers().rawValue());
}
