#pragma once

#include "PDFViewerShortcut.h"
#include "PDFViewerShortcutAction.h"
#include "PDFViewerShortcutSpec.h"
#include "PDFViewerShortcutValidationError.h"

#include <QList>

#include <optional>

class PDFViewerShortcutConfiguration;

// The factory defaults and the rules a combination must pass. Pure functions of values.
namespace PDFViewerShortcutPolicy {

// One PDFViewerShortcutSpec per action in PDFViewerShortcutAction::allCases() order; every default is option
// alone with [ ] - = ↑ ↓ ← → 0 f. Built once, never changes.
const QList<PDFViewerShortcutSpec> &ordered();
// The PDFViewerShortcutSpec of `action`; its `shortcut` is the factory default.
PDFViewerShortcutSpec shortcut(PDFViewerShortcutAction action);

// The checks that need no other action, first failure wins: the key must be one
// user-perceived character (else unsupportedKey); one of the 20 special keys or one printable
// ASCII scalar 32…126 (else unsupportedKey); modifier raw value 0…15 read unsigned, so
// negatives fail too (else unsupportedModifier); control, option or command present (else
// missingPrimaryModifier); not a reserved combination of the platform or of the fixed menu
// commands (else reserved). Never gives `duplicate`.
std::optional<PDFViewerShortcutValidationError> basicValidationError(const PDFViewerShortcut &shortcut);

// The basic checks, then `duplicate` naming the first other action, in action order, whose
// effective combination in `configuration` equals `shortcut`. The edited action's own
// current and default combinations never collide.
std::optional<PDFViewerShortcutValidationError> validationError(const PDFViewerShortcut &shortcut,
    PDFViewerShortcutAction action, const PDFViewerShortcutConfiguration &configuration);

} // namespace PDFViewerShortcutPolicy
