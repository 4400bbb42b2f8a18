#include "TestPDFs.h"

#include "PDFDocumentBuilder.h"

#include <QFile>
#include <QImage>

#include <algorithm>

namespace {

// One line of `text` at 18 pt from x = 90, its baseline `fromTop` points below the top of a page
// of `size`, in /F1 or, when it holds any non-Latin-1 character, wholly in /F2.
QByteArray textLine(const QString &text, QSizeF size, qreal fromTop)
{
    const bool latin = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xff; });
    return "BT " + QByteArray(latin ? "/F1" : "/F2") + " 18 Tf 90 " + QByteArray::number(size.height() - fromTop)
        + " Td " + (latin ? PDFDocumentBuilder::latinText(text) : PDFDocumentBuilder::cjkText(text)) + " Tj ET\n";
}

// "Page n" near the top-left corner (below the link inch), then `text` under it.
QByteArray pageContent(int pageNumber, QSizeF size, const QString &text = {})
{
    const QByteArray heading = "BT /F1 24 Tf 90 " + QByteArray::number(size.height() - 100) + " Td "
        + PDFDocumentBuilder::latinText(QStringLiteral("Page %1").arg(pageNumber)) + " Tj ET\n";
    return text.isEmpty() ? heading : heading + textLine(text, size, 150);
}

// One page of each size, each with its heading and pageTexts[i], turned by rotations[i].
PDFDocumentBuilder pages(
    const QList<QSizeF> &sizes, const QStringList &pageTexts = {}, const QList<int> &rotations = {})
{
    PDFDocumentBuilder builder;
    for (int i = 0; i < sizes.size(); ++i)
        builder.addPage(sizes[i], pageContent(i + 1, sizes[i], pageTexts.value(i)), rotations.value(i));
    return builder;
}

const QSizeF kA4(595, 842);

} // namespace

namespace TestPDFs {

bool writePlain(const QString &path, int pageCount, QSizeF size, const QStringList &pageTexts)
{
    return pages(QList<QSizeF>(pageCount, size), pageTexts).save(path);
}

bool writeLayered(const QString &path, const QStringList &names, int throughMembership)
{
    PDFDocumentBuilder builder;
    const bool visible[] = {true, true, false, true, false};
    QByteArray first;
    for (int k = 0; k < 5; ++k) {
        builder.addLayer({names.value(k), visible[k], k >= 3 ? 0 : -1, k == throughMembership});
        const QByteArray x = QByteArray::number(10 + 55 * k);
        first += PDFDocumentBuilder::layerContent(
            k, x + " 80 40 40 re f BT /F1 10 Tf " + x + " 60 Td (L" + QByteArray::number(k) + ") Tj ET");
    }
    builder.addPage({QSizeF(300, 200), 0, first, {}, -1, {}, {0, 1, 2, 3, 4}});
    builder.addPage({QSizeF(300, 200), 0, PDFDocumentBuilder::layerContent(0, "10 80 40 40 re f"), {}, -1, {}, {0}});
    return builder.save(path);
}

bool writeLines(const QString &path, const QList<QStringList> &pageLines, QSizeF size)
{
    PDFDocumentBuilder builder;
    for (const QStringList &lines : pageLines) {
        QByteArray content;
        for (int i = 0; i < lines.size(); ++i)
            content += textLine(lines[i], size, 150 + 24 * i);
        builder.addPage(size, content);
    }
    return builder.save(path);
}

bool writeSheets(const QString &path, const QList<QSizeF> &sizes)
{
    return pages(sizes).save(path);
}

bool writeRotated(const QString &path, const QList<int> &rotations)
{
    return pages(QList<QSizeF>(rotations.size(), kA4), {}, rotations).save(path);
}

bool writeLocked(const QString &path)
{
    PDFDocumentBuilder builder = pages({kA4});
    builder.setPassword(QStringLiteral("secret"));
    return builder.save(path);
}

bool writeNoPages(const QString &path)
{
    return PDFDocumentBuilder().save(path);
}

bool writeTruncated(const QString &path, int keepBytes)
{
    if (!writePlain(path, 1))
        return false;
    QFile file(path);
    return file.size() > keepBytes && file.resize(keepBytes);
}

bool writePNG(const QString &path)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    return image.save(path, "PNG");
}

bool writePlainNative(const QByteArray &nativePath, int pageCount)
{
    return pages(QList<QSizeF>(pageCount, kA4)).save(nativePath);
}

bool writeLinks(const QString &path)
{
    PDFDocumentBuilder builder;
    builder.addPage({kA4, 0, {}, {QStringLiteral("https://example.org/plan")}, -1});
    builder.addPage({kA4, 0, {}, {QStringLiteral("javascript:alert(1)")}, -1});
    builder.addPage({kA4, 0, {}, {}, 3});
    builder.addPage(kA4);
    return builder.save(path);
}

bool writeScripted(const QString &path)
{
    PDFDocumentBuilder builder;
    const int font
        = builder.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    const QByteArray helvetica = "<< /Font << /Helv {object " + QByteArray::number(font) + "} >> >>";
    const int appearance
        = builder.addObject("<< /Type /XObject /Subtype /Form /BBox [0 0 200 30] /Resources " + helvetica + " >>",
            "/Tx BMC BT /Helv 12 Tf 2 8 Td (ORIGINAL) Tj ET EMC");
    const int field = builder.addObject("<< /Type /Annot /Subtype /Widget /FT /Tx /T (note) /V (ORIGINAL)"
                                        " /DA (/Helv 12 Tf 0 g) /Rect [90 600 290 630] /F 4 /AP << /N {object "
        + QByteArray::number(appearance) + "} >> >>");
    const int script = builder.addObject("<< /S /JavaScript /JS (this.getField('note').value = 'CHANGED';"
                                         " this.pageNum = 2; app.alert('CHANGED');) >>");
    const QByteArray scriptReference = "{object " + QByteArray::number(script) + "}";
    builder.setCatalogEntries("<< /AcroForm << /Fields [{object " + QByteArray::number(field)
        + "}] /DA (/Helv 12 Tf 0 g) /DR " + helvetica + " >> /OpenAction " + scriptReference
        + " /Names << /JavaScript << /Names [(init) " + scriptReference + "] >> >> >>");
    builder.addPage({kA4, 0, {}, {}, -1, {field}});
    builder.addPage(kA4);
    builder.addPage(kA4);
    return builder.save(path);
}

} // namespace TestPDFs
