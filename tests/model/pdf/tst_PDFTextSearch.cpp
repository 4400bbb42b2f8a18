#include "ChineseReport.h"
#include "PDFDocumentBuilder.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"
#include "PDFGlyphCollector.h"
#include "PDFGlyphIdTables.h"
#include "PDFTextMatch.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Glyphs = std::vector<PDFTextMatch::Glyph>;

// Glyphs as text, coordinates exact: a difference in the last bit shows.
QStringList describe(const Glyphs &glyphs)
{
    QStringList result;
    for (const PDFTextMatch::Glyph &g : glyphs) {
        result.append(QString::asprintf("U+%04x line %d [%.17g %.17g %.17g %.17g]", uint(g.c), g.line, g.box.x(),
            g.box.y(), g.box.width(), g.box.height()));
    }
    return result;
}

// The page as MuPDF's structured-text device reads it, turned into glyphs the way search
// read it before it had a device of its own: the reference the collector must equal.
Glyphs structuredText(fz_context *ctx, fz_page *page, const PDFPageGeometry &geometry)
{
    Glyphs glyphs;
    fz_stext_options options = {};
    fz_stext_page *text = nullptr;
    fz_var(text);
    fz_try(ctx)
    {
        text = fz_new_stext_page_from_page(ctx, page, &options);
    }
    fz_catch(ctx)
    {
        return glyphs;
    }
    int line = 0;
    for (const fz_stext_block *block = text->first_block; block; block = block->next) {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (const fz_stext_line *l = block->u.t.first_line; l; l = l->next, ++line) {
            for (const fz_stext_char *ch = l->first_char; ch; ch = ch->next) {
                const fz_quad &q = ch->quad;
                const fz_rect box
                    = {std::min({q.ul.x, q.ur.x, q.ll.x, q.lr.x}), std::min({q.ul.y, q.ur.y, q.ll.y, q.lr.y}),
                        std::max({q.ul.x, q.ur.x, q.ll.x, q.lr.x}), std::max({q.ul.y, q.ur.y, q.ll.y, q.lr.y})};
                glyphs.push_back({PDFTextMatch::scalarValue(ch->c), 0, line, geometry.toPageSpace(box)});
            }
        }
    }
    fz_drop_stext_page(ctx, text);
    return glyphs;
}

// Text laid out to reach each of the device's rules: a letter printed twice in place (fake
// bold), gaps that are and are not spaces, small and large backward motion, lines just off
// and far off the baseline, letter spacing, a slanted line, an ideographic space, text both
// filled and clipped, invisible text and a squeezed line.
QByteArray layoutCases()
{
    return QByteArrayLiteral("BT /F1 12 Tf 72 700 Td (B) Tj 0 0 Td (B) Tj (old) Tj ET\n"
                             "BT /F1 12 Tf 72 680 Td (gap) Tj 22 0 Td (ped) Tj 40 0 Td (far) Tj ET\n"
                             "BT /F1 12 Tf 72 660 Td [(back) 300 (wards) 2000 (return)] TJ -60 0 Td (left) Tj ET\n"
                             "BT /F1 12 Tf 72 640 Td (base) Tj 24 12 Td (line) Tj 30 30 Td (para) Tj ET\n"
                             "BT /F1 12 Tf 2 Tc 72 620 Td (spaced out) Tj ET\n"
                             "BT /F1 12 Tf 0.866 0.5 -0.5 0.866 300 400 Tm (slanted text) Tj ET\n"
                             "BT /F1 12 Tf 4 Tr 72 560 Td (filled and clipped) Tj 3 Tr 0 -12 Td (invisible) Tj ET\n"
                             "BT /F1 12 Tf 50 Tz 72 520 Td (squeezed) Tj ET\n"
                             "BT /F2 12 Tf 72 500 Td ")
        + PDFDocumentBuilder::cjkText(QStringLiteral("总平面图\u3000立面")) + QByteArrayLiteral(" Tj ET\n");
}

// Lines of text as extraction gives them: character i of line l gets the box (10 i, 20 l, 10, 12).
std::vector<PDFTextMatch::Glyph> glyphs(const QStringList &lines)
{
    std::vector<PDFTextMatch::Glyph> result;
    for (int l = 0; l < lines.size(); ++l) {
        const QList<uint> chars = lines[l].toUcs4();
        for (int i = 0; i < chars.size(); ++i) {
            const char32_t c = chars[i];
            result.push_back({c, QChar::toLower(c), l, QRectF(10 * i, 20 * l, 10, 12)});
        }
    }
    return result;
}

std::u32string needle(const QString &query)
{
    std::u32string folded;
    for (const uint c : query.toUcs4())
        folded.push_back(QChar::toLower(char32_t(c)));
    return PDFTextMatch::needle(folded);
}

} // namespace

// The search's parts below the document: the glyph collector, its prepared fonts, the matcher.
class tst_PDFTextSearch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsAsStructuredText_data();
    void readsAsStructuredText();
    void preparedFontsFindTheSameGlyphs();
    void matchesOverLinesAndWhiteSpace_data();
    void matchesOverLinesAndWhiteSpace();

private:
    QTemporaryDir m_dir;
};

void tst_PDFTextSearch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writeLines(m_dir.filePath(QStringLiteral("wrapped.pdf")),
        {{QStringLiteral("本图为总平面图纸"), QStringLiteral("目录，说明：")}, {QStringLiteral("ÄRZTE WING")}}));
    QVERIFY(TestPDFs::writeRotated(m_dir.filePath(QStringLiteral("rotated.pdf")), {90, 270}));
    QVERIFY(ChineseReport::write(m_dir.filePath(QStringLiteral("report.pdf")), 2));
    PDFDocumentBuilder layout;
    layout.addPage(QSizeF(595, 842), layoutCases());
    QVERIFY(layout.save(m_dir.filePath(QStringLiteral("layout.pdf"))));
}

void tst_PDFTextSearch::readsAsStructuredText_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("wrapped Chinese and Latin lines") << QStringLiteral("wrapped.pdf");
    QTest::newRow("rotated pages") << QStringLiteral("rotated.pdf");
    QTest::newRow("Chinese report") << QStringLiteral("report.pdf");
    QTest::newRow("layout rules") << QStringLiteral("layout.pdf");
}

void tst_PDFTextSearch::readsAsStructuredText()
{
    QFETCH(QString, file);
    PDFError error;
    const auto engine = PDFDocumentEngine::open(QFile::encodeName(m_dir.filePath(file)), &error);
    QVERIFY2(engine, qPrintable(error.message));
    fz_context *ctx = PDFEngineContext::current();
    QVERIFY(ctx);
    PDFGlyphCollector collector;
    for (int i = 0; i < engine->pageCount(); ++i) {
        std::lock_guard<std::mutex> lock(engine->mutex());
        fz_page *page = engine->loadPage(ctx, i, &error);
        QVERIFY(page);
        const Glyphs expected = structuredText(ctx, page, engine->geometry(i));
        Glyphs collected;
        const bool ok = collector.collect(ctx, nullptr, page, engine->geometry(i), nullptr, &collected, &error);
        fz_drop_page(ctx, page);
        QVERIFY(ok);
        QVERIFY(!expected.empty());
        QCOMPARE(describe(collected), describe(expected));
    }
}

// A find's private document looks glyphs up in a table by CID; every CID must give the glyph
// MuPDF's own lookups give in a document left as it was.
void tst_PDFTextSearch::preparedFontsFindTheSameGlyphs()
{
    PDFError error;
    const auto engine
        = PDFDocumentEngine::open(QFile::encodeName(m_dir.filePath(QStringLiteral("report.pdf"))), &error);
    QVERIFY2(engine, qPrintable(error.message));
    fz_context *ctx = PDFEngineContext::current();
    fz_document *own = engine->openPrivateDocument(ctx, &error);
    fz_page *page = PDFDocumentEngine::loadPage(ctx, own, 0, &error);
    fz_page *unprepared = engine->loadPage(ctx, 0, &error);
    QVERIFY(page && unprepared);
    PDFGlyphIdTables().prepare(ctx, page);
    auto cjkFont = [ctx](fz_page *page) {
        pdf_page *pdfPage = pdf_page_from_fz_page(ctx, page);
        pdf_obj *resources = pdf_page_resources(ctx, pdfPage);
        return pdf_load_font(ctx, pdfPage->doc, resources, pdf_dict_getp(ctx, resources, "Font/F2"));
    };
    pdf_font_desc *prepared = cjkFont(page);
    pdf_font_desc *original = cjkFont(unprepared);
    QVERIFY(prepared->cid_to_gid && !prepared->to_ttf_cmap && original->to_ttf_cmap);
    int differing = 0;
    for (int cid = 0; cid < 0x10000; ++cid)
        differing += pdf_font_cid_to_gid(ctx, prepared, cid) != pdf_font_cid_to_gid(ctx, original, cid);
    QCOMPARE(differing, 0);
    pdf_drop_font(ctx, prepared);
    pdf_drop_font(ctx, original);
    fz_drop_page(ctx, page);
    fz_drop_page(ctx, unprepared);
    PDFDocumentEngine::closePrivateDocument(ctx, own);
}

void tst_PDFTextSearch::matchesOverLinesAndWhiteSpace_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits");
    // Lines and hits separated by "|".
    const auto row = [](const char *name, const char *lines, const char *query, const char *hits) {
        QTest::newRow(name) << QString::fromUtf8(lines).split(u'|') << QString::fromUtf8(query)
                            << QString::fromUtf8(hits).split(u'|', Qt::SkipEmptyParts);
    };
    // Regression: a break between CJK characters was matched as a space, so a wrapped
    // Chinese phrase was never found.
    row("Chinese phrase wraps", "总平面图纸|目录", "图纸目录", "图纸目录");
    row("a space does not match a CJK break", "总平面|图", "平面 图", "");
    row("full-width punctuation wraps", "说明：|本图尺寸", "说明：本图", "说明：本图");
    row("Latin break is a space", "NORTH|GATE", "north gate", "NORTH GATE");
    row("Latin words do not join across a break", "NORTH|GATE", "northgate", "");
    row("CJK then Latin break is a space", "图号|A-101", "图号 a-101", "图号 A-101");
    row("white-space runs match one another", "A   101 B 101", "a \t 101", "A   101");
    row("ideographic space in the query", "总 平面", "总　平面", "总 平面");
    row("regex characters are literal", "A.*B AXB", ".*", ".*");
    row("hits do not overlap", "aaaaa", "aa", "aa|aa");
    row("query longer than the text", "ab", "abc", "");
    row("character beyond the BMP", "x𠀀Ay", "𠀀a", "𠀀A");
    row("blank query", "a b", " \n ", "");
}

void tst_PDFTextSearch::matchesOverLinesAndWhiteSpace()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    QStringList found;
    for (const PDFTextMatch::Hit &hit : PDFTextMatch::find(glyphs(lines), needle(query)))
        found.append(hit.text);
    QCOMPARE(found, hits);
}

QTEST_GUILESS_MAIN(tst_PDFTextSearch)
#include "tst_PDFTextSearch.moc"
