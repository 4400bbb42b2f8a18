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
