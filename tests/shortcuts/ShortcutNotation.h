#pragma once

#include "PDFViewerShortcut.h"

#include <QHash>

// A compact notation for building combinations in tests, not the text users see: one symbol per
// stored modifier bit (⌃ control 1, ⌥ option 2, ⇧ shift 4, ⌘ command 8; shown as Super, Alt,
// Shift and Ctrl), then the key as its display text ("⌃⇧F1", "⌘Space", "⌥[") or, for anything
// else, the raw key text itself. `extraBits` adds modifier bits no symbol stands for.
inline PDFViewerShortcut sc(const QString &notation, qint64 extraBits = 0)
{
    QString text = notation;
    qint64 modifiers = extraBits;
    const QString symbols = QStringLiteral("⌃⌥⇧⌘");
    while (!text.isEmpty() && symbols.contains(text.front())) {
        modifiers |= qint64(1) << symbols.indexOf(text.front());
        text.remove(0, 1);
    }
    static const QHash<QString, char16_t> named = {
        {QStringLiteral("↑"), 0xF700},
        {QStringLiteral("↓"), 0xF701},
        {QStringLiteral("←"), 0xF702},
        {QStringLiteral("→"), 0xF703},
        {QStringLiteral("Return"), 0x0D},
        {QStringLiteral("Tab"), 0x09},
        {QStringLiteral("Space"), 0x20},
        {QStringLiteral("Delete"), 0x7F},
    };
    if (named.contains(text))
        text = QChar(named.value(text));
    else if (text.size() >= 2 && text.front() == QLatin1Char('F') && text.mid(1).toInt() >= 1
        && text.mid(1).toInt() <= 12)
        text = QChar(char16_t(0xF703 + text.mid(1).toInt()));
    return PDFViewerShortcut(PDFViewerShortcutKey(text), PDFViewerShortcutModifiers(modifiers));
}

inline PDFViewerShortcut sc(const char *notation, qint64 extraBits = 0)
{
    return sc(QString::fromUtf8(notation), extraBits);
}

// The notation `sc` reads back as `shortcut`, for rows built from values; bits beyond the
// four are dropped.
inline QString notation(const PDFViewerShortcut &shortcut)
{
    const QString symbols = QStringLiteral("⌃⌥⇧⌘");
    QString text;
    for (int bit = 0; bit < 4; ++bit) {
        if (shortcut.modifiers().rawValue() & (qint64(1) << bit))
            text += symbols[bit];
    }
    return text + shortcut.key().rawValue();
}

inline QString ch(char16_t c)
{
    return QString(QChar(c));
}
