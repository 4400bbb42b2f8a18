#pragma once

#include "PDFViewerShortcut.h"
#include "PDFViewerShortcutAction.h"
#include "PDFViewerShortcutValidationError.h"

#include <QByteArray>
#include <QMap>

#include <optional>
#include <variant>

// The user's deviations from the factory defaults, keyed by action raw value; an action
// without an entry uses its default. The type holds whatever was read from storage; setting()
// and sanitized() are what keep it valid.
class PDFViewerShortcutConfiguration {
public:
    PDFViewerShortcutConfiguration() = default;
    explicit PDFViewerShortcutConfiguration(const QMap<QString, PDFViewerShortcut> &overrides)
        : m_overrides(overrides)
    {
    }

    const QMap<QString, PDFViewerShortcut> &overrides() const { return m_overrides; }

    // The override under the action's raw value, else the factory default.
    PDFViewerShortcut shortcut(PDFViewerShortcutAction action) const;

    // A copy with `shortcut` assigned to `action`, or the reason it is refused (full
    // validation against the effective combinations of the other actions). Choosing the
    // default removes the entry. The receiver never changes.
    std::variant<PDFViewerShortcutConfiguration, PDFViewerShortcutValidationError> setting(
        const PDFViewerShortcut &shortcut, PDFViewerShortcutAction action) const;

    // A cleaned copy: only the ten raw values as keys; no entry equal to its default or
    // failing the basic checks; no two actions with the same effective combination (the one
    // whose default it is keeps it, else the first in action order). Never fails.
    PDFViewerShortcutConfiguration sanitized() const;

    // The stored record {"overrides": {raw value: shortcut record, …}} as compact UTF-8 JSON.
    QByteArray encoded() const;
    // nullopt unless `data` is a JSON object whose "overrides" member is an object of
    // readable shortcut records. Keys that are not action raw values are kept (sanitized()
    // drops them); other top-level members are ignored.
    static std::optional<PDFViewerShortcutConfiguration> decoded(const QByteArray &data);

    bool operator==(const PDFViewerShortcutConfiguration &other) const { return m_overrides == other.m_overrides; }
    bool operator!=(const PDFViewerShortcutConfiguration &other) const { return !(*this == other); }

private:
    QMap<QString, PDFViewerShortcut> m_overrides;
};
