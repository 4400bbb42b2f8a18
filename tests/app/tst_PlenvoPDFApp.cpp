#include "PDFFileURL.h"
#include "PDFViewerMainWindow.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerOpenRequest.h"
#include "PDFViewerRootView.h"
#include "PDFViewerShortcutStore.h"
#include "PlenvoPDFApp.h"
#include "PlenvoPDFAppDelegate.h"
#include "TestPDFs.h"

#include <QAction>
#include <QMenuBar>
#include <QMessageBox>
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

    // The status bar's help button and the menu item open the same panel.
    emit window->rootView()->helpRequested();
    QTRY_COMPARE(window->findChildren<QMessageBox *>().size(), 1);

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
