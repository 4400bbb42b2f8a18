// The stored shortcut configuration as the store reads it, then cleaned. The cleaned copy
// holds only action keys, nothing that fails the basic checks, no two actions on the same
// combination; cleaning it again changes nothing, and it survives its own stored form.

#include "FuzzInput.h"
#include "PDFViewerShortcutConfiguration.h"
#include "PDFViewerShortcutPolicy.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto configuration = PDFViewerShortcutConfiguration::decoded(fuzzInput(data, size));
    if (!configuration)
        return 0;
    const PDFViewerShortcutConfiguration clean = configuration->sanitized();
    for (auto entry = clean.overrides().cbegin(); entry != clean.overrides().cend(); ++entry) {
        if (!PDFViewerShortcutAction::fromRawValue(entry.key())
            || PDFViewerShortcutPolicy::basicValidationError(entry.value()))
            std::abort();
    }
    const auto &actions = PDFViewerShortcutAction::allCases();
    for (size_t i = 0; i < actions.size(); ++i) {
        for (size_t j = i + 1; j < actions.size(); ++j) {
            if (clean.shortcut(actions[i]) == clean.shortcut(actions[j]))
                std::abort();
        }
    }
    if (clean.sanitized() != clean)
        std::abort();
    const auto again = PDFViewerShortcutConfiguration::decoded(clean.encoded());
    if (!again || *again != clean)
        std::abort();
    return 0;
}
