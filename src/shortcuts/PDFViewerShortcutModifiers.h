#pragma once

#include <QHashFunctions>
#include <QString>

#include <initializer_list>

// A set of modifier keys over a signed 64-bit raw value: control 1, option 2, shift 4,
// command 8. Any raw value is representable, because stored records may carry other bits;
// validation decides whether a set is usable. Equality and hashing use the raw value only.
class PDFViewerShortcutModifiers {
public:
    static const PDFViewerShortcutModifiers control;
    static const PDFViewerShortcutModifiers option;
    static const PDFViewerShortcutModifiers shift;
    static const PDFViewerShortcutModifiers command;

    constexpr PDFViewerShortcutModifiers() = default;
    constexpr explicit PDFViewerShortcutModifiers(qint64 rawValue)
        : m_rawValue(rawValue)
    {
    }
    // The union of the listed members.
    constexpr PDFViewerShortcutModifiers(std::initializer_list<PDFViewerShortcutModifiers> members)
    {
        for (PDFViewerShortcutModifiers member : members)
            m_rawValue |= member.m_rawValue;
    }

    constexpr qint64 rawValue() const { return m_rawValue; }
    constexpr bool isEmpty() const { return m_rawValue == 0; }
    // True when every bit of `other` is set here (the empty set is contained in every set).
    constexpr bool contains(PDFViewerShortcutModifiers other) const
    {
        return (m_rawValue & other.m_rawValue) == other.m_rawValue;
    }
    constexpr bool isSubset(PDFViewerShortcutModifiers of) const { return of.contains(*this); }
    constexpr bool isDisjoint(PDFViewerShortcutModifiers with) const { return (m_rawValue & with.m_rawValue) == 0; }
    constexpr void insert(PDFViewerShortcutModifiers members) { m_rawValue |= members.m_rawValue; }
    constexpr void remove(PDFViewerShortcutModifiers members) { m_rawValue &= ~members.m_rawValue; }

    constexpr PDFViewerShortcutModifiers operator|(PDFViewerShortcutModifiers other) const
    {
        return PDFViewerShortcutModifiers(m_rawValue | other.m_rawValue);
    }
    constexpr PDFViewerShortcutModifiers operator&(PDFViewerShortcutModifiers other) const
    {
        return PDFViewerShortcutModifiers(m_rawValue & other.m_rawValue);
    }
    constexpr PDFViewerShortcutModifiers operator^(PDFViewerShortcutModifiers other) const
    {
        return PDFViewerShortcutModifiers(m_rawValue ^ other.m_rawValue);
    }
    constexpr bool operator==(PDFViewerShortcutModifiers other) const { return m_rawValue == other.m_rawValue; }
    constexpr bool operator!=(PDFViewerShortcutModifiers other) const { return m_rawValue != other.m_rawValue; }

    // The names of the members present as the keys are labelled here, each followed by "+",
    // always in the order Ctrl (command), Alt (option), Shift, Super (control): "Ctrl+Shift+".
    // Other bits show nothing; the empty set is "".
    QString displayText() const;

private:
    qint64 m_rawValue = 0;
};

inline constexpr PDFViewerShortcutModifiers PDFViewerShortcutModifiers::control(qint64(1));
inline constexpr PDFViewerShortcutModifiers PDFViewerShortcutModifiers::option(qint64(2));
inline constexpr PDFViewerShortcutModifiers PDFViewerShortcutModifiers::shift(qint64(4));
inline constexpr PDFViewerShortcutModifiers PDFViewerShortcutModifiers::command(qint64(8));

inline size_t qHash(PDFViewerShortcutModifiers modifiers, size_t seed = 0) noexcept
{
    return qHash(modifiers.rawValue(), seed);
}
