// The reading-position ledger as the viewer reads it at start. A ledger that decodes must
// come back unchanged from its own stored form.

#include "FuzzInput.h"
#include "ReadingPositionLedger.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto ledger = ReadingPositionLedger::decode(fuzzInput(data, size));
    if (!ledger)
        return 0;
    const auto again = ReadingPositionLedger::decode(ledger->encode());
    if (!again || !(*again == *ledger))
        std::abort();
    return 0;
}
