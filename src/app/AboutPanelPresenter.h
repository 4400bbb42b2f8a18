#pragma once

#include <QString>
#include <QUrl>

class QPalette;
class QWidget;

// The About panel: the application's name and icon, its version and build, the credits and a
// link to the maker's home page. The panel is created on first request, kept while its parent
// lives, and raised again on later requests; it is modeless. UI thread only.
namespace AboutPanelPresenter {

struct Texts {
    QString applicationName;
    // The short version, or "开发版" when the application has none.
    QString applicationVersion;
    // "版本 " + short version + "（" + build + "）", the build "—" when there is none.
    QString version;
    // Rich text for a QLabel: two 12 px lines in the secondary text colour, an empty line,
    // then (only when the home page address is valid) an underlined link line in the link
    // colour whose anchor is that address.
    QString credits;
};

// The address the credits link to.
QUrl homePage();
// The application's short version (QCoreApplication::applicationVersion()) and the build
// number the program was compiled with; either may be empty.
QString shortVersion();
QString buildNumber();

// Pure: the panel's texts from the given inputs. Empty versions take their fallbacks; colours
// come from `palette`.
Texts texts(const QString &shortVersion, const QString &buildNumber, const QPalette &palette,
    const QUrl &homePage = AboutPanelPresenter::homePage());

// Shows the panel for the running application, over `parent` when given. Returns the panel.
QWidget *show(QWidget *parent = nullptr);

} // namespace AboutPanelPresenter
