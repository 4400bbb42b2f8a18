#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// PDF files written to hurt a reader: loops, absurd sizes, heavy content, broken parts. Each
// is written byte by byte (no PDF library involved), so the damage is exactly what is named.
namespace HostilePDFs {

struct Case {
    const char *name;
    QByteArray (*bytes)();
};

// Every case: page-tree and outline loops, an xref chain pointing at itself, a 200-level nested
// array, a 14,400 pt page, absurd and zero-area media boxes, an image declaring 100,000 ×
// 100,000 pixels, a million tiny paths, a broken embedded font, 10,000 pages, a layer list
// that holds itself.
const QList<Case> &cases();

// `pageCount` plain A4 pages sharing one small content stream; fast for any count.
QByteArray manyPages(int pageCount);

// A file of `objects`, numbered from 1 in order, the first the catalog. Without a
// cross-reference table unless `indexed`: the engine then rebuilds one as it opens. In
// `trailerExtra`, added to the trailer, %XREF% becomes the table's own offset.
QByteArray raw(const QList<QByteArray> &objects, bool indexed = true, const QByteArray &trailerExtra = {});

// Writes `bytes` to `path`; false on failure.
bool write(const QString &path, const QByteArray &bytes);

} // namespace HostilePDFs
