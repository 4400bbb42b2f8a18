#include "PDFViewerShortcutAction.h"

const std::array<PDFViewerShortcutAction, 10> &PDFViewerShortcutAction::allCases()
{
    static const std::array<PDFViewerShortcutAction, 10> cases = {
        previousPage,
        nextPage,
        zoomOut,
        zoomIn,
        actualSize,
        fitPage,
        rotateLeft,
        rotateRight,
        resetRotation,
        togglePresentation,
    };
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
    switch (m_value) {
    case previousPage:
        return QStringLiteral("previousPage");
    case nextPage:
        return QStringLiteral("nextPage");
    case zoomOut:
        return QStringLiteral("zoomOut");
    case zoomIn:
        return QStringLiteral("zoomIn");
    case actualSize:
        return QStringLiteral("actualSize");
    case fitPage:
        return QStringLiteral("fitPage");
    case rotateLeft:
        return QStringLiteral("rotateLeft");
    case rotateRight:
        return QStringLiteral("rotateRight");
    case resetRotation:
        return QStringLiteral("resetRotation");
    case togglePresentation:
        return QStringLiteral("togglePresentation");
    }
    Q_UNREACHABLE();
    return QString();
}

QString PDFViewerShortcutAction::displayName() const
{
    switch (m_value) {
    case previousPage:
        return QStringLiteral("上一页");
    case nextPage:
        return QStringLiteral("下一页");
    case zoomOut:
        return QStringLiteral("缩小");
    case zoomIn:
        return QStringLiteral("放大");
    case actualSize:
        return QStringLiteral("100% 实际大小");
    case fitPage:
        return QStringLiteral("适合页面");
    case rotateLeft:
        return QStringLiteral("向左旋转");
    case rotateRight:
        return QStringLiteral("向右旋转");
    case resetRotation:
        return QStringLiteral("恢复原始方向");
    case togglePresentation:
        return QStringLiteral("进入 / 退出投影");
    }
    Q_UNREACHABLE();
    return QString();
}
