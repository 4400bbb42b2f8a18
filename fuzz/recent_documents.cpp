// The recent-document list as the viewer reads it at start. A list that decodes must come
// back unchanged from its own stored form.

#include "FuzzInput.h"
#include "RecentPDFDocument.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto list = RecentPDFDocument::decodeList(fuzzInput(data, size));
    if (!list)
        return 0;
    const auto again = RecentPDFDocument::decodeList(RecentPDFDocument::encodeList(*list));
    if (!again || *again != *list)
        std::abort();
    return 0;
}
