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
    void hitHasOneRectanglePerLine();
};

void tst_PDFTextMatch::matchesOverLinesAndWhiteSpace_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits");
    const auto lines = [](std::initializer_list<const char *> texts) {
        QStringList result;
        for (const char *text : texts)
            result.append(QString::fromUtf8(text));
        return result;
    };

    // Regression: a break between CJK characters was matched as a space, so a wrapped
    // Chinese phrase was never found.
    QTest::newRow("Chinese phrase wraps")
        << lines({"总平面图纸", "目录"}) << QStringLiteral("图纸目录") << QStringList {QStringLiteral("图纸目录")};
    QTest::newRow("a space does not match a CJK break")
        << lines({"总平面", "图"}) << QStringLiteral("平面 图") << QStringList {};
    QTest::newRow("full-width punctuation wraps")
        << lines({"说明：", "本图尺寸"}) << QStringLiteral("说明：本图") << QStringList {QStringLiteral("说明：本图")};
    QTest::newRow("Latin break is a space")
        << lines({"NORTH", "GATE"}) << QStringLiteral("north gate") << QStringList {QStringLiteral("NORTH GATE")};
    QTest::newRow("Latin words do not join across a break")
        << lines({"NORTH", "GATE"}) << QStringLiteral("northgate") << QStringList {};
    QTest::newRow("CJK then Latin break is a space")
        << lines({"图号", "A-101"}) << QStringLiteral("图号 a-101") << QStringList {QStringLiteral("图号 A-101")};
    QTest::newRow("white-space runs match one another")
        << lines({"A   101 B 101"}) << QStringLiteral("a \t 101") << QStringList {QStringLiteral("A   101")};
    QTest::newRow("ideographic space in the query")
        << lines({"总 平面"}) << QStringLiteral("总　平面") << QStringList {QStringLiteral("总 平面")};
    QTest::newRow("trailing space takes one")
        << lines({"图  立"}) << QStringLiteral("图 ") << QStringList {QStringLiteral("图 ")};
    QTest::newRow("regex characters are literal")
        << lines({"A.*B [x] a+b"}) << QStringLiteral(".*") << QStringList {QStringLiteral(".*")};
    QTest::newRow("a dot is no wildcard") << lines({"AXB"}) << QStringLiteral("a.b") << QStringList {};
    QTest::newRow("hits do not overlap") << lines({"aaaaa"}) << QStringLiteral("aa")
                                         << QStringList {QStringLiteral("aa"), QStringLiteral("aa")};
    QTest::newRow("query longer than the text") << lines({"ab"}) << QStringLiteral("abc") << QStringList {};
    QTest::newRow("character beyond the BMP")
        << lines({"x𠀀Ay"}) << QStringLiteral("𠀀a") << QStringList {QStringLiteral("𠀀A")};
    QTest::newRow("blank query") << lines({"a b"}) << QStringLiteral(" \n ") << QStringList {};
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

void tst_PDFTextMatch::hitHasOneRectanglePerLine()
{
    const auto hits = PDFTextMatch::find(
        glyphs({QStringLiteral("总平面图纸"), QStringLiteral("目录")}), needle(QStringLiteral("图纸目")));
    QCOMPARE(hits.size(), size_t(1));
    QCOMPARE(hits[0].rects, (QVector<QRectF> {QRectF(30, 0, 20, 12), QRectF(0, 20, 10, 12)}));
}

QTEST_GUILESS_MAIN(tst_PDFTextMatch)
#include "tst_PDFTextMatch.moc"
