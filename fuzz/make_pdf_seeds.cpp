// Writes the seed files of corpus/pdf_document/ into the folder given as the only argument:
// the tests' own fixtures, written by the tests' writer, and a few hand-made files whose
// content and page tree are plain text, so that the fuzzer's byte changes reach the
// operators and objects instead of a compressed stream.

#include "PDFDocumentBuilder.h"
#include "TestPDFs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

// A one-page file with an uncompressed content stream and no cross-reference table (the
// engine rebuilds it). `pageExtra` goes into the page dictionary.
QByteArray handMade(const QByteArray &content, const QByteArray &pageExtra = {})
{
    return "%PDF-1.7\n"
           "1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
           "2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n"
           "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 595 842]/Contents 4 0 R"
           "/Resources<</Font<</F1<</Type/Font/Subtype/Type1/BaseFont/Helvetica>>>>>>"
        + pageExtra + ">> endobj\n" + "4 0 obj <</Length " + QByteArray::number(content.size()) + ">> stream\n"
        + content
        + "\nendstream endobj\n"
          "trailer <</Root 1 0 R>>\n%%EOF\n";
}

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    const auto at = [&dir](const char *name) { return dir.filePath(QLatin1String(name)); };

    bool ok = TestPDFs::writePlain(at("plain.pdf"), 2, QSizeF(595, 842), {QStringLiteral("north wall")})
        && TestPDFs::writeLines(at("cjk-lines.pdf"), {{QStringLiteral("总平面图"), QStringLiteral("Page 1 of 1")}})
        && TestPDFs::writeSheets(at("sheets.pdf"), {QSizeF(3370, 2384), QSizeF(420, 297)})
        && TestPDFs::writeRotated(at("rotated.pdf"), {90, 270, -90}) && TestPDFs::writeLinks(at("links.pdf"))
        && TestPDFs::writeLocked(at("locked.pdf")) && TestPDFs::writeNoPages(at("no-pages.pdf"))
        && TestPDFs::writeTruncated(at("truncated.pdf"), 400)
        && TestPDFs::writeLayered(at("layers.pdf"),
            {QStringLiteral("轴网"), QStringLiteral("墙体"), QStringLiteral("标注"), QStringLiteral("甲"),
                QStringLiteral("乙")},
            1);

    ok = ok
        && save(at("text.pdf"),
            handMade("BT /F1 24 Tf 72 700 Td (Page 1) Tj 0 -30 Td [(p) -20 (age) 300 (1)] TJ T* (Ab) ' ET"))
        && save(at("paths.pdf"),
            handMade("q 1 0 0 RG 4 w 10 10 m 585 832 l S 0.5 g 100 100 200 300 re f "
                     "50 50 m 100 200 300 200 350 50 c h W n 0 0 1 rg 0 0 595 842 re f Q"))
        && save(at("image.pdf"),
            handMade(
                "q 200 0 0 200 100 400 cm BI /W 2 /H 2 /CS /RGB /BPC 8 /F /AHx ID ff0000 00ff00 0000ff ffffff> EI Q"))
        && save(at("link-annotation.pdf"),
            handMade("BT /F1 12 Tf 72 800 Td (link) Tj ET",
                "/Annots[<</Type/Annot/Subtype/Link/Rect[72 790 120 812]/A<</S/URI/URI(https://example.org/a)>>>>"
                "<</Type/Annot/Subtype/Link/Rect[0 0 50 50]/Dest[3 0 R/XYZ 0 842 0]>>]/Rotate 90"));
    return ok ? 0 : 1;
}
