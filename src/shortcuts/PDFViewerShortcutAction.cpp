#include "PDFViewerShortcutAction.h"

#include <utility>

namespace {

// Stored name and shown title, indexed by Value; the stored names never change.
struct Names {
    const char *raw;
    const char *title;
};
constexpr Names names[] = {
    {"previousPage", "上一页"},
    {"nextPage", "下一页"},
    {"zoomOut", "缩小"},
    {"zoomIn", "放大"},
    {"actualSize", "100% 实际大小"},
    {"fitPage", "适合页面"},
    {"rotateLeft", "向左旋转"},
    {"rotateRight", "向右旋转"},
    {"resetRotation", "恢复原始方向"},
    {"togglePresentation", "进入 / 退出投影"},
};

// The values are declared in order from 0.
template<std::size_t... I>
std::array<PDFViewerShortcutAction, sizeof...(I)> inDeclarationOrder(std::index_sequence<I...>)
{
    return {PDFViewerShortcutAction(PDFViewerShortcutAction::Value(I))...};
}

} // namespace

const std::array<PDFViewerShortcutAction, 10> &PDFViewerShortcutAction::allCases()
{
    static_assert(std::size(names) == 10);
    static const std::array<PDFViewerShortcutAction, 10> cases = inDeclarationOrder(std::make_index_sequence<10>());
    return cases;
}

std::optional<PDFViewerShortcutAction> PDFViewerShortcutAction::fromRawValue(QStringView rawValue)
{
    for (PDFViewerShortcutAction action : allCases()) {
        if (rawValue == action.rawValue())
            return action;
    }
    return std::nullopt;
}

QString PDFViewerShortcutAction::rawValue() const
{
    return QString::fromLatin1(names[m_value].raw);
}

QString PDFViewerShortcutAction::displayName() const
{
    return QString::fromUtf8(names[m_value].title);
}
