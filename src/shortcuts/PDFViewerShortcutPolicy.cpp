#include "PDFViewerShortcutPolicy.h"

#include "PDFViewerShortcutConfiguration.h"

#include <string_view>

namespace {

// Combinations taken by the desktop or by the application's own fixed menu commands
// (PDFViewerFixedShortcuts: Ctrl+O, Ctrl+Shift+W, Ctrl+F, Ctrl+, and Ctrl+Shift+/ among them),
// by exact modifier raw value.
bool isReserved(const PDFViewerShortcut &shortcut)
{
    const QString &key = shortcut.key().rawValue();
    if (key.size() != 1)
        return false;
    const char16_t c = key.front().unicode();
    auto among = [c](std::u16string_view keys) { return keys.find(c) != std::u16string_view::npos; };
    switch (shortcut.modifiers().rawValue()) {
    case 1: // Super
        return among(u" \uF700\uF701\uF702\uF703");
    case 8: // Ctrl
        return among(u"acfhmoqvwxz,` \t");
    case 9: // Ctrl+Super
        return among(u"fq");
    case 10: // Ctrl+Alt
        return among(u"dh");
    case 12: // Ctrl+Shift
        return among(u"/345`wz");
    }
    return false;
}

} // namespace

namespace PDFViewerShortcutPolicy {

const QList<PDFViewerShortcutSpec> &ordered()
{
    static const QList<PDFViewerShortcutSpec> specs = [] {
        using Key = PDFViewerShortcutKey;
        const Key keys[] = {Key::leftBracket(), Key::rightBracket(), Key::minus(), Key::equal(), Key::upArrow(),
            Key::downArrow(), Key::leftArrow(), Key::rightArrow(), Key::zero(), Key::letterF()};
        QList<PDFViewerShortcutSpec> list;
        for (PDFViewerShortcutAction action : PDFViewerShortcutAction::allCases())
            list.append({action, PDFViewerShortcut(keys[int(action)], PDFViewerShortcutModifiers::option)});
        return list;
    }();
    return specs;
}

PDFViewerShortcutSpec shortcut(PDFViewerShortcutAction action)
{
    for (const PDFViewerShortcutSpec &spec : ordered()) {
        if (spec.action == action)
            return spec;
    }
    Q_UNREACHABLE();
    return ordered().front();
}

std::optional<PDFViewerShortcutValidationError> basicValidationError(const PDFViewerShortcut &shortcut)
{
    const PDFViewerShortcutKey &key = shortcut.key();
    if (!key.isOneCharacter())
        return PDFViewerShortcutValidationError::unsupportedKey();
    if (!key.isSpecial()) {
        const QString &raw = key.rawValue();
        if (raw.size() != 1 || raw.front().unicode() < 32 || raw.front().unicode() > 126)
            return PDFViewerShortcutValidationError::unsupportedKey();
    }
    const quint64 modifiers = quint64(shortcut.modifiers().rawValue());
    if (modifiers > 15)
        return PDFViewerShortcutValidationError::unsupportedModifier();
    if ((modifiers & 11) == 0)
        return PDFViewerShortcutValidationError::missingPrimaryModifier();
    if (isReserved(shortcut))
        return PDFViewerShortcutValidationError::reserved();
    return std::nullopt;
}

std::optional<PDFViewerShortcutValidationError> validationError(const PDFViewerShortcut &shortcut,
    PDFViewerShortcutAction action, const PDFViewerShortcutConfiguration &configuration)
{
    if (const auto error = basicValidationError(shortcut))
        return error;
    for (PDFViewerShortcutAction other : PDFViewerShortcutAction::allCases()) {
        if (other != action && configuration.shortcut(other) == shortcut)
            return PDFViewerShortcutValidationError::duplicate(other);
    }
    return std::nullopt;
}

} // namespace PDFViewerShortcutPolicy
