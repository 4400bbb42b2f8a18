#pragma once

#include "PDFViewerShortcut.h"
#include "PDFViewerShortcutAction.h"

// An action paired with its factory-default combination.
struct PDFViewerShortcutSpec {
    PDFViewerShortcutAction action;
    PDFViewerShortcut shortcut;

    bool operator==(const PDFViewerShortcutSpec &other) const
    {
        return action == other.action && shortcut == other.shortcut;
    }
    bool operator!=(const PDFViewerShortcutSpec &other) const { return !(*this == other); }
};
