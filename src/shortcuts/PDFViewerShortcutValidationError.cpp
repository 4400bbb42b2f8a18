#include "PDFViewerShortcutValidationError.h"

QString PDFViewerShortcutValidationError::errorDescription() const
{
    switch (m_kind) {
    case Kind::duplicate:
        return QStringLiteral("这个组合已经用于“") + m_action.displayName() + QStringLiteral("”。");
    case Kind::unsupportedKey:
        return QStringLiteral("这个按键暂不支持，请使用字母、数字、常用符号、方向键或 F1–F12。");
    case Kind::unsupportedModifier:
        return QStringLiteral("这个修饰键组合暂不支持。");
    case Kind::missingPrimaryModifier:
        return QStringLiteral("请至少按住 Ctrl、Alt 或 Super 中的一个，避免影响正常输入。");
    case Kind::reserved:
        return QStringLiteral("这个组合已被应用或系统常用功能占用。");
    }
    Q_UNREACHABLE();
    return QString();
}
