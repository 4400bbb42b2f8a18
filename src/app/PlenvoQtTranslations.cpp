#include "PlenvoQtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace PlenvoQtTranslations {

QString catalogueName()
{
    return QStringLiteral("qtbase_zh_CN");
}

QString directory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool install(QCoreApplication *app)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *translator = new QTranslator(app);
    if (!translator->load(catalogueName(), directory())) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace PlenvoQtTranslations
