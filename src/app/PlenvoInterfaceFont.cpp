#include "PlenvoInterfaceFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

namespace {

QStringList preferredFamilies()
{
    // Source Han Sans under its Noto name first (Debian: fonts-noto-cjk), then the same
    // design under its own names, then the older WenQuanYi faces.
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
        QStringLiteral("Source Han Sans CN"), QStringLiteral("Noto Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("WenQuanYi Zen Hei")};
}

} // namespace

namespace PlenvoInterfaceFont {

QString chosenFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : preferredFamilies()) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return {};
}

bool install()
{
    const QString family = chosenFamily();
    if (family.isEmpty())
        return false;
    QFont font = QGuiApplication::font();
    font.setFamilies({family});
    QGuiApplication::setFont(font);
    return true;
}

} // namespace PlenvoInterfaceFont
