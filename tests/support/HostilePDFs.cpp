#include "HostilePDFs.h"

#include <QFile>

#include <zlib.h>

namespace {

// A PDF written object by object: the objects are numbered from 1 in the order added, and the
// cross-reference table records where each starts.
class RawPDF {
public:
    int add(const QByteArray &body)
    {
        m_objects.append(body);
        return int(m_objects.size());
    }
    // A stream object; `dictionary` without its << >> and /Length.
    int addStream(const QByteArray &dictionary, const QByteArray &data)
    {
        return add("<< " + dictionary + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data
            + "\nendstream");
    }
    // `trailerExtra` is added to the trailer dictionary; in it, %XREF% becomes the offset of
    // this file's own cross-reference table.
    QByteArray bytes(int root, const QByteArray &trailerExtra = {}) const
    {
        QByteArray out = "%PDF-1.7\n%\xe2\xe3\xcf\xd3\n";
        QList<qsizetype> offsets;
        for (int i = 0; i < m_objects.size(); ++i) {
            offsets.append(out.size());
            out += QByteArray::number(i + 1) + " 0 obj\n" + m_objects[i] + "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(m_objects.size() + 1) + "\n0000000000 65535 f \n";
        for (qsizetype offset : offsets)
            out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        QByteArray extra = trailerExtra;
        extra.replace("%XREF%", QByteArray::number(xref));
        out += "trailer\n<< /Size " + QByteArray::number(m_objects.size() + 1) + " /Root " + QByteArray::number(root)
            + " 0 R " + extra + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }

private:
    QList<QByteArray> m_objects;
};

QByteArray ref(int object)
{
    return QByteArray::number(object) + " 0 R";
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
const QByteArray kFont = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
const QByteArray kA4 = "/MediaBox [0 0 595 842]";

// A catalog, a font, one content stream and a page tree over pages with `pageDictionaries` (each
// entry the page's own keys, without /Type, /Parent, /Resources and /Contents).
QByteArray simple(const QList<QByteArray> &pageDictionaries, const QByteArray &content = kText)
{
    RawPDF pdf;
    QByteArray kids;
    for (int i = 0; i < pageDictionaries.size(); ++i)
        kids += ref(5 + i) + ' ';
    pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pageDictionaries.size()) + " >>");
    pdf.add(kFont);
    pdf.addStream({}, content);
    for (const QByteArray &dictionary : pageDictionaries)
        pdf.add("<< /Type /Page /Parent 2 0 R " + dictionary
            + " /Resources << /Font << /F1 3 0 R >> >> /Contents 4 0 R >>");
    return pdf.bytes(1);
}

QByteArray pageTreeLoop()
{
    RawPDF pdf;
    pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    // The tree lists itself among its kids, and a second node points back up at it.
    pdf.add("<< /Type /Pages /Kids [2 0 R 3 0 R 4 0 R] /Count 3 >>");
    pdf.add("<< /Type /Pages /Parent 2 0 R /Kids [2 0 R 3 0 R] /Count 2 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    return pdf.bytes(1);
}

QByteArray outlineLoop()
{
    RawPDF pdf;
    pdf.add("<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R /PageMode /UseOutlines >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    pdf.add("<< /Type /Outlines /First 5 0 R /Last 5 0 R /Count 1 >>");
    pdf.add("<< /Title (loop) /Parent 4 0 R /First 5 0 R /Next 5 0 R /Prev 5 0 R /Dest [3 0 R /Fit] >>");
    return pdf.bytes(1);
}

QByteArray selfReferencingXref()
{
    RawPDF pdf;
    pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    return pdf.bytes(1, "/Prev %XREF%");
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
    RawPDF pdf;
    pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject << /Im1 5 0 R >> >>"
            " /Contents 4 0 R >>");
    pdf.addStream({}, "q 500 0 0 700 40 70 cm /Im1 Do Q\n");
    pdf.addStream("/Type /XObject /Subtype /Image /Width 100000 /Height 100000 /BitsPerComponent 8"
                  " /ColorSpace /DeviceRGB /Filter /FlateDecode",
        deflate(QByteArray(4096, '\x80')));
    return pdf.bytes(1);
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
    RawPDF pdf;
    pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R >>");
    pdf.addStream("/Filter /FlateDecode", deflate(content));
    return pdf.bytes(1);
}

QByteArray brokenFont()
{
    RawPDF pdf;
    pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F9 5 0 R >> >>"
            " /Contents 4 0 R >>");
    pdf.addStream({}, "BT /F9 36 Tf 72 700 Td (Broken font) Tj ET\n");
    pdf.add("<< /Type /Font /Subtype /TrueType /BaseFont /Broken /FirstChar 32 /LastChar 126 /Widths [500]"
            " /FontDescriptor 6 0 R >>");
    pdf.add("<< /Type /FontDescriptor /FontName /Broken /Flags 32 /FontBBox [0 0 1000 1000] /ItalicAngle 0"
            " /Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 /FontFile2 7 0 R >>");
    QByteArray garbage("\x00\x01\x00\x00\x00\x10\xff\xff", 8);
    for (int i = 0; i < 64; ++i)
        garbage += "glyf\xff\xff\xff\xff";
    pdf.addStream("/Length1 " + QByteArray::number(garbage.size()), garbage);
    return pdf.bytes(1);
}

} // namespace

namespace HostilePDFs {

QByteArray manyPages(int pageCount)
{
    return simple(QList<QByteArray>(pageCount, kA4));
}

const QList<Case> &cases()
{
    static const QList<Case> list = {
        {"page-tree-loop", "a page tree that lists itself among its kids", pageTreeLoop},
        {"outline-loop", "an outline item that is its own next, previous and first child", outlineLoop},
        {"xref-loop", "a cross-reference table whose /Prev points at itself", selfReferencingXref},
        {"nested-arrays", "arrays nested 200 deep in the page", nestedArrays},
        {"huge-page", "a page of 14,400 × 14,400 pt", hugePage},
        {"absurd-boxes", "pages with enormous, zero-area, inverted and malformed media boxes", absurdBoxes},
        {"huge-image", "an image declaring 100,000 × 100,000 pixels with 4 KB of data", hugeImage},
        {"million-paths", "a content stream of a million tiny paths", millionPaths},
        {"broken-font", "an embedded TrueType font of garbage", brokenFont},
        {"ten-thousand-pages", "10,000 pages", [] { return manyPages(10000); }},
    };
    return list;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace HostilePDFs
