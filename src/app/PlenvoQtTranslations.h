#pragma once

#include <QString>

class QCoreApplication;

// Chinese for the strings Qt itself shows: file dialogs, standard buttons, line-edit
// context menus. Call once on the UI thread, after the application object exists and before
// any window is built.
namespace PlenvoQtTranslations {

// "qtbase_zh_CN" in Qt's translations directory (QLibraryInfo::TranslationsPath).
QString catalogueName();
QString directory();

// Makes zh_CN the default locale and installs Qt's own Chinese catalogue on `app` (which owns
// the translator). False when the catalogue is missing or unreadable; the locale is set
// regardless, and the program then speaks Qt's English in those places.
bool install(QCoreApplication *app);

} // namespace PlenvoQtTranslations
