#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class PDFViewerShortcutStore;
class QAbstractButton;
class QPushButton;

// The help window's content, 720 × 535: the help card (720 × 480, live with the store), a
// hairline, and a 54-pixel button bar: "自定义快捷键…", the copy button, then at the far end
// "打开官网" and "关闭".
//
// The popover never closes or opens windows itself; it asks through dismissRequested() (关闭,
// Escape anywhere in its window, and before leaving for the settings or the website) and
// shortcutSettingsRequested(), which always follows a dismissRequested().
//
// The copy button renders a fresh card at twice the logical size onto the clipboard and says
// how that went ("已复制 ✓" or "复制失败") until it is pressed again; the popover keeps that
// while its window is hidden. Every button's accessible name is its title.
//
// UI thread only; the store must outlive the popover.
class PDFViewerShortcutHelpPopover : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize fixedSize {720, 535};

    // Hands a web address to the desktop; QDesktopServices::openUrl unless replaced.
    using URLOpener = std::function<void(const QUrl &)>;

    explicit PDFViewerShortcutHelpPopover(
        PDFViewerShortcutStore *shortcuts, URLOpener openURL = {}, QWidget *parent = nullptr);

    // https://plenvo.org/pdf/
    static QUrl websiteURL();

    QPushButton *copyButton() const { return m_copy; }

signals:
    void dismissRequested();
    void shortcutSettingsRequested();

private:
    QWidget *makeButtonBar();
    void copyImage();
    void openWebsite();
    void customizeShortcuts();

    PDFViewerShortcutStore *m_shortcuts;
    URLOpener m_openURL;
    QPushButton *m_copy = nullptr;
};
