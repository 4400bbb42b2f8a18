#include "PDFViewerMenuCommands.h"

#include "AboutPanelPresenter.h"
#include "PDFViewerCommands.h"
#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutDispatch.h"
#include "PDFViewerShortcutStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// `title`, then a tab and the key: QMenu shows the part after the tab in its key column instead
// of naming the bound sequence in Qt's own translated words ("Alt+上方向"). iconText() keeps
// the plain title.
void setTitle(QAction *item, const QString &title, const PDFViewerShortcut &shortcut)
{
    item->setIconText(title);
    item->setText(title + QLatin1Char('\t') + shortcut.displayText());
}

} // namespace

PDFViewerMenuCommands::PDFViewerMenuCommands(
    QMainWindow *window, PDFViewerModel *model, PDFViewerShortcutStore *shortcuts)
    : QObject(window)
    , m_window(window)
    , m_model(model)
    , m_shortcuts(shortcuts)
{
    QMenuBar *bar = window->menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("文件"));
    connect(addCommand(Command::openPDF, file, QStringLiteral("打开 PDF…"), PDFViewerFixedShortcuts::openPDF()),
        &QAction::triggered, model, &PDFViewerModel::choosePDF);
    connect(addCommand(Command::closePDF, file, QStringLiteral("关闭 PDF"), PDFViewerFixedShortcuts::closePDF()),
        &QAction::triggered, model, &PDFViewerModel::closeDocument);
    file->addSeparator();
    connect(addCommand(Command::shortcutSettings, file, QStringLiteral("快捷键设置…"),
                PDFViewerFixedShortcuts::shortcutSettings()),
        &QAction::triggered, this, &PDFViewerMenuCommands::shortcutSettingsRequested);
    QAction *quit = addCommand(Command::quit, file, QStringLiteral("退出"), PDFViewerFixedShortcuts::quit());
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    QMenu *edit = bar->addMenu(QStringLiteral("编辑"));
    connect(addCommand(Command::searchPDF, edit, QStringLiteral("搜索当前 PDF"), PDFViewerFixedShortcuts::searchPDF()),
        &QAction::triggered, this, &PDFViewerMenuCommands::search);

    QMenu *drawing = m_drawing = bar->addMenu(QStringLiteral("图纸"));
    addViewerAction(PDFViewerShortcutAction::previousPage, drawing, QStringLiteral("上一页"));
    addViewerAction(PDFViewerShortcutAction::nextPage, drawing, QStringLiteral("下一页"));
    drawing->addSeparator();
    addViewerAction(PDFViewerShortcutAction::zoomOut, drawing, QStringLiteral("缩小"));
    addViewerAction(PDFViewerShortcutAction::zoomIn, drawing, QStringLiteral("放大"));
    addViewerAction(PDFViewerShortcutAction::actualSize, drawing, QStringLiteral("100% 实际大小"));
    addViewerAction(PDFViewerShortcutAction::fitPage, drawing, QStringLiteral("适合页面"));
    drawing->addSeparator();
    addViewerAction(PDFViewerShortcutAction::rotateLeft, drawing, QStringLiteral("向左旋转 90°"));
    addViewerAction(PDFViewerShortcutAction::rotateRight, drawing, QStringLiteral("向右旋转 90°"));
    addViewerAction(PDFViewerShortcutAction::resetRotation, drawing, QStringLiteral("恢复原始方向"));
    drawing->addSeparator();
    addViewerAction(PDFViewerShortcutAction::togglePresentation, drawing, QStringLiteral("进入投影"));

    QMenu *help = bar->addMenu(QStringLiteral("帮助"));
    // One binding only: the desktop's key mapper also offers Ctrl+Shift+/ as Ctrl+?, and a
    // second binding of the same action would make the press ambiguous, so neither would fire.
    connect(addCommand(Command::help, help, QStringLiteral("帮助"), PDFViewerFixedShortcuts::help()),
        &QAction::triggered, this, &PDFViewerMenuCommands::helpRequested);
    QAction *about = addCommand(Command::about, help, QStringLiteral("关于Plenvo"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, [this]() { AboutPanelPresenter::show(m_window); });

    connect(shortcuts, &PDFViewerShortcutStore::configurationChanged, this, &PDFViewerMenuCommands::updateShortcuts);
    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerMenuCommands::updateStates);
    connect(model, &PDFViewerModel::pageIndexChanged, this, &PDFViewerMenuCommands::updateStates);
    connect(model, &PDFViewerModel::isPresentationModeChanged, this, &PDFViewerMenuCommands::updateStates);
    updateShortcuts();
    updateStates();
}

QAction *PDFViewerMenuCommands::addCommand(Command command, QMenu *menu, const QString &title)
{
    QAction *action = menu->addAction(title);
    // Like the drawing keys, the application's own keys work from its other windows too.
    action->setShortcutContext(Qt::ApplicationShortcut);
    m_window->addAction(action);
    m_commands[size_t(command)] = action;
    return action;
}

QAction *PDFViewerMenuCommands::addCommand(
    Command command, QMenu *menu, const QString &title, const PDFViewerShortcut &shortcut)
{
    QAction *action = addCommand(command, menu, title);
    action->setShortcut(PDFViewerShortcutDispatch::keySequence(shortcut));
    setTitle(action, title, shortcut);
    return action;
}

void PDFViewerMenuCommands::addViewerAction(PDFViewerShortcutAction action, QMenu *menu, const QString &title)
{
    QAction *item = menu->addAction(title);
    item->setIconText(title); // updateShortcuts() adds the key to the text
    item->setObjectName(QStringLiteral("pdf-menu-") + action.rawValue());
    item->setShortcutContext(Qt::ApplicationShortcut);
    m_window->addAction(item);
    // A disabled item never triggers, so the command runs only while its rule allows it.
    connect(item, &QAction::triggered, this, [this, action]() { PDFViewerCommands::perform(*m_model, action); });
    m_viewerActions[size_t(action)] = item;
}

void PDFViewerMenuCommands::search()
{
    emit searchRequested();
    m_model->performSearch();
}

void PDFViewerMenuCommands::updateShortcuts()
{
    for (PDFViewerShortcutAction action : PDFViewerShortcutAction::allCases()) {
        QAction *item = m_viewerActions[size_t(action)];
        const PDFViewerShortcut shortcut = m_shortcuts->shortcut(action);
        item->setShortcut(PDFViewerShortcutDispatch::keySequence(shortcut));
        setTitle(item, item->iconText(), shortcut);
    }
}

void PDFViewerMenuCommands::updateStates()
{
    const bool open = m_model->pageCount() > 0;
    action(Command::closePDF)->setEnabled(open);
    action(Command::searchPDF)->setEnabled(open);
    for (PDFViewerShortcutAction a : PDFViewerShortcutAction::allCases())
        action(a)->setEnabled(PDFViewerCommands::isEnabled(*m_model, a));
    setTitle(action(PDFViewerShortcutAction::togglePresentation),
        m_model->isPresentationMode() ? QStringLiteral("退出投影") : QStringLiteral("进入投影"),
        m_shortcuts->shortcut(PDFViewerShortcutAction::togglePresentation));
}
