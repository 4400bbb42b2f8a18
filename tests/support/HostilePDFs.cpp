#include "HostilePDFs.h"

#include <QFile>

#include <zlib.h>

namespace {

// A stream object; `dictionary` without its << >> and /Length.
QByteArray stream(const QByteArray &dictionary, const QByteArray &data)
{
    return "<< " + dictionary + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

QByteArray deflate(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
            uLong(data.size()), 6)
        != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

const QByteArray kText = "BT /F1 24 Tf 72 760 Td (Page) Tj ET\n0 0 1 RG 72 72 m 523 770 l S\n";
const QByteArray kA4 = "/MediaBox [0 0 595 842]";

// A catalog, a font, one content stream and a page tree over pages with `pageDictionaries` (each
// entry the page's own keys, without /Type, /Parent, /Resources and /Contents).
QByteArray simple(const QList<QByteArray> &pageDictionaries, const QByteArray &content = kText)
{
    QByteArray kids;
    for (int i = 0; i < pageDictionaries.size(); ++i)
        kids += QByteArray::number(5 + i) + " 0 R ";
    QList<QByteArray> objects {"<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pageDictionaries.size()) + " >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>", stream({}, content)};
    for (const QByteArray &dictionary : pageDictionaries)
        objects += "<< /Type /Page /Parent 2 0 R " + dictionary
            + " /Resources << /Font << /F1 3 0 R >> >> /Contents 4 0 R >>";
    return HostilePDFs::raw(objects);
}

// A catalog, a page tree and one A4 page (object 3) with `pageKeys`, then `more` objects from 4.
QByteArray onePage(const QByteArray &pageKeys, const QList<QByteArray> &more = {}, const QByteArray &trailerExtra = {})
{
    const QList<QByteArray> objects {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R " + kA4 + ' ' + pageKeys + " >>"};
    return HostilePDFs::raw(objects + more, true, trailerExtra);
}

QByteArray pageTreeLoop()
{
    // The tree lists itself among its kids, and a second node points back up at it.
    return HostilePDFs::raw(
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [2 0 R 3 0 R 4 0 R] /Count 3 >>",
            "<< /Type /Pages /Parent 2 0 R /Kids [2 0 R 3 0 R] /Count 2 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>"});
}

QByteArray outlineLoop()
{
    return HostilePDFs::raw({"<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R /PageMode /UseOutlines >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
        "<< /Type /Outlines /First 5 0 R /Last 5 0 R /Count 1 >>",
        "<< /Title (loop) /Parent 4 0 R /First 5 0 R /Next 5 0 R /Prev 5 0 R /Dest [3 0 R /Fit] >>"});
}

QByteArray selfReferencingXref()
{
    return onePage({}, {}, "/Prev %XREF%");
}

QByteArray nestedArrays()
{
    const QByteArray deep = QByteArray(200, '[') + "1" + QByteArray(200, ']');
    return simple({kA4 + " /Deep " + deep + " /Annots " + deep});
}

QByteArray hugePage()
{
    return simple(
        {"/MediaBox [0 0 14400 14400]"}, "0 0 1 RG 0 0 m 14400 14400 l S\nBT /F1 400 Tf 100 7000 Td (Huge) Tj ET\n");
}

QByteArray absurdBoxes()
{
    return simple({"/MediaBox [0 0 3.4e38 3.4e38]", "/MediaBox [0 0 0 0]", "/MediaBox [100 100 100 900]",
        "/MediaBox [-1e30 -1e30 1e30 1e30]", "/MediaBox [0 0 595 842] /CropBox [0 0 0 0]", "/MediaBox (x)"});
}

QByteArray hugeImage()
{
    return onePage("/Resources << /XObject << /Im1 5 0 R >> >> /Contents 4 0 R",
        {stream({}, "q 500 0 0 700 40 70 cm /Im1 Do Q\n"),
            stream("/Type /XObject /Subtype /Image /Width 100000 /Height 100000 /BitsPerComponent 8"
                   " /ColorSpace /DeviceRGB /Filter /FlateDecode",
                deflate(QByteArray(4096, '\x80')))});
}

QByteArray millionPaths()
{
    QByteArray content;
    content.reserve(24 * 1000 * 1000);
    for (int i = 0; i < 1000 * 1000; ++i) {
        const int x = i % 1000;
        const int y = (i / 1000) % 1000;
        content += QByteArray::number(x * 0.59, 'f', 2) + ' ' + QByteArray::number(y * 0.84, 'f', 2) + " m 0.3 0 l S\n";
    }
    return onePage("/Contents 4 0 R", {stream("/Filter /FlateDecode", deflate(content))});
}

QByteArray brokenFont()
{
    QByteArray garbage("\x00\x01\x00\x00\x00\x10\xff\xff", 8);
    for (int i = 0; i < 64; ++i)
        garbage += "glyf\xff\xff\xff\xff";
    return onePage("/Resources << /Font << /F9 5 0 R >> >> /Contents 4 0 R",
        {stream({}, "BT /F9 36 Tf 72 700 Td (Broken font) Tj ET\n"),
            "<< /Type /Font /Subtype /TrueType /BaseFont /Broken /FirstChar 32 /LastChar 126 /Widths [500]"
            " /FontDescriptor 6 0 R >>",
            "<< /Type /FontDescriptor /FontName /Broken /Flags 32 /FontBBox [0 0 1000 1000] /ItalicAngle 0"
            " /Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 /FontFile2 7 0 R >>",
            stream("/Length1 " + QByteArray::number(garbage.size()), garbage)});
}

} // namespace

namespace HostilePDFs {

QByteArray manyPages(int pageCount)
{
    return simple(QList<QByteArray>(pageCount, kA4));
}

QByteArray layerListLoop()
{
    // The layer list holds itself three times over and no layer; a page's resources hold
    // themselves too.
    return HostilePDFs::raw({"<< /Type /Catalog /Pages 2 0 R /OCProperties << /OCGs [4 0 R] /D << /Order 5 0 R "
                             "/RBGroups [5 0 R] >> >> >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources 6 0 R >>", "<< /Type /OCG /Name (A) >>",
        "[5 0 R 5 0 R 5 0 R]", "<< /Properties << /L0 4 0 R >> /Self 6 0 R /More [6 0 R 6 0 R] >>"});
}

const QList<Case> &cases()
{
    static const QList<Case> list = {
        {"page-tree-loop", pageTreeLoop},
        {"outline-loop", outlineLoop},
        {"xref-loop", selfReferencingXref},
        {"nested-arrays", nestedArrays},
        {"huge-page", hugePage},
        {"absurd-boxes", absurdBoxes},
        {"huge-image", hugeImage},
        {"million-paths", millionPaths},
        {"broken-font", brokenFont},
        {"ten-thousand-pages", [] { return manyPages(10000); }},
        {"layer-list-loop", layerListLoop},
    };
    return list;
}

QByteArray raw(const QList<QByteArray> &objects, bool indexed, const QByteArray &trailerExtra)
{
    QByteArray out = "%PDF-1.7\n%\xe2\xe3\xcf\xd3\n";
    QByteArray table = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(out.size()).rightJustified(10, '0') + " 00000 n \n";
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const QByteArray offset = QByteArray::number(out.size());
    const QByteArray trailer = "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R "
        + QByteArray(trailerExtra).replace("%XREF%", offset) + " >>\n";
    return indexed ? out + table + trailer + "startxref\n" + offset + "\n%%EOF\n" : out + trailer + "%%EOF\n";
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace HostilePDFs
