#include "ChineseReport.h"

#include "BlueprintSheet.h"
#include "SheetDrawing.h"

#include "PDFDocumentBuilder.h"

#include <iterator>

using namespace SheetDrawing;

namespace {

constexpr double kFontSize = 11;
constexpr int kCharsPerLine = 40;
constexpr int kLinesPerPage = 46;
constexpr double kLeft = 77;
constexpr double kTop = 770;
constexpr double kLeading = 15;

// Sentences are a subject, a verb phrase and an object, with now and then a clause added.
const QString kSubjects[] = {QStringLiteral("本工程"), QStringLiteral("施工单位"), QStringLiteral("设计人员"),
    QStringLiteral("监理工程师"), QStringLiteral("项目经理部"), QStringLiteral("建设单位"), QStringLiteral("结构专业"),
    QStringLiteral("质量检查小组")};
const QString kVerbs[] = {QStringLiteral("应当严格按照"), QStringLiteral("需要认真核对"), QStringLiteral("必须及时完成"),
    QStringLiteral("负责组织落实"), QStringLiteral("已经全面检查了"), QStringLiteral("将会重新审查")};
const QString kObjects[] = {QStringLiteral("工程质量验收标准"), QStringLiteral("施工图纸中的各项要求"),
    QStringLiteral("现场安全管理制度"), QStringLiteral("混凝土浇筑与养护工作"), QStringLiteral("钢筋隐蔽工程记录"),
    QStringLiteral("设备安装调试方案"), QStringLiteral("屋面防水层的施工顺序"), QStringLiteral("地基基础的沉降观测数据")};
const QString kClauses[] = {QStringLiteral("，并在每周例会上汇报进度"), QStringLiteral("，确保整个工程按期交付"),
    QStringLiteral("，发现问题应立即整改"), QStringLiteral("，相关资料须归档保存")};

template<typename T, size_t N> const T &pick(Rng &rng, const T (&items)[N])
{
    return items[rng.below(int(N))];
}

// Prose of at least `length` characters, one sentence after another.
QString prose(Rng &rng, int length)
{
    QString text;
    while (text.size() < length) {
        text += pick(rng, kSubjects) + pick(rng, kVerbs) + pick(rng, kObjects);
        if (rng.below(2) == 0)
            text += pick(rng, kClauses);
        text += QStringLiteral("。");
    }
    return text;
}

QByteArray pageContent(const QString &text, int pageNumber)
{
    Pen pen(1 << 14);
    pen.beginText("F2", kFontSize);
    for (int line = 0; line < kLinesPerPage; ++line)
        pen.textAt(kLeft, kTop - line * kLeading, cjk(text.mid(line * kCharsPerLine, kCharsPerLine)));
    pen.setFont("F1", 9);
    pen.textAt(290, 40, latin(QString::number(pageNumber)));
    pen.endText();
    return pen.take();
}

} // namespace

namespace ChineseReport {

bool write(const QString &path, int pages, QString *error)
{
    Rng rng(0xC4u);
    QVector<PDFDocumentBuilder::Page> sheets;
    for (int i = 0; i < pages; ++i) {
        const QString text = prose(rng, kCharsPerLine * kLinesPerPage);
        sheets.append(PDFDocumentBuilder::Page {QSizeF(595, 842), 0, pageContent(text, i + 1), {}, -1});
    }
    return BlueprintSheet::writePages(path, sheets, error);
}

} // namespace ChineseReport
