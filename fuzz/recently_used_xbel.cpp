// The desktop's recent list (an xbel file) as the viewer rewrites it after opening a drawing.
// What it writes must be a registry it can read and rewrite again: the file is shared with
// every other program of the desktop.

#include "FuzzInput.h"
#include "RecentlyUsedRegistry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const RecentlyUsedRegistry registry(QString(), QStringLiteral("Plenvo"), QStringLiteral("plenvo %u"));
    static const QUrl drawing = QUrl::fromLocalFile(QStringLiteral("/srv/图纸/A-101 总平面.pdf"));
    static const QDateTime now = QDateTime(QDate(2026, 3, 1), QTime(8, 30), Qt::UTC);
    const auto written = registry.rewritten(fuzzInput(data, size), drawing, now);
    if (!written)
        return 0;
    if (!registry.rewritten(*written, drawing, now.addSecs(60)))
        std::abort();
    return 0;
}
