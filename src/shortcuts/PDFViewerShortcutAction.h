#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <optional>

// One of the ten viewer actions whose key combination the user may change. The raw values are
// the keys of the stored configuration; they and the declaration order never change, because
// conflicts, cleaning, menus and help all walk the actions in this order.
class PDFViewerShortcutAction {
public:
    enum Value : int {
        previousPage,
        nextPage,
        zoomOut,
        zoomIn,
        actualSize,
        fitPage,
        rotateLeft,
        rotateRight,
        resetRotation,
        togglePresentation,
    };

    constexpr PDFViewerShortcutAction(Value value)
        : m_value(value)
    {
    }
    // Lets the action be used in `switch` and compared with the enumerators directly.
    constexpr operator Value() const { return m_value; }

    static const std::array<PDFViewerShortcutAction, 10> &allCases();
    // Exact, case-sensitive match against the ten raw values; anything else gives nullopt.
    static std::optional<PDFViewerShortcutAction> fromRawValue(QStringView rawValue);

    QString rawValue() const;
    // The user-facing Chinese name quoted by messages, accessibility texts and settings rows.
    QString displayName() const;

private:
    Value m_value;
};

inline size_t qHash(PDFViewerShortcutAction action, size_t seed = 0) noexcept
{
    return qHash(int(action), seed);
}
