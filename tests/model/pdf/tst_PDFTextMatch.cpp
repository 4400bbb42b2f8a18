#include "PDFTextMatch.h"

#include <QtTest>

namespace {

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

class tst_PDFTextMatch : public QObject {
    Q_OBJECT

private slots:
    void matchesOverLinesAndWhiteSpace_data();
    void matchesOverLinesAndWhiteSpace();
};

void tst_PDFTextMatch::matchesOverLinesAndWhiteSpace_data()
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

void tst_PDFTextMatch::matchesOverLinesAndWhiteSpace()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    QStringList found;
    for (const PDFTextMatch::Hit &hit : PDFTextMatch::find(glyphs(lines), needle(query)))
        found.append(hit.text);
    QCOMPARE(found, hits);
}

QTEST_GUILESS_MAIN(tst_PDFTextMatch)
#include "tst_PDFTextMatch.moc"
