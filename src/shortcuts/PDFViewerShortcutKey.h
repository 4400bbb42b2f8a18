#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// The key of a combination: the character the key produces without modifiers, or for the
// arrow and function keys a private-use character (up U+F700, down U+F701, left U+F702,
// right U+F703, F1–F12 U+F704–U+F70F). Every key is normalised on construction: a text of
// exactly one ASCII capital letter is stored in lower case, anything else unchanged (even
// empty or several characters; validation decides what is usable). Equality and hashing use
// the normalised text.
class PDFViewerShortcutKey {
public:
    explicit PDFViewerShortcutKey(const QString &rawValue);

    static PDFViewerShortcutKey leftBracket() { return PDFViewerShortcutKey(QStringLiteral("[")); }
    static PDFViewerShortcutKey rightBracket() { return PDFViewerShortcutKey(QStringLiteral("]")); }
    static PDFViewerShortcutKey minus() { return PDFViewerShortcutKey(QStringLiteral("-")); }
    static PDFViewerShortcutKey equal() { return PDFViewerShortcutKey(QStringLiteral("=")); }
    static PDFViewerShortcutKey upArrow() { return PDFViewerShortcutKey(QChar(0xF700)); }
    static PDFViewerShortcutKey downArrow() { return PDFViewerShortcutKey(QChar(0xF701)); }
    static PDFViewerShortcutKey leftArrow() { return PDFViewerShortcutKey(QChar(0xF702)); }
    static PDFViewerShortcutKey rightArrow() { return PDFViewerShortcutKey(QChar(0xF703)); }
    static PDFViewerShortcutKey zero() { return PDFViewerShortcutKey(QStringLiteral("0")); }
    static PDFViewerShortcutKey letterF() { return PDFViewerShortcutKey(QStringLiteral("f")); }

    // True for the 20 keys shown by name and accepted beside printable ASCII: the four arrows,
    // F1–F12, Return U+000D, Tab U+0009, Space U+0020 and Delete U+007F.
    bool isSpecial() const;
    // Exactly one user-perceived character (grapheme cluster).
    bool isOneCharacter() const;

    const QString &rawValue() const { return m_rawValue; }
    // "↑" "↓" "←" "→", "F1"…"F12", "Return", "Tab", "Space", "Delete" for the special keys;
    // "−" (U+2212) for "-"; otherwise the raw value in upper case ("f" shows "F").
    QString displayText() const;
    // The Qt key a binding for this key uses: arrows, F1–F12, Return, Tab, Space, Backspace for
    // Delete, and printable ASCII (letters as Qt's upper-case keys); 0 for any other key, which
    // no binding can name.
    int qtKey() const;

    bool operator==(const PDFViewerShortcutKey &other) const { return m_rawValue == other.m_rawValue; }
    bool operator!=(const PDFViewerShortcutKey &other) const { return m_rawValue != other.m_rawValue; }

private:
    QString m_rawValue;
};

inline size_t qHash(const PDFViewerShortcutKey &key, size_t seed = 0) noexcept
{
    return qHash(key.rawValue(), seed);
}
