#pragma once

#include "PDFViewerShortcutAction.h"

#include <QObject>

#include <array>

class PDFViewerModel;
class PDFViewerShortcut;
class PDFViewerShortcutStore;
class QAction;
class QMainWindow;
class QMenu;

// The viewer window's menu bar: 文件, 编辑, 图纸 and 帮助. Every item calls the model, the
// canvas or a presenter; titles, enabled states and the 图纸 items' keys follow the model and
// the shortcut store the moment they change.
//
// An item with a key names it after a tab in its text, as PDFViewerShortcut::displayText()
// writes it, so the menu shows that rather than Qt's own translated key names; iconText() is
// the plain title. The fixed keys come from PDFViewerFixedShortcuts.
//
// The ten 图纸 items are the only bindings of the customisable actions. Their shortcuts are
// application-wide, and the actions are also added to the window itself so their keys keep
// working while the menu bar is hidden (full screen). A disabled item never triggers.
//
// Owned by the window it is built on (its QObject parent). The model and the store must
// outlive it. UI thread only.
class PDFViewerMenuCommands : public QObject {
    Q_OBJECT

public:
    enum class Command {
        openPDF,
        closePDF,
        shortcutSettings,
        quit,
        searchPDF,
        help,
        about,
        count,
    };

    PDFViewerMenuCommands(QMainWindow *window, PDFViewerModel *model, PDFViewerShortcutStore *shortcuts);

    QAction *action(Command command) const { return m_commands[size_t(command)]; }
    QAction *action(PDFViewerShortcutAction action) const { return m_viewerActions[size_t(action)]; }
    // The 图纸 menu, for the blocks others append at its end.
    QMenu *drawingMenu() const { return m_drawing; }

signals:
    // "快捷键设置…" was chosen; the application's settings presenter answers it.
    void shortcutSettingsRequested();
    // "帮助" was chosen, or the status bar's help button pressed (the window passes that on);
    // the application's help presenter answers it.
    void helpRequested();
    // "搜索当前 PDF" was chosen: emitted just before the model's search runs, so the window can
    // put the focus in its search field first.
    void searchRequested();

private:
    QAction *addCommand(Command command, QMenu *menu, const QString &title);
    QAction *addCommand(Command command, QMenu *menu, const QString &title, const PDFViewerShortcut &shortcut);
    void addViewerAction(PDFViewerShortcutAction action, QMenu *menu, const QString &title);
    void search();
    void updateShortcuts();
    void updateStates();

    QMainWindow *m_window;
    PDFViewerModel *m_model;
    PDFViewerShortcutStore *m_shortcuts;
    QMenu *m_drawing = nullptr;
    std::array<QAction *, size_t(Command::count)> m_commands {};
    std::array<QAction *, 10> m_viewerActions {};
};
