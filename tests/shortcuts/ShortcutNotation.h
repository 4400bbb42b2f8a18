#pragma once

#include "PDFViewerShortcut.h"

#include <QHash>

// A compact notation for building combinations in tests, not the text users see: one symbol per
// stored modifier bit (⌃ control 1, ⌥ option 2, ⇧ shift 4, ⌘ command 8; shown as Super, Alt,
// Shift and Ctrl), then the key: ↑, Return, Space and F1 to F12 by name ("⌃⇧F1", "⌘Space"),
// anything else as its raw text ("⌥["). `extraBits` adds modifier bits no symbol stands for.
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
        {QStringLiteral("Return"), 0x0D},
        {QStringLiteral("Space"), 0x20},
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

inline QString ch(char16_t c)
{
    return QString(QChar(c));
}
