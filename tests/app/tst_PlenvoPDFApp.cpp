#include "AboutPanelPresenter.h"
#include "BlueprintPDFView.h"
#include "PDFFileURL.h"
#include "PDFOverviewMap.h"
#include "PDFViewerMainWindow.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerOpenRequest.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerWindowPlacement.h"
#include "PDFViewport.h"
#include "PlenvoPDFApp.h"
#include "TestPDFs.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
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
using Command = PDFViewerMenuCommands::Command;

} // namespace

class tst_PlenvoPDFApp : public QObject {
    Q_OBJECT

private slots:
    void windowOpensHandedOverFilesAndHostsTheCommands();
    void everyPlaceNamesKeysAlike();
    void viewOptionsAreRememberedAcrossRestarts();
    void fullScreenAndMaximisedKeepTheNormalGeometry_data();
    void fullScreenAndMaximisedKeepTheNormalGeometry();
    void initialGeometry_data();
    void initialGeometry();
    void aboutPanelVersionLineAndLink();
};

// A request made before the window exists waits for it; the arguments of a later launch open
// at once, read against its own working directory. The window's title follows the document, its
// page commands the current page and its document commands the open document; its search
// command searches from the field, and presenting hides the menu bar but not its keys.
void tst_PlenvoPDFApp::windowOpensHandedOverFilesAndHostsTheCommands()
{
    AppFixture f;
    const QString early = f.dir.filePath(QStringLiteral("early.pdf"));
    const QString file = f.dir.filePath(QStringLiteral("A-101 总平面.pdf"));
    QVERIFY(TestPDFs::writePlain(early, 1));
    QVERIFY(TestPDFs::writePlain(file, 2, QSizeF(595, 842), {QStringLiteral("north"), QStringLiteral("south")}));
    f.request.setUrl(QUrl::fromLocalFile(early));
    PlenvoPDFApp &app = f.start();
    PDFViewerMainWindow *window = app.window();
    PDFViewerMenuCommands *commands = window->menuCommands();
    QCOMPARE(window->windowTitle(), QStringLiteral("early"));
    QVERIFY(f.request.url().isEmpty()); // taken
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // Previous and next follow the page, the rest the document; the drawing commands' rule is the
    // toolbar's too, and checked there (tst_PDFViewerRootView).
    const auto check = [&](bool open, bool previous, bool next) {
        QCOMPARE(commands->action(Action::previousPage)->isEnabled(), previous);
        QCOMPARE(commands->action(Action::nextPage)->isEnabled(), next);
        for (QAction *action : {commands->action(Action::rotateLeft), commands->action(Command::closePDF),
                 commands->action(Command::searchPDF)})
            QCOMPARE(action->isEnabled(), open);
        QVERIFY(commands->action(Command::openPDF)->isEnabled() && commands->action(Command::about)->isEnabled());
    };
    check(true, false, false);
    app.handleArguments(
        {QByteArrayLiteral("--verbose"), QByteArrayLiteral("notes.txt"), QByteArrayLiteral("./A-101 总平面.pdf")},
        QFile::encodeName(f.dir.path()));
    QCOMPARE(PDFFileURL::nativePath(app.model()->fileURL()), QFile::encodeName(file));
    QCOMPARE(window->windowTitle(), QStringLiteral("A-101 总平面"));
    app.handleArguments({QByteArrayLiteral("notes.txt")}, QFile::encodeName(f.dir.path())); // no PDF: no change
    QCOMPARE(window->windowTitle(), QStringLiteral("A-101 总平面"));
    check(true, false, true);
    commands->action(Action::nextPage)->trigger();
    QTRY_COMPARE(app.model()->pageIndex(), 1);
    check(true, true, false);

    app.model()->setSearchText(QStringLiteral("south"));
    commands->action(Command::searchPDF)->trigger();
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("pdf-search-field"));
    QTRY_COMPARE(app.model()->searchResultCount(), 1);

    QAction *toggle = commands->action(Action::togglePresentation);
    QCOMPARE(toggle->iconText(), QStringLiteral("进入投影"));
    toggle->trigger();
    QVERIFY(app.model()->isPresentationMode());
    QCOMPARE(toggle->iconText(), QStringLiteral("退出投影"));
    QVERIFY(window->menuBar()->isHidden());
    QVERIFY(window->actions().contains(toggle));
    app.model()->exitPresentationMode(false);
    QCOMPARE(toggle->iconText(), QStringLiteral("进入投影"));
    QVERIFY(!window->menuBar()->isHidden());
    app.model()->closeDocument();
    QCOMPARE(window->windowTitle(), QStringLiteral("Plenvo"));
    check(false, false, false);
}

// The view options chosen in the 图纸 menu reach the canvas and are in force after a restart.
void tst_PlenvoPDFApp::viewOptionsAreRememberedAcrossRestarts()
{
    AppFixture f;
    for (const bool restarted : {false, true}) {
        PDFViewerMainWindow *window = f.start().window();
        auto *inverted
            = window->menuCommands()->drawingMenu()->findChild<QAction *>(QStringLiteral("pdf-menu-inverted-view"));
        auto *overview
            = window->menuCommands()->drawingMenu()->findChild<QAction *>(QStringLiteral("pdf-menu-overview-map"));
        QVERIFY(inverted && inverted->isCheckable() && overview && overview->isCheckable());
        QCOMPARE(inverted->isChecked(), restarted);
        QCOMPARE(overview->isChecked(), !restarted);
        if (!restarted) {
            inverted->trigger();
            overview->trigger();
        }
        QVERIFY(f.app->model()->viewport()->invertsColors());
        QVERIFY(!f.app->model()->pdfView()->overviewMap()->isAllowed());
    }
}

// One notation wherever a key is named: modifiers as Ctrl, Alt, Shift, Super, each followed by
// "+", then the key; never Qt's translated key names. The drawing menu (its text and its
// accessible name), the toolbar and the status hint follow a rebinding at once; the
// application's own keys stay.
void tst_PlenvoPDFApp::everyPlaceNamesKeysAlike()
{
    AppFixture f;
    PDFViewerMainWindow *window = f.start().window();
    QAction *zoomOut = window->menuCommands()->action(Action::zoomOut);
    auto *menu = qobject_cast<QMenu *>(zoomOut->parent());
    QVERIFY(menu);
    const auto tip
        = [window](const char *name) { return window->findChild<QWidget *>(QLatin1String(name))->toolTip(); };
    const auto shown = [&] {
        return QStringList {zoomOut->text(),
            QAccessible::queryAccessibleInterface(menu)
                ->child(int(menu->actions().indexOf(zoomOut)))
                ->text(QAccessible::Name),
            tip("pdf-presentation"), tip("pdf-exit-presentation"),
            window->findChild<QLabel *>(QStringLiteral("pdf-status-hint"))->text(),
            window->menuCommands()->action(Command::help)->text(), tip("pdf-search")};
    };
    QCOMPARE(shown().join(u'|'),
        QString::fromUtf8(
            "缩小\tAlt+\u2212|缩小\tAlt+\u2212|全屏铺满并隐藏分页（Alt+F）|退出全屏并恢复分页（Esc 或 Alt+F）|"
            "滚轮缩放  ·  按住拖动  ·  Alt+↑ 实际大小  ·  Alt+F 投影|帮助\tCtrl+Shift+/|搜索当前 PDF（Ctrl+F）"));
    const auto rebind = [&f](const char *key, Action action) {
        const PDFViewerShortcutKey shortcutKey(QString::fromLatin1(key));
        return !f.shortcuts.update(PDFViewerShortcut(shortcutKey, PDFViewerShortcutModifiers::command), action);
    };
    QVERIFY(rebind("1", Action::zoomOut) && rebind("2", Action::togglePresentation) && rebind("3", Action::actualSize));
    QCOMPARE(shown().join(u'|'),
        QString::fromUtf8(
            "缩小\tCtrl+1|缩小\tCtrl+1|全屏铺满并隐藏分页（Ctrl+2）|退出全屏并恢复分页（Esc 或 Ctrl+2）|"
            "滚轮缩放  ·  按住拖动  ·  Ctrl+3 实际大小  ·  Ctrl+2 投影|帮助\tCtrl+Shift+/|搜索当前 PDF（Ctrl+F）"));
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
    // Saved shortly after the change, without waiting for the window to close: a kill loses nothing.
    QTRY_COMPARE(QSettings(f.dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat)
                     .value(QStringLiteral("windowGeometryV1"))
                     .toRect(),
        normal);

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

// Where the window first appears, from the stored geometry and the screens there are now.
void tst_PlenvoPDFApp::initialGeometry_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("expected");

    // A primary screen with a panel along its top, and a second screen to its right.
    const QRect primary(0, 32, 1920, 1048);
    const QRect second(1920, 0, 1280, 1024);
    const QList<QRect> both {primary, second};
    const QRect centred(420, 176, 1080, 760);
    const QRect inside(200, 100, 1200, 800);
    const QRect onSecond(2000, 50, 1000, 700);
    const QRect mostlyOff(-900, 500, 1000, 700); // 100 pixels shown
    const QRect sliver(-990, 500, 1000, 700); // 10 pixels shown

    QTest::newRow("nothing stored") << QVariant() << both << centred;
    QTest::newRow("empty rectangle") << QVariant(QRect(200, 100, 0, 800)) << both << centred;
    QTest::newRow("on the second screen") << QVariant(onSecond) << both << onSecond;
    QTest::newRow("mostly off, enough shown") << QVariant(mostlyOff) << both << mostlyOff;
    QTest::newRow("a sliver shown") << QVariant(sliver) << both << centred;
    QTest::newRow("on a screen since unplugged") << QVariant(onSecond) << QList<QRect> {primary} << centred;
    QTest::newRow("no screen") << QVariant(inside) << QList<QRect> {} << QRect(0, 0, 1080, 760);
}

void tst_PlenvoPDFApp::initialGeometry()
{
    QFETCH(QVariant, stored);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, expected);
    QCOMPARE(PDFViewerWindowPlacement::initialGeometry(stored, screens), expected);
}

// A build without version or number says so in the version line; the credits end with the link
// to the home page.
void tst_PlenvoPDFApp::aboutPanelVersionLineAndLink()
{
    QCOMPARE(AboutPanelPresenter::texts({}, {}, QPalette()).version, QStringLiteral("版本 开发版（—）"));
    const AboutPanelPresenter::Texts texts = AboutPanelPresenter::texts(QStringLiteral("1.2"), QStringLiteral("7"), {});
    QCOMPARE(texts.version, QStringLiteral("版本 1.2（7）"));
    QVERIFY(texts.credits.contains(AboutPanelPresenter::homePage().toString(QUrl::FullyEncoded)));
}

QTEST_MAIN(tst_PlenvoPDFApp)
#include "tst_PlenvoPDFApp.moc"
