#include "BlueprintPDFView.h"
#include "FakePlatformServices.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutDispatch.h"
#include "PDFViewerShortcutStore.h"
#include "TestPDFs.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Command = PDFViewerMenuCommands::Command;
using Action = PDFViewerShortcutAction;

namespace {

// A shown, active window with the menu bar over a model on a fake desktop, with the canvas
// as its content so pages lay out at a real size.
struct MenuFixture {
    MenuFixture()
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        , model(&settings, &platform)
        , store(&settings, PDFViewerShortcutStore::defaultStorageKey())
        , commands(new PDFViewerMenuCommands(&window, &model, &store))
    {
        window.setCentralWidget(model.pdfView());
        window.resize(900, 700);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    bool open(int pages)
    {
        const QString file = dir.filePath(QStringLiteral("set.pdf"));
        if (!TestPDFs::writePlain(file, pages))
            return false;
        model.open(QUrl::fromLocalFile(file));
        return model.pageCount() == pages;
    }
    void press(const QKeySequence &sequence)
    {
        const QKeyCombination chord = sequence[0];
        QTest::keyClick(&window, chord.key(), chord.keyboardModifiers());
    }
    QKeySequence defaultKey(Action action) const
    {
        return PDFViewerShortcutDispatch::keySequence(store.shortcut(action));
    }

    QTemporaryDir dir;
    QSettings settings;
    FakePlatformServices platform;
    PDFViewerModel model;
    PDFViewerShortcutStore store;
    QMainWindow window;
    PDFViewerMenuCommands *commands;
};

struct ModelState {
    int pageIndex;
    int zoom;
    bool presenting;
    QString status;
    int beeps;
    bool operator==(const ModelState &o) const
    {
        return pageIndex == o.pageIndex && zoom == o.zoom && presenting == o.presenting && status == o.status
            && beeps == o.beeps;
    }
};

ModelState stateOf(const MenuFixture &f)
{
    return {f.model.pageIndex(), f.model.zoomPercentage(), f.model.isPresentationMode(), f.model.statusText(),
        f.platform.beeps};
}

} // namespace

class tst_PDFViewerMenuCommands : public QObject {
    Q_OBJECT

private slots:
    void menusHoldTheItemsInOrder();
    void enabledStatesFollowTheDocument_data();
    void enabledStatesFollowTheDocument();
    void presentationItemTitleFollowsTheMode();
    void keysFollowTheStoreAtOnce();
    void keysWithoutADocumentDoNothing_data();
    void keysWithoutADocumentDoNothing();
    void keysReachTheirActionsWhileEnabled_data();
    void keysReachTheirActionsWhileEnabled();
    void disabledItemsRefuseDirectTriggers();
    void helpKeyOpensTheHelpPanel();
    void searchFocusesTheFieldBeforeSearching();
};

void tst_PDFViewerMenuCommands::menusHoldTheItemsInOrder()
{
    MenuFixture f;
    QStringList menus;
    for (QAction *menu : f.window.menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus,
        (QStringList {QStringLiteral("文件"), QStringLiteral("编辑"), QStringLiteral("图纸"), QStringLiteral("帮助")}));

    // Titles with separators (""), and the fixed keys of every menu.
    QStringList items;
    QStringList keys;
    for (QAction *menu : f.window.menuBar()->actions()) {
        for (QAction *item : menu->menu()->actions()) {
            items << item->text();
            keys << item->shortcut().toString(QKeySequence::PortableText);
        }
    }
    QCOMPARE(items,
        (QStringList {
            QStringLiteral("打开 PDF…"),
            QStringLiteral("关闭 PDF"),
            QString(),
            QStringLiteral("快捷键设置…"),
            QStringLiteral("退出"),
            QStringLiteral("搜索当前 PDF"),
            QStringLiteral("上一页"),
            QStringLiteral("下一页"),
            QString(),
            QStringLiteral("缩小"),
            QStringLiteral("放大"),
            QStringLiteral("100% 实际大小"),
            QStringLiteral("适合页面"),
            QString(),
            QStringLiteral("向左旋转 90°"),
            QStringLiteral("向右旋转 90°"),
            QStringLiteral("恢复原始方向"),
            QString(),
            QStringLiteral("进入投影"),
            QStringLiteral("帮助"),
            QStringLiteral("关于Plenvo"),
        }));
    QCOMPARE(keys.mid(0, 6),
        (QStringList {QStringLiteral("Ctrl+O"), QStringLiteral("Ctrl+Shift+W"), QString(), QStringLiteral("Ctrl+,"),
            QStringLiteral("Ctrl+Q"), QStringLiteral("Ctrl+F")}));
    QCOMPARE(keys.mid(19), (QStringList {QStringLiteral("Ctrl+Shift+/"), QString()}));
    for (Action action : Action::allCases()) {
        QCOMPARE(f.commands->action(action)->shortcut(), f.defaultKey(action));
        QCOMPARE(f.commands->action(action)->shortcutContext(), Qt::ApplicationShortcut);
    }
}

void tst_PDFViewerMenuCommands::enabledStatesFollowTheDocument_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<bool>("next");
    QTest::newRow("no document") << 0 << 0 << false << false;
    QTest::newRow("first of three") << 3 << 0 << false << true;
    QTest::newRow("middle of three") << 3 << 1 << true << true;
    QTest::newRow("last of three") << 3 << 2 << true << false;
    QTest::newRow("one page") << 1 << 0 << false << false;
}

void tst_PDFViewerMenuCommands::enabledStatesFollowTheDocument()
{
    QFETCH(int, pages);
    QFETCH(int, page);
    QFETCH(bool, previous);
    QFETCH(bool, next);
    MenuFixture f;
    if (pages > 0) {
        QVERIFY(f.open(pages));
        f.model.goToPage(page + 1);
        QTRY_COMPARE(f.model.pageIndex(), page);
    }
    const bool open = pages > 0;
    QCOMPARE(f.commands->action(Action::previousPage)->isEnabled(), previous);
    QCOMPARE(f.commands->action(Action::nextPage)->isEnabled(), next);
    for (Action action : Action::allCases()) {
        if (action != Action::previousPage && action != Action::nextPage)
            QVERIFY2(f.commands->action(action)->isEnabled() == open, qPrintable(action.rawValue()));
    }
    QCOMPARE(f.commands->action(Command::closePDF)->isEnabled(), open);
    QCOMPARE(f.commands->action(Command::searchPDF)->isEnabled(), open);
    for (Command always : {Command::openPDF, Command::shortcutSettings, Command::quit, Command::help, Command::about})
        QVERIFY(f.commands->action(always)->isEnabled());

    // Closing takes every document-bound item back to disabled.
    f.model.closeDocument();
    for (Action action : Action::allCases())
        QVERIFY(!f.commands->action(action)->isEnabled());
    QVERIFY(!f.commands->action(Command::closePDF)->isEnabled());
    QVERIFY(!f.commands->action(Command::searchPDF)->isEnabled());
}

void tst_PDFViewerMenuCommands::presentationItemTitleFollowsTheMode()
{
    MenuFixture f;
    QVERIFY(f.open(2));
    QAction *toggle = f.commands->action(Action::togglePresentation);
    QCOMPARE(toggle->text(), QStringLiteral("进入投影"));
    toggle->trigger();
    QVERIFY(f.model.isPresentationMode());
    QCOMPARE(toggle->text(), QStringLiteral("退出投影"));
    f.model.exitPresentationMode(false);
    QCOMPARE(toggle->text(), QStringLiteral("进入投影"));
}

void tst_PDFViewerMenuCommands::keysFollowTheStoreAtOnce()
{
    MenuFixture f;
    QVERIFY(f.open(2));
    const QKeySequence oldKey = f.defaultKey(Action::zoomIn);
    const PDFViewerShortcut rebound(PDFViewerShortcutKey(QStringLiteral("k")),
        PDFViewerShortcutModifiers::option | PDFViewerShortcutModifiers::shift);
    QVERIFY(!f.store.update(rebound, Action::zoomIn));
    QCOMPARE(f.commands->action(Action::zoomIn)->shortcut(), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));

    // The new key answers; the old one is free.
    const int before = f.model.zoomPercentage();
    f.press(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));
    QVERIFY(f.model.zoomPercentage() > before);
    const int after = f.model.zoomPercentage();
    f.press(oldKey);
    QCOMPARE(f.model.zoomPercentage(), after);

    f.store.resetAll();
    QCOMPARE(f.commands->action(Action::zoomIn)->shortcut(), oldKey);
}

void tst_PDFViewerMenuCommands::keysWithoutADocumentDoNothing_data()
{
    QTest::addColumn<Action>("action");
    for (Action action : Action::allCases())
        QTest::newRow(qPrintable(action.rawValue())) << action;
}

void tst_PDFViewerMenuCommands::keysWithoutADocumentDoNothing()
{
    QFETCH(Action, action);
    MenuFixture f;
    QSignalSpy triggered(f.commands->action(action), &QAction::triggered);
    const ModelState before = stateOf(f);
    f.press(f.defaultKey(action));
    QCOMPARE(triggered.count(), 0);
    QVERIFY(stateOf(f) == before);
}

void tst_PDFViewerMenuCommands::keysReachTheirActionsWhileEnabled_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("status"); // null: statusText stays as it was
    QTest::addColumn<bool>("presenting");
    QTest::newRow("next page") << Action(Action::nextPage) << 1 << QString() << false;
    QTest::newRow("actual size") << Action(Action::actualSize) << 0 << QStringLiteral("已恢复 100% 实际大小") << false;
    QTest::newRow("rotate right") << Action(Action::rotateRight) << 0 << QStringLiteral("当前页已向右旋转 90°")
                                  << false;
    QTest::newRow("presentation") << Action(Action::togglePresentation) << 0 << QStringLiteral("投影模式") << true;
}

void tst_PDFViewerMenuCommands::keysReachTheirActionsWhileEnabled()
{
    QFETCH(Action, action);
    QFETCH(int, pageIndex);
    QFETCH(QString, status);
    QFETCH(bool, presenting);
    MenuFixture f;
    QVERIFY(f.open(3));
    const QString statusBefore = f.model.statusText();
    f.press(f.defaultKey(action));
    QTRY_COMPARE(f.model.pageIndex(), pageIndex);
    QCOMPARE(f.model.statusText(), status.isNull() ? statusBefore : status);
    QCOMPARE(f.model.isPresentationMode(), presenting);
    QCOMPARE(f.platform.beeps, 0);
}

void tst_PDFViewerMenuCommands::disabledItemsRefuseDirectTriggers()
{
    MenuFixture f;
    QVERIFY(f.open(2));
    f.model.goToPage(2);
    QTRY_COMPARE(f.model.pageIndex(), 1);
    f.commands->action(Action::nextPage)->trigger();
    f.press(f.defaultKey(Action::nextPage));
    QCOMPARE(f.model.pageIndex(), 1);
    f.press(f.defaultKey(Action::previousPage));
    QTRY_COMPARE(f.model.pageIndex(), 0);
}

void tst_PDFViewerMenuCommands::helpKeyOpensTheHelpPanel()
{
    MenuFixture f;
    // Shift+/ is delivered with the slash key; the menu key is Ctrl+Shift+/.
    QTest::keyClick(&f.window, Qt::Key_Slash, Qt::ControlModifier | Qt::ShiftModifier);
    QMessageBox *help = nullptr;
    QTRY_VERIFY((help = f.window.findChild<QMessageBox *>()) && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("帮助"));
    QVERIFY(help->text().contains(QStringLiteral("放大　⌥=")));

    // Shown again, not duplicated.
    help->hide();
    f.commands->showHelp();
    QCOMPARE(f.window.findChildren<QMessageBox *>().size(), 1);
    QVERIFY(help->isVisible());
}

void tst_PDFViewerMenuCommands::searchFocusesTheFieldBeforeSearching()
{
    MenuFixture f;
    QVERIFY(f.open(3));
    f.model.setSearchText(QStringLiteral("Page 2"));
    bool searchedYet = true;
    connect(f.commands, &PDFViewerMenuCommands::searchRequested, this,
        [&]() { searchedYet = f.model.isSearching() || f.model.searchResultCount() > 0; });
    f.press(QKeySequence(Qt::CTRL | Qt::Key_F));
    QVERIFY(!searchedYet);
    QTRY_COMPARE(f.model.searchResultCount(), 1);
}

QTEST_MAIN(tst_PDFViewerMenuCommands)
#include "tst_PDFViewerMenuCommands.moc"
