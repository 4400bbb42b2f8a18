#include "BlueprintPDFView.h"
#include "PDFThumbnailView.h"
#include "PDFViewerElidedLabel.h"
#include "PDFViewerEmptyState.h"
#include "PDFViewerExitPresentationButton.h"
#include "PDFViewerHelpButton.h"
#include "PDFViewerPageField.h"
#include "PDFViewerPresentationView.h"
#include "PDFViewerRootView.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerStatusBar.h"
#include "PDFViewerSymbolView.h"
#include "PDFViewerToolbar.h"
#include "ViewerWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QSplitter>
#include <QtTest>

#include <limits>

using Action = PDFViewerShortcutAction;

namespace {

// A window like the application's: the root view as its central widget, shown and laid out
// before the test goes on (a canvas without its size cannot tell its current page).
struct Window {
    explicit Window(ViewerWindowFixture &f)
        : root(new PDFViewerRootView(f.model.get(), f.shortcuts.get()))
    {
        window.setCentralWidget(root);
        window.resize(1100, 760);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
        f.platform.keyWindow = &window;
    }
    QMainWindow window;
    PDFViewerRootView *root;
    bool exposed = false;
};

QMimeData *fileDrag(const QList<QUrl> &urls)
{
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

// Sends one drag step to `target`; true when the view accepted it.
template <typename Event>
bool sendDrag(QWidget *target, QMimeData *data)
{
    Event event(QPoint(400, 300), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

bool isInside(const QWidget *widget, const QWidget *ancestor)
{
    return widget && ancestor && ancestor->isAncestorOf(widget);
}

} // namespace

class tst_PDFViewerRootView : public QObject {
    Q_OBJECT

private slots:
    void parsePageNumber_data();
    void parsePageNumber();
    void submitPage_data();
    void submitPage();
    void pageInputSurvivesLayoutSwitch();
    void minimumSize();
    void documentAreaFollowsPageCount();
    void replacedCanvasTakesTheOldOnesPlace();
    void canvasOutlivesTheView();
    void presentingMovesTheSameCanvas();
    void escapeEndsPresentationAndFullScreen();
    void leavingFullScreenEndsPresentation();
    void exitButton();
    void dropTargetAcceptsOnlyFiles_data();
    void dropTargetAcceptsOnlyFiles();
    void dropOpensTheFirstFileOnly();
    void droppedNonPDFIsReportedByTheModel();
    void statusBarHint();
    void statusBarErrorIcon();
    void helpButton();
    void focusSearchField();
};

void tst_PDFViewerRootView::parsePageNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<qint64>("value");

    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("digits") << QStringLiteral("7") << true << qint64(7);
    QTest::newRow("plus") << QStringLiteral("+7") << true << qint64(7);
    QTest::newRow("zero") << QStringLiteral("0") << true << qint64(0);
    QTest::newRow("minus") << QStringLiteral("-3") << true << qint64(-3);
    QTest::newRow("leading zeros") << QStringLiteral("007") << true << qint64(7);
    QTest::newRow("largest") << QStringLiteral("9223372036854775807") << true << max;
    QTest::newRow("smallest") << QStringLiteral("-9223372036854775808") << true << min;
    QTest::newRow("one past largest") << QStringLiteral("9223372036854775808") << false << qint64(0);
    QTest::newRow("one past smallest") << QStringLiteral("-9223372036854775809") << false << qint64(0);
    QTest::newRow("far too large") << QStringLiteral("99999999999999999999999") << false << qint64(0);
    QTest::newRow("empty") << QString() << false << qint64(0);
    QTest::newRow("sign only") << QStringLiteral("+") << false << qint64(0);
    QTest::newRow("two signs") << QStringLiteral("--1") << false << qint64(0);
    QTest::newRow("space before") << QStringLiteral(" 7") << false << qint64(0);
    QTest::newRow("space after") << QStringLiteral("7 ") << false << qint64(0);
    QTest::newRow("letter") << QStringLiteral("7a") << false << qint64(0);
    QTest::newRow("decimal point") << QStringLiteral("7.0") << false << qint64(0);
    QTest::newRow("full-width digit") << QStringLiteral("７") << false << qint64(0);
    QTest::newRow("Arabic-Indic digit") << QStringLiteral("٧") << false << qint64(0);
}

void tst_PDFViewerRootView::parsePageNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(qint64, value);
    const std::optional<qint64> parsed = PDFViewerRootView::parsePageNumber(text);
    QCOMPARE(parsed.has_value(), parses);
    if (parses)
        QCOMPARE(*parsed, value);
}

void tst_PDFViewerRootView::submitPage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("page");       // 0-based page afterwards; the document starts on 3 of 9
    QTest::addColumn<QString>("remains"); // the field's text afterwards

    QTest::newRow("plus seven") << QStringLiteral("+7") << 6 << QString();
    QTest::newRow("zero") << QStringLiteral("0") << 0 << QString();
    QTest::newRow("negative") << QStringLiteral("-3") << 0 << QString();
    QTest::newRow("past the end") << QStringLiteral("10") << 8 << QString();
    QTest::newRow("largest 64-bit") << QStringLiteral("9223372036854775807") << 8 << QString();
    QTest::newRow("smallest 64-bit") << QStringLiteral("-9223372036854775808") << 0 << QString();
    QTest::newRow("beyond 64-bit") << QStringLiteral("9223372036854775808") << 2
                                   << QStringLiteral("9223372036854775808");
    QTest::newRow("space before") << QStringLiteral(" 7") << 2 << QStringLiteral(" 7");
    QTest::newRow("space after") << QStringLiteral("7 ") << 2 << QStringLiteral("7 ");
    QTest::newRow("letter") << QStringLiteral("7a") << 2 << QStringLiteral("7a");
    QTest::newRow("decimal") << QStringLiteral("7.0") << 2 << QStringLiteral("7.0");
    QTest::newRow("sign only") << QStringLiteral("+") << 2 << QStringLiteral("+");
    QTest::newRow("two signs") << QStringLiteral("--1") << 2 << QStringLiteral("--1");
    QTest::newRow("empty") << QString() << 2 << QString();
}

void tst_PDFViewerRootView::submitPage()
{
    QFETCH(QString, typed);
    QFETCH(int, page);
    QFETCH(QString, remains);

    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 9));
    f.model->goToPage(3);
    QTRY_COMPARE(f.model->pageIndex(), 2);

    QLineEdit *field = w.root->toolbar()->pageField()->lineEdit();
    field->setText(typed);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f.model->pdfView()->currentPageIndex(), page);
    QCOMPARE(field->text(), remains);
    // The model learns of the new page one event later; the placeholder follows it.
    QTRY_COMPARE(f.model->pageIndex(), page);
    QCOMPARE(field->placeholderText(), QString::number(page + 1));
}

void tst_PDFViewerRootView::pageInputSurvivesLayoutSwitch()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 4));
    QLineEdit *field = w.root->toolbar()->pageField()->lineEdit();
    field->setText(QStringLiteral("3"));
    f.model->enterPresentationMode(false);
    f.model->exitPresentationMode(false);
    QCOMPARE(field->text(), QStringLiteral("3"));
}

void tst_PDFViewerRootView::minimumSize()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QCOMPARE(w.root->minimumSize(), QSize(920, 620));
    QVERIFY(w.root->minimumSizeHint().width() <= 920);
    w.window.resize(400, 300);
    QVERIFY(w.root->width() >= 920);
    QVERIFY(w.root->height() >= 620);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 1));
    f.model->enterPresentationMode(false);
    w.window.resize(400, 300);
    QVERIFY(w.root->width() >= 920);
    QVERIFY(w.root->height() >= 620);
}

void tst_PDFViewerRootView::documentAreaFollowsPageCount()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    PDFViewerRootView *root = w.root;
    QVERIFY(root->emptyState()->isVisible());
    QVERIFY(!root->splitView()->isVisible());
    // Without a document the canvas is in no window at all.
    QVERIFY(!f.model->pdfView()->parentWidget());
    QVERIFY(!f.model->pdfView()->hasScrollMonitor());

    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    BlueprintPDFView *canvas = f.model->pdfView();
    QVERIFY(!root->emptyState()->isVisible());
    QVERIFY(root->splitView()->isVisible());
    QVERIFY(isInside(canvas, root->splitView()));
    QVERIFY(canvas->isVisible());
    QCOMPARE(root->thumbnailView()->pdfView(), canvas);
    QCOMPARE(root->thumbnailView()->minimumWidth(), 130);
    QCOMPARE(root->thumbnailView()->maximumWidth(), 230);
    QVERIFY(root->thumbnailView()->width() >= 130 && root->thumbnailView()->width() <= 230);
    QVERIFY(canvas->width() > root->thumbnailView()->width());
    QVERIFY(root->toolbar()->isVisible());
    QVERIFY(root->statusBar()->isVisible());
}

void tst_PDFViewerRootView::replacedCanvasTakesTheOldOnesPlace()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    QPointer<BlueprintPDFView> old = f.model->pdfView();

    f.model->closeDocument();
    BlueprintPDFView *fresh = f.model->pdfView();
    QVERIFY(fresh != old);
    QVERIFY(w.root->emptyState()->isVisible());
    QCOMPARE(w.root->thumbnailView()->pdfView(), fresh);
    QVERIFY(!isInside(old, &w.window));
    QTRY_VERIFY(old.isNull()); // the model deletes the canvas it replaced

    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    QVERIFY(isInside(fresh, w.root->splitView()));
    QVERIFY(fresh->isVisible());
}

void tst_PDFViewerRootView::canvasOutlivesTheView()
{
    ViewerWindowFixture f;
    {
        Window w(f);
        QVERIFY(w.exposed);
    QVERIFY(w.exposed);
        QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 2));
        QVERIFY(isInside(f.model->pdfView(), w.root));
    }
    QVERIFY(f.model->pdfView());
    QVERIFY(!f.model->pdfView()->parentWidget());
    QCOMPARE(f.model->pageCount(), 2);
}

void tst_PDFViewerRootView::presentingMovesTheSameCanvas()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    BlueprintPDFView *canvas = f.model->pdfView();

    f.model->enterPresentationMode(false);
    QVERIFY(w.root->isShowingPresentationLayout());
    QVERIFY(w.root->presentationView()->isVisible());
    QVERIFY(!w.root->toolbar()->isVisible());
    QVERIFY(!w.root->statusBar()->isVisible());
    QCOMPARE(f.model->pdfView(), canvas);
    QVERIFY(isInside(canvas, w.root->presentationView()));
    QVERIFY(canvas->isVisible());
    QCOMPARE(canvas->geometry(), w.root->presentationView()->rect());

    f.model->exitPresentationMode(false);
    QVERIFY(!w.root->isShowingPresentationLayout());
    QVERIFY(isInside(canvas, w.root->splitView()));
    QVERIFY(canvas->isVisible());
    QVERIFY(w.root->toolbar()->isVisible());
}

void tst_PDFViewerRootView::escapeEndsPresentationAndFullScreen()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    f.model->enterPresentationMode(false);
    f.platform.fullScreenWindows.insert(&w.window);

    // With a modifier Escape is not the exit key.
    QTest::keyClick(f.model->pdfView(), Qt::Key_Escape, Qt::ShiftModifier);
    QVERIFY(f.model->isPresentationMode());

    QTest::keyClick(f.model->pdfView(), Qt::Key_Escape);
    QVERIFY(!f.model->isPresentationMode());
    QCOMPARE(f.platform.toggledWindows, QList<QWidget *>{&w.window});
    QVERIFY(!w.root->isShowingPresentationLayout());
    QVERIFY(f.model->pdfView()->hasFocus()); // not the first button of the toolbar

    // Escape in the normal layout is not the root view's.
    QTest::keyClick(w.root->toolbar()->searchField()->lineEdit(), Qt::Key_Escape);
    QCOMPARE(f.platform.toggledWindows.size(), 1);
}

void tst_PDFViewerRootView::leavingFullScreenEndsPresentation()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    w.window.setWindowState(Qt::WindowFullScreen);
    f.model->enterPresentationMode(false);
    QVERIFY(w.root->isShowingPresentationLayout());

    // Entering or staying in full screen changes nothing.
    w.window.setWindowState(Qt::WindowFullScreen | Qt::WindowMaximized);
    QVERIFY(f.model->isPresentationMode());

    w.window.setWindowState(Qt::WindowNoState);
    QVERIFY(!f.model->isPresentationMode());
    QVERIFY(!w.root->isShowingPresentationLayout());
    QCOMPARE(f.model->statusText(), QStringLiteral("已退出投影模式"));
    QVERIFY(f.platform.toggledWindows.isEmpty()); // no second toggle

    // Leaving full screen while reading changes nothing either.
    w.window.setWindowState(Qt::WindowFullScreen);
    w.window.setWindowState(Qt::WindowNoState);
    QCOMPARE(f.model->statusText(), QStringLiteral("已退出投影模式"));
}

void tst_PDFViewerRootView::exitButton()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 2));
    f.model->enterPresentationMode(false);
    PDFViewerExitPresentationButton *exit = w.root->presentationView()->exitButton();
    QCOMPARE(exit->objectName(), QStringLiteral("pdf-exit-presentation"));
    QCOMPARE(exit->toolTip(), QStringLiteral("退出全屏并恢复分页（Esc 或 ⌥F）"));
    // The face sits 16 pixels from the top right corner, over the canvas.
    const QRect face = exit->faceRect().translated(exit->pos());
    QCOMPARE(face.top(), 16);
    QCOMPARE(w.root->presentationView()->width() - 1 - face.right(), 16);
    QCOMPARE(face.height(), 32);

    const PDFViewerShortcut commandOne(PDFViewerShortcutKey(QStringLiteral("1")), PDFViewerShortcutModifiers::command);
    QCOMPARE(f.shortcuts->update(commandOne, Action::togglePresentation), std::nullopt);
    QCOMPARE(exit->toolTip(), QStringLiteral("退出全屏并恢复分页（Esc 或 ⌘1）"));

    // A click in the shadow margin is no click.
    QTest::mouseClick(exit, Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(f.model->isPresentationMode());
    QTest::mouseClick(exit, Qt::LeftButton, {}, exit->faceRect().center());
    QVERIFY(!f.model->isPresentationMode());
}

void tst_PDFViewerRootView::dropTargetAcceptsOnlyFiles_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("file location") << true << true;
    QTest::newRow("plain text") << false << false;
}

void tst_PDFViewerRootView::dropTargetAcceptsOnlyFiles()
{
    QFETCH(bool, withFile);
    QFETCH(bool, accepted);
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    PDFViewerEmptyState *empty = w.root->emptyState();
    QMimeData data;
    if (withFile)
        data.setUrls({f.url(QStringLiteral("a.pdf"))});
    else
        data.setText(QStringLiteral("just text"));

    QCOMPARE(sendDrag<QDragEnterEvent>(w.root, &data), accepted);
    QCOMPARE(w.root->isDropTargeted(), accepted);
    QCOMPARE(empty->isDropTargeted(), accepted);
    QCOMPARE(empty->title(), accepted ? QStringLiteral("松开即可打开") : QStringLiteral("把 PDF 拖到这里"));
    QCOMPARE(sendDrag<QDragMoveEvent>(w.root, &data), accepted);

    QDragLeaveEvent leave;
    QApplication::sendEvent(w.root, &leave);
    QVERIFY(!w.root->isDropTargeted());
    QCOMPARE(empty->title(), QStringLiteral("把 PDF 拖到这里"));

    // Web addresses are no file locations.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.pdf"))});
    QVERIFY(!sendDrag<QDragEnterEvent>(w.root, &web));
    QVERIFY(!w.root->isDropTargeted());
}

void tst_PDFViewerRootView::dropOpensTheFirstFileOnly()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    const QUrl first = f.writePDF(QStringLiteral("first.pdf"), 2);
    const QUrl second = f.writePDF(QStringLiteral("second.pdf"), 5);
    std::unique_ptr<QMimeData> data(fileDrag({first, second}));
    QVERIFY(sendDrag<QDragEnterEvent>(w.root, data.get()));
    QVERIFY(sendDrag<QDropEvent>(w.root, data.get()));
    QVERIFY(!w.root->isDropTargeted());
    // Opened after the drop has been reported, not during it.
    QVERIFY(f.model->fileURL().isEmpty());
    QTRY_COMPARE(f.model->fileURL(), first);
    QCOMPARE(f.model->pageCount(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(f.model->fileURL(), first);

    // While presenting, a drop opens the new file in place.
    f.model->enterPresentationMode(false);
    std::unique_ptr<QMimeData> next(fileDrag({second}));
    QVERIFY(sendDrag<QDragEnterEvent>(w.root, next.get()));
    QVERIFY(sendDrag<QDropEvent>(w.root, next.get()));
    QTRY_COMPARE(f.model->fileURL(), second);
    QCOMPARE(f.model->pageCount(), 5);
}

void tst_PDFViewerRootView::droppedNonPDFIsReportedByTheModel()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    QVERIFY(TestPDFs::writePNG(f.path(QStringLiteral("picture.png"))));
    std::unique_ptr<QMimeData> data(fileDrag({f.url(QStringLiteral("picture.png"))}));
    QVERIFY(sendDrag<QDragEnterEvent>(w.root, data.get()));
    QVERIFY(sendDrag<QDropEvent>(w.root, data.get()));
    QTRY_VERIFY(f.model->hasError());
    QCOMPARE(f.model->pageCount(), 0);
    QCOMPARE(w.root->statusBar()->statusLabel()->text(), f.model->errorText());
}

void tst_PDFViewerRootView::statusBarHint()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    PDFViewerStatusBar *bar = w.root->statusBar();
    QCOMPARE(bar->height(), 28);
    QVERIFY(!bar->hintLabel()->isVisible());

    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 2));
    QVERIFY(bar->hintLabel()->isVisible());
    QCOMPARE(bar->hintLabel()->text(), QStringLiteral("滚轮缩放  ·  按住拖动  ·  ⌥↑ 实际大小  ·  ⌥F 投影"));
    QCOMPARE(bar->statusLabel()->text(), f.model->statusText());

    const PDFViewerShortcut commandOne(PDFViewerShortcutKey(QStringLiteral("1")), PDFViewerShortcutModifiers::command);
    QCOMPARE(f.shortcuts->update(commandOne, Action::actualSize), std::nullopt);
    QCOMPARE(bar->hintLabel()->text(), QStringLiteral("滚轮缩放  ·  按住拖动  ·  ⌘1 实际大小  ·  ⌥F 投影"));

    f.model->closeDocument();
    QVERIFY(!bar->hintLabel()->isVisible());
}

void tst_PDFViewerRootView::statusBarErrorIcon()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    PDFViewerStatusBar *bar = w.root->statusBar();
    QCOMPARE(bar->icon()->name(), QStringLiteral("doc.text"));
    f.model->open(f.url(QStringLiteral("missing.pdf")));
    QVERIFY(f.model->hasError());
    QCOMPARE(bar->icon()->name(), QStringLiteral("exclamationmark.triangle.fill"));
    QCOMPARE(bar->icon()->color(), QColor(255, 149, 0));
    QCOMPARE(bar->statusLabel()->text(), f.model->statusText());

    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 1));
    QVERIFY(!f.model->hasError());
    QCOMPARE(bar->icon()->name(), QStringLiteral("doc.text"));

    // A long status is cut to one line, with the whole text still readable.
    w.window.resize(920, 620);
    f.model->setSearchText(QString(400, QLatin1Char('x')));
    f.model->performSearch();
    QTRY_VERIFY(!f.model->isSearching());
    PDFViewerElidedLabel *label = bar->statusLabel();
    QVERIFY(label->displayedText().endsWith(QChar(0x2026)));
    QCOMPARE(label->accessibleName(), label->text());
}

void tst_PDFViewerRootView::helpButton()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    PDFViewerHelpButton *help = w.root->statusBar()->helpButton();
    QCOMPARE(help->objectName(), QStringLiteral("pdf-status-help"));
    QCOMPARE(help->toolTip(), QStringLiteral("查看使用方法和当前快捷键"));
    QCOMPARE(help->text(), QStringLiteral("帮助"));
    QCOMPARE(help->height(), 22);
    QSignalSpy requested(w.root, &PDFViewerRootView::helpRequested);
    QTest::mouseClick(help, Qt::LeftButton);
    QCOMPARE(requested.count(), 1);
}

void tst_PDFViewerRootView::focusSearchField()
{
    ViewerWindowFixture f;
    Window w(f);
    QVERIFY(w.exposed);
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    f.model->setSearchText(QStringLiteral("grid"));
    w.root->focusSearchField();
    QLineEdit *field = w.root->toolbar()->searchField()->lineEdit();
    QVERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), QStringLiteral("grid"));

    // Tab walks the strip left to right, then the document area and the status bar.
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 2));
    QList<QWidget *> expected = w.root->toolbar()->focusOrder();
    expected << w.root->thumbnailView() << f.model->pdfView() << w.root->statusBar()->helpButton();
    QList<QWidget *> walked;
    QWidget *step = expected.first();
    do {
        if (expected.contains(step))
            walked.append(step);
        step = step->nextInFocusChain();
    } while (step != expected.first());
    QCOMPARE(walked, expected);
}

QTEST_MAIN(tst_PDFViewerRootView)
#include "tst_PDFViewerRootView.moc"
