#pragma once

#include "PDFViewerShortcutAction.h"

#include <QString>

// Why a combination was refused. The messages are fixed Chinese texts shown as they are;
// `duplicate` carries the other action that already uses the combination.
class PDFViewerShortcutValidationError {
public:
    enum class Kind {
        duplicate,
        unsupportedKey,
        unsupportedModifier,
        missingPrimaryModifier,
        reserved,
    };

    static PDFViewerShortcutValidationError duplicate(PDFViewerShortcutAction owner)
    {
        return PDFViewerShortcutValidationError(Kind::duplicate, owner);
    }
    static PDFViewerShortcutValidationError unsupportedKey()
    {
        return PDFViewerShortcutValidationError(Kind::unsupportedKey);
    }
    static PDFViewerShortcutValidationError unsupportedModifier()
    {
        return PDFViewerShortcutValidationError(Kind::unsupportedModifier);
    }
    static PDFViewerShortcutValidationError missingPrimaryModifier()
    {
        return PDFViewerShortcutValidationError(Kind::missingPrimaryModifier);
    }
    static PDFViewerShortcutValidationError reserved() { return PDFViewerShortcutValidationError(Kind::reserved); }

    Kind kind() const { return m_kind; }
    // The action of a `duplicate`; for the other kinds an unspecified action.
    PDFViewerShortcutAction action() const { return m_action; }

    QString errorDescription() const;

    bool operator==(const PDFViewerShortcutValidationError &other) const
    {
        return m_kind == other.m_kind && (m_kind != Kind::duplicate || m_action == other.m_action);
    }
    bool operator!=(const PDFViewerShortcutValidationError &other) const { return !(*this == other); }

private:
    explicit PDFViewerShortcutValidationError(
        Kind kind, PDFViewerShortcutAction action = PDFViewerShortcutAction::previousPage)
        : m_kind(kind)
        , m_action(action)
    {
    }

    Kind m_kind;
    PDFViewerShortcutAction m_action;
};
