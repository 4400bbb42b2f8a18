#include "PDFViewerShortcutKey.h"

#include <QTextBoundaryFinder>
#include <QtCore/qnamespace.h>

namespace {

// The keys shown by name, each with the Qt key a binding uses for it. F1–F12 (U+F704–U+F70F)
// follow as a range.
struct NamedKey {
    char16_t raw;
    const char *name;
    int qtKey;
};
constexpr NamedKey namedKeys[] = {
    {0xF700, "↑", Qt::Key_Up},
    {0xF701, "↓", Qt::Key_Down},
    {0xF702, "←", Qt::Key_Left},
    {0xF703, "→", Qt::Key_Right},
    {0x000D, "Return", Qt::Key_Return},
    {0x0009, "Tab", Qt::Key_Tab},
    {0x0020, "Space", Qt::Key_Space},
    {0x007F, "Delete", Qt::Key_Backspace},
};
constexpr char16_t f1 = 0xF704;
constexpr char16_t f12 = 0xF70F;

const NamedKey *namedKey(const QString &rawValue)
{
    if (rawValue.size() != 1)
        return nullptr;
    for (const NamedKey &key : namedKeys) {
        if (rawValue.front().unicode() == key.raw)
            return &key;
    }
    return nullptr;
}

// 1 for F1 … 12 for F12, else 0.
int functionKeyNumber(const QString &rawValue)
{
    const char16_t c = rawValue.size() == 1 ? rawValue.front().unicode() : 0;
    return c >= f1 && c <= f12 ? c - f1 + 1 : 0;
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
    return namedKey(m_rawValue) || functionKeyNumber(m_rawValue);
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
    if (const NamedKey *named = namedKey(m_rawValue))
        return QString::fromUtf8(named->name);
    if (const int number = functionKeyNumber(m_rawValue))
        return QLatin1Char('F') + QString::number(number);
    if (m_rawValue == QLatin1String("-"))
        return QString(QChar(0x2212));
    return m_rawValue.toUpper();
}

int PDFViewerShortcutKey::qtKey() const
{
    if (const NamedKey *named = namedKey(m_rawValue))
        return named->qtKey;
    if (const int number = functionKeyNumber(m_rawValue))
        return Qt::Key_F1 + number - 1;
    const char16_t c = m_rawValue.size() == 1 ? m_rawValue.front().unicode() : 0;
    if (c >= 0x20 && c <= 0x7E) // Qt's keys for printable ASCII are the code points, letters upper case
        return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c;
    return 0;
}
