#include "PDFViewerShortcutKey.h"

#include <QTextBoundaryFinder>

namespace {

QString specialDisplayText(const QString &rawValue)
{
    if (rawValue.size() != 1)
        return QString();
    const char16_t c = rawValue.front().unicode();
    switch (c) {
    case 0xF700:
        return QStringLiteral("↑");
    case 0xF701:
        return QStringLiteral("↓");
    case 0xF702:
        return QStringLiteral("←");
    case 0xF703:
        return QStringLiteral("→");
    case 0x000D:
        return QStringLiteral("Return");
    case 0x0009:
        return QStringLiteral("Tab");
    case 0x0020:
        return QStringLiteral("Space");
    case 0x007F:
        return QStringLiteral("Delete");
    }
    if (c >= 0xF704 && c <= 0xF70F)
        return QLatin1Char('F') + QString::number(c - 0xF704 + 1);
    return QString();
}

} // namespace

PDFViewerShortcutKey::PDFViewerShortcutKey(const QString &rawValue)
    : m_rawValue(rawValue)
{
    if (m_rawValue.size() == 1) {
        const char16_t c = m_rawValue.front().unicode();
        if (c >= u'A' && c <= u'Z')
            m_rawValue = QChar(char16_t(c - u'A' + u'a'));
    }
}

std::optional<PDFViewerShortcutKey> PDFViewerShortcutKey::fromSpecialKeyCode(quint16 keyCode)
{
    // Indexed by keyCode − 96; 0 marks the codes in 96…126 that are not arrow or function keys.
    static constexpr char16_t table[31] = {
        0xF708, 0xF709, 0xF70A, 0xF706, 0xF70B, 0xF70C, 0, 0xF70E, // 96–103: F5 F6 F7 F3 F8 F9 – F11
        0, 0, 0, 0, 0, 0xF70D, 0, 0xF70F, // 104–111: … F10 at 109, F12 at 111
        0, 0, 0, 0, 0, 0, 0xF707, 0, // 112–119: F4 at 118
        0xF705, 0, 0xF704, 0xF702, 0xF703, 0xF701, 0xF700, // 120–126: F2, F1, ← → ↓ ↑
    };
    if (keyCode < 96 || keyCode - 96 >= 31 || table[keyCode - 96] == 0)
        return std::nullopt;
    return PDFViewerShortcutKey(QChar(table[keyCode - 96]));
}

bool PDFViewerShortcutKey::isSpecial() const
{
    return !specialDisplayText(m_rawValue).isEmpty();
}

bool PDFViewerShortcutKey::isOneCharacter() const
{
    if (m_rawValue.isEmpty())
        return false;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_rawValue);
    return finder.toNextBoundary() == m_rawValue.size();
}

QString PDFViewerShortcutKey::displayText() const
{
    const QString special = specialDisplayText(m_rawValue);
    if (!special.isEmpty())
        return special;
    if (m_rawValue == QLatin1String("-"))
        return QString(QChar(0x2212));
    return m_rawValue.toUpper();
}
