#include "PDFFileURL.h"
#include "PDFViewerMainWindow.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerOpenRequest.h"
#include "PDFViewerRootView.h"
#include "PDFViewerShortcutHelpPresenter.h"
#include "PDFViewerShortcutStore.h"
#include "PlenvoPDFApp.h"
#include "PlenvoPDFAppDelegate.h"
#include "TestPDFs.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// An application over settings in a temporary folder, with its own open request and shortcut
// store; start() builds it, so a request can be made before the window exists.
struct AppFixture {
    QTemporaryDir dir;
    PDFViewerOpenRequest request;
    QSettings shortcutSettings {dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat};
    PDFViewerShortcutStore shortcuts {&shortcutSettings, PDFViewerShortcutStore::defaultStorageKey()};
    std::unique_ptr<PlenvoPDFApp> app;

    PlenvoPDFApp &start()
    {
        app = std::make_unique<PlenvoPDFApp>(
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat), &request,
            &shortcuts);
        return *app;
    }
};

using Action = PDFViewerShortcutAction;

// The item titled `title` (its plain title, without the key) in any menu of the window's bar.
QAction *menuItem(const PDFViewerMainWindow *window, const QString &title)
{
    for (const QAction *menu : window->menuBar()->actions()) {
        for (QAction *item : menu->menu()->actions()) {
            if (item->iconText() == title)
                return item;
        }
    }
    return nullptr;
}

// Every text the running application shows at `place` that could name a key:
// "menu:<title>" the item's text (its key after a tab, as the menu shows it) and its accessible
// name; "tip:<object name>" a widget's tooltip; "text:<object name>" a label's text; "message"
// the refusal of a combination without Ctrl, Alt or Super.
QStringList shownAt(AppFixture &f, const QString &place)
{
    PDFViewerMainWindow *window = f.app->window();
    if (place.startsWith(QLatin1String("menu:"))) {
        QAction *item = menuItem(window, place.mid(5));
        if (!item)
            return {};
        QMenu *menu = qobject_cast<QMenu *>(item->parent());
        QAccessibleInterface *accessible
            = QAccessible::queryAccessibleInterface(menu)->child(int(menu->actions().indexOf(item)));
        return {item->text(), accessible ? accessible->text(QAccessible::Name) : QString()};
    }
    if (place.startsWith(QLatin1String("tip:"))) {
        const QWidget *widget = window->findChild<QWidget *>(place.mid(4));
        return {widget ? widget->toolTip() : QString()};
    }
    if (place.startsWith(QLatin1String("text:"))) {
        const QLabel *label = window->findChild<QLabel *>(place.mid(5));
        return {label ? label->text() : QString()};
    }
    if (place == QLatin1String("message")) {
        const PDFViewerShortcut shiftA(PDFViewerShortcutKey(QStringLiteral("a")), PDFViewerShortcutModifiers::shift);
        const std::optional<PDFViewerShortcutValidationError> refusal = f.shortcuts.update(shiftA, Action::zoomOut);
        return {refusal ? refusal->errorDescription() : QString()};
    }
    return {};
}

} // namespace

class tst_PlenvoPDFApp : public QObject {
    Q_OBJECT

private slots:
    void delegateTakesTheFirstPDF_data();
    void delegateTakesTheFirstPDF();
    void windowOpensHandedOverFilesAndFollowsTheTitle();
    void requestMadeBeforeTheWindowWaitsForIt();
    void argumentsAreResolvedAgainstTheLaunchDirectory();
    void windowHostsTheRootViewAndItsCommands();
    void everyPlaceNamesKeysAlike_data();
    void everyPlaceNamesKeysAlike();
    void windowGeometrySurvivesRestarts();
    void fullScreenAndMaximisedKeepTheNormalGeometry_data();
    void fullScreenAndMaximisedKeepTheNormalGeometry();
};

void tst_PlenvoPDFApp::delegateTakesTheFirstPDF_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QUrl>("expected");
    const QUrl txt = QUrl::fromLocalFile(QStringLiteral("/d/notes.txt"));
    const QUrl pdf = QUrl::fromLocalFile(QStringLiteral("/d/plan.pdf"));
    const QUrl upper = QUrl::fromLocalFile(QStringLiteral("/d/PLAN.PDF"));
    const QUrl png = QUrl::fromLocalFile(QStringLiteral("/d/plan.pdf.png"));
    const QUrl web = QUrl(QStringLiteral("https://example.org/plan.pdf"));
    QTest::newRow("second of three") << QList<QUrl> {txt, pdf, upper} << pdf;
    QTest::newRow("upper-case extension") << QList<QUrl> {upper} << upper;
    QTest::newRow("pdf earlier in the name") << QList<QUrl> {png} << QUrl();
    QTest::newRow("not a file URL") << QList<QUrl> {web, txt} << QUrl();
    QTest::newRow("nothing") << QList<QUrl> {} << QUrl();
}

void tst_PlenvoPDFApp::delegateTakesTheFirstPDF()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QUrl, expected);
    PDFViewerOpenRequest request;
    QSignalSpy changed(&request, &PDFViewerOpenRequest::urlChanged);
    PlenvoPDFAppDelegate(&request).application(urls);
    QCOMPARE(request.url(), expected);
    QCOMPARE(changed.count(), expected.isEmpty() ? 0 : 1);
}

void tst_PlenvoPDFApp::windowOpensHandedOverFilesAndFollowsTheTitle()
{
    AppFixture f;
    const QString file = f.dir.filePath(QStringLiteral("A-101 总平面.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 2));
    PDFViewerOpenRequest &request = f.request;
    PlenvoPDFApp &app = f.start();
    PDFViewerMainWindow *window = app.window();
    QCOMPARE(window->objectName(), QStringLiteral("pdf-viewer-main"));
    QCOMPARE(window->size(), QSize(1080, 760));
    QCOMPARE(window->windowTitle(), QStringLiteral("Plenvo"));

    request.setUrl(QUrl::fromLocalFile(file));
    QCOMPARE(app.model()->pageCount(), 2);
    QCOMPARE(window->windowTitle(), QStringLiteral("A-101 总平面"));
    QVERIFY(request.url().isEmpty()); // taken

    app.model()->closeDocument();
    QCOMPARE(window->windowTitle(), QStringLiteral("Plenvo"));
}

void tst_PlenvoPDFApp::requestMadeBeforeTheWindowWaitsForIt()
{
    AppFixture f;
    const QString file = f.dir.filePath(QStringLiteral("early.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 1));
    f.request.setUrl(QUrl::fromLocalFile(file));
    QCOMPARE(f.start().model()->documentTitle(), QStringLiteral("early"));
    QVERIFY(f.request.url().isEmpty());
}

void tst_PlenvoPDFApp::argumentsAreResolvedAgainstTheLaunchDirectory()
{
    AppFixture f;
    const QTemporaryDir &dir = f.dir;
    QVERIFY(TestPDFs::writePlain(dir.filePath(QStringLiteral("rel.pdf")), 1));
    PlenvoPDFApp &app = f.start();
    app.handleArguments(
        {QByteArrayLiteral("--verbose"), QByteArrayLiteral("notes.txt"), QByteArrayLiteral("./rel.pdf")},
        QFile::encodeName(dir.path()));
    QCOMPARE(app.model()->documentTitle(), QStringLiteral("rel"));
    QCOMPARE(
        PDFFileURL::nativePath(app.model()->fileURL()), QFile::encodeName(dir.filePath(QStringLiteral("rel.pdf"))));
}

void tst_PlenvoPDFApp::windowHostsTheRootViewAndItsCommands()
{
    AppFixture f;
    const QString file = f.dir.filePath(QStringLiteral("plan.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 2, QSizeF(595, 842), {QStringLiteral("north"), QStringLiteral("south")}));
    PDFViewerOpenRequest &request = f.request;
    PlenvoPDFApp &app = f.start();
    PDFViewerMainWindow *window = app.window();
    QCOMPARE(window->centralWidget(), window->rootView());
    const QSize minimum = window->minimumSizeHint();
    QVERIFY(minimum.width() >= 920 && minimum.height() >= 620);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // The status bar's help button and the menu item open the same window.
    emit window->rootView()->helpRequested();
    QWidget *help = app.shortcutHelp()->window();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("帮助"));
    help->close();
    window->menuCommands()->action(PDFViewerMenuCommands::Command::help)->trigger();
    QCOMPARE(app.shortcutHelp()->window(), help);
    QVERIFY(help->isVisible());
    help->close();

    // The search command puts the focus in the search field, then searches its text.
    request.setUrl(QUrl::fromLocalFile(file));
    QCOMPARE(app.model()->pageCount(), 2);
    window->activateWindow();
    app.model()->setSearchText(QStringLiteral("south"));
    window->menuCommands()->action(PDFViewerMenuCommands::Command::searchPDF)->trigger();
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("pdf-search-field"));
    QTRY_COMPARE(app.model()->searchResultCount(), 1);

    // Presenting hides the menu bar; its keys stay bound to the window.
    app.model()->enterPresentationMode(false);
    QVERIFY(window->menuBar()->isHidden());
    QVERIFY(window->actions().contains(window->menuCommands()->action(PDFViewerShortcutAction::togglePresentation)));
    app.model()->exitPresentationMode(false);
    QVERIFY(!window->menuBar()->isHidden());
}

void tst_PlenvoPDFApp::everyPlaceNamesKeysAlike_data()
{
    QTest::addColumn<QString>("place"); // see shownAt()
    QTest::addColumn<Action>("rebound"); // bound to Ctrl+1 between the two readings
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const auto row = [](const QString &place, Action rebound, const QString &before, const QString &after) {
        QTest::newRow(qPrintable(place)) << place << rebound << before << after;
    };
    const auto u = [](const char *text) { return QString::fromUtf8(text); };

    // The drawing menu and the toolbar name each action's current key.
    struct Command {
        Action action;
        const char *item;
        const char *tool;
        const char *tip;
        const char *key;
    };
    const Command commands[] = {
        {Action::previousPage, "上一页", "pdf-previous-page", "上一页", "Alt+["},
        {Action::nextPage, "下一页", "pdf-next-page", "下一页", "Alt+]"},
        {Action::zoomOut, "缩小", "pdf-zoom-out", "缩小", "Alt+\u2212"},
        {Action::zoomIn, "放大", "pdf-zoom-in", "放大", "Alt+="},
        {Action::actualSize, "100% 实际大小", "pdf-actual-size", "100% 实际大小", "Alt+↑"},
        {Action::fitPage, "适合页面", "pdf-fit-page", "适合页面", "Alt+↓"},
        {Action::rotateLeft, "向左旋转 90°", "pdf-rotate-left", "向左旋转 90°", "Alt+←"},
        {Action::rotateRight, "向右旋转 90°", "pdf-rotate-right", "向右旋转 90°", "Alt+→"},
        {Action::resetRotation, "恢复原始方向", "pdf-reset-rotation", "恢复原始方向", "Alt+0"},
        {Action::togglePresentation, "进入投影", "pdf-presentation", "全屏铺满并隐藏分页", "Alt+F"},
    };
    for (const Command &c : commands) {
        row(u("menu:") + u(c.item), c.action, u(c.item) + u'\t' + u(c.key), u(c.item) + u("\tCtrl+1"));
        row(u("tip:") + u(c.tool), c.action, u(c.tip) + u("（") + u(c.key) + u("）"), u(c.tip) + u("（Ctrl+1）"));
    }
    row(u("text:pdf-status-hint"), Action::actualSize, u("滚轮缩放  ·  按住拖动  ·  Alt+↑ 实际大小  ·  Alt+F 投影"),
        u("滚轮缩放  ·  按住拖动  ·  Ctrl+1 实际大小  ·  Alt+F 投影"));
    row(u("tip:pdf-exit-presentation"), Action::togglePresentation, u("退出全屏并恢复分页（Esc 或 Alt+F）"),
        u("退出全屏并恢复分页（Esc 或 Ctrl+1）"));

    // The application's own keys stay when a drawing key moves.
    const char *fixed[][2] = {{"打开 PDF…", "Ctrl+O"}, {"关闭 PDF", "Ctrl+Shift+W"}, {"快捷键设置…", "Ctrl+,"},
        {"退出", "Ctrl+Q"}, {"搜索当前 PDF", "Ctrl+F"}, {"帮助", "Ctrl+Shift+/"}};
    for (const auto &[item, key] : fixed)
        row(u("menu:") + u(item), Action::zoomIn, u(item) + u'\t' + u(key), u(item) + u'\t' + u(key));
    row(u("menu:关于Plenvo"), Action::zoomIn, u("关于Plenvo"), u("关于Plenvo"));
    row(u("tip:pdf-open"), Action::zoomIn, u("打开 PDF（Ctrl+O）"), u("打开 PDF（Ctrl+O）"));
    row(u("tip:pdf-search"), Action::zoomIn, u("搜索当前 PDF（Ctrl+F）"), u("搜索当前 PDF（Ctrl+F）"));
    const QString message = u("请至少按住 Ctrl、Alt 或 Super 中的一个，避免影响正常输入。");
    row(u("message"), Action::zoomIn, message, message);
}

// One notation wherever a key is named: modifiers as Ctrl, Alt, Shift, Super, each followed by
// "+", then the key; never Qt's translated key names, and every text follows a rebinding at once.
void tst_PlenvoPDFApp::everyPlaceNamesKeysAlike()
{
    QFETCH(QString, place);
    QFETCH(Action, rebound);
    QFETCH(QString, before);
    QFETCH(QString, after);
    AppFixture f;
    f.start();
    const QStringList first = shownAt(f, place);
    QVERIFY(!first.isEmpty());
    for (const QString &text : first)
        QCOMPARE(text, before);
    QVERIFY(!f.shortcuts.update(
        PDFViewerShortcut(PDFViewerShortcutKey(QStringLiteral("1")), PDFViewerShortcutModifiers::command), rebound));
    for (const QString &text : shownAt(f, place))
        QCOMPARE(text, after);
}

void tst_PlenvoPDFApp::windowGeometrySurvivesRestarts()
{
    AppFixture f;
    PDFViewerMainWindow *window = f.start().window();
    // First start: the default size, centred on the primary screen.
    QCOMPARE(window->size(), QSize(1080, 760));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((window->geometry().center() - screenCentre).manhattanLength() <= 1);

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect moved(60, 40, 1000, 700);
    window->setGeometry(moved);
    QTRY_COMPARE(window->geometry(), moved);
    // Saved shortly after the change, without waiting for the window to close.
    const auto stored = [&] {
        return QSettings(f.dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat)
            .value(QStringLiteral("windowGeometryV1"))
            .toRect();
    };
    QTRY_COMPARE(stored(), moved);

    const QRect resized(80, 50, 960, 680);
    window->setGeometry(resized);
    QTRY_COMPARE(window->geometry(), resized);
    window->close();
    f.app.reset();
    QCOMPARE(f.start().window()->geometry(), resized);
}

void tst_PlenvoPDFApp::fullScreenAndMaximisedKeepTheNormalGeometry_data()
{
    QTest::addColumn<Qt::WindowState>("state");
    QTest::newRow("full screen") << Qt::WindowFullScreen;
    QTest::newRow("maximised") << Qt::WindowMaximized;
}

// Closed while full screen (presenting) or maximised, the window comes back at the geometry
// it had before; maximised, it comes back maximised.
void tst_PlenvoPDFApp::fullScreenAndMaximisedKeepTheNormalGeometry()
{
    QFETCH(Qt::WindowState, state);
    AppFixture f;
    PDFViewerMainWindow *window = f.start().window();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect normal(70, 60, 990, 680);
    window->setGeometry(normal);
    QTRY_COMPARE(window->geometry(), normal);

    window->setWindowState(state);
    QTRY_VERIFY(window->geometry() != normal);
    // Past the delay that follows a change: what was saved meanwhile is the normal geometry.
    QTest::qWait(600);
    window->close();
    f.app.reset();

    window = f.start().window();
    QCOMPARE(window->normalGeometry(), normal);
    QCOMPARE(window->windowState().testFlag(Qt::WindowMaximized), state == Qt::WindowMaximized);
}

QTEST_MAIN(tst_PlenvoPDFApp)
#include "tst_PlenvoPDFApp.moc"
