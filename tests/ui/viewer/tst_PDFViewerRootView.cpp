#include "BlueprintPDFView.h"
#include "PDFThumbnailView.h"
#include "PDFViewerElidedLabel.h"
#include "PDFViewerEmptyState.h"
#include "PDFViewerExitPresentationButton.h"
#include "PDFViewerHelpButton.h"
#include "PDFViewerLayerPanel.h"
#include "PDFViewerPageField.h"
#include "PDFViewerPresentationView.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerSidePanel.h"
#include "PDFViewerStatusBar.h"
#include "PDFViewerStyle.h"
#include "PDFViewerToolbar.h"
#include "ViewerWindowFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QtTest>

namespace {

// Sends one drag step to `target`; true when the view accepted it.
template<typename Event> bool sendDrag(QWidget *target, QMimeData *data)
{
    Event event(QPoint(400, 300), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

// Drags `urls` over the root view and drops them there; true when both steps were accepted.
bool dropFiles(PDFViewerRootView *root, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    return sendDrag<QDragEnterEvent>(root, &data) && sendDrag<QDropEvent>(root, &data);
}

} // namespace

class tst_PDFViewerRootView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        v.emplace();
        QVERIFY(v->exposed);
    }
    void cleanup() { v.reset(); }
    void submitPage_data();
    void submitPage();
    void documentAreaAndStatusFollowTheModel();
    void aDarkDesktopRecoloursTheChrome();
    void presentingMovesTheSameCanvas();
    void presenterKeys_data();
    void presenterKeys();
    void dropsOpenTheFirstFileOnly();
    void focusSearchField();
    void layerTabShowsAndTogglesTheLayers();

private:
    std::optional<ViewerWindow> v;
};

void tst_PDFViewerRootView::submitPage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("page"); // 0-based page afterwards; the document starts on 3 of 9
    QTest::addColumn<bool>("accepted"); // false: the text is no number, and stays

    QTest::newRow("plus seven") << QStringLiteral("+7") << 6 << true;
    QTest::newRow("negative") << QStringLiteral("-3") << 0 << true;
    QTest::newRow("largest 64-bit") << QStringLiteral("9223372036854775807") << 8 << true;
    QTest::newRow("one past largest") << QStringLiteral("9223372036854775808") << 2 << false;
    QTest::newRow("space before") << QStringLiteral(" 7") << 2 << false;
    QTest::newRow("full-width digit") << QStringLiteral("７") << 2 << false;
    QTest::newRow("empty") << QString() << 2 << false;
}

// Return in the page field goes to the number typed, clamped to the document, and empties the
// field; text that is no number changes nothing and stays for the user to correct.
void tst_PDFViewerRootView::submitPage()
{
    QFETCH(QString, typed);
    QFETCH(int, page);
    QFETCH(bool, accepted);

    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 9));
    QVERIFY(v->showPage(2));
    QLineEdit *field = v->root->toolbar()->pageField()->lineEdit();
    field->setText(typed);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(v->model->viewport()->currentPageIndex(), page);
    QCOMPARE(field->text(), accepted ? QString() : typed);
    // The model learns of the new page one event later.
    QTRY_COMPARE(v->model->pageIndex(), page);
}

// The document area and the status bar follow the model: the empty state and no key hint
// without pages, the canvas beside the thumbnails and the hint with them. The status bar
// shows the latest message, an error until a later command's status replaces it.
void tst_PDFViewerRootView::documentAreaAndStatusFollowTheModel()
{
    PDFViewerStatusBar *bar = v->root->statusBar();
    QVERIFY(v->root->emptyState()->isVisible());
    QVERIFY(!bar->hintLabel()->isVisible());
    // Without a document the canvas is hidden.
    BlueprintPDFView *canvas = v->model->pdfView();
    QVERIFY(!canvas->isVisible());
    v->model->open(v->url(QStringLiteral("missing.pdf")));
    QVERIFY(v->model->hasError());
    QCOMPARE(bar->statusLabel()->text(), v->model->errorText());
    v->model->fitPage();
    QVERIFY(v->model->hasError());
    QCOMPARE(bar->statusLabel()->text(), QStringLiteral("已适合页面"));

    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    QVERIFY(!v->root->emptyState()->isVisible());
    QVERIFY(v->root->splitView()->isAncestorOf(canvas));
    QVERIFY(canvas->isVisible());
    QCOMPARE(v->root->thumbnailView()->pdfView(), canvas);
    QVERIFY(canvas->width() > v->root->thumbnailView()->width()); // the canvas takes the spare width
    QCOMPARE(bar->statusLabel()->text(), v->model->statusText());
    QVERIFY(bar->hintLabel()->isVisible()); // its keys are checked in tst_PlenvoPDFApp

    // Closing keeps the canvas, empty, behind the empty state.
    v->model->closeDocument();
    QVERIFY(v->root->emptyState()->isVisible());
    QVERIFY(!canvas->isVisible());
    QVERIFY(!bar->hintLabel()->isVisible());
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    QVERIFY(canvas->isVisible());

    // The canvas is the model's: it outlives the view, out of any window.
    v->window.reset();
    QCOMPARE(v->model->pdfView(), canvas);
    QVERIFY(!canvas->parentWidget());
    QCOMPARE(v->model->pageCount(), 3);
}

// Regression: the chrome's muted text colours and the canvas around the pages took the palette
// once, so a desktop that turned dark left dark text on the dark window and a light canvas.
void tst_PDFViewerRootView::aDarkDesktopRecoloursTheChrome()
{
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    const QPalette light = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
    const QPalette dark(QColor(30, 30, 34));
    QApplication::setPalette(dark);
    PDFViewerToolbar *toolbar = v->root->toolbar();
    const QList<std::pair<QWidget *, QColor>> texts {
        {v->root->statusBar()->hintLabel(), PDFViewerStyle::tertiary(dark)},
        {toolbar->searchField()->resultLabel(), PDFViewerStyle::secondary(dark)},
        {toolbar->pageField()->findChild<QLabel *>(QStringLiteral("pdf-page-count")), PDFViewerStyle::secondary(dark)},
        {toolbar->zoomLabel(), PDFViewerStyle::primary(dark)},
    };
    for (const auto &[label, colour] : texts)
        QTRY_COMPARE(label->palette().color(QPalette::WindowText), colour); // the change is posted
    QCOMPARE(toolbar->pageField()->lineEdit()->palette().color(QPalette::PlaceholderText),
        PDFViewerStyle::withOpacity(PDFViewerStyle::primary(dark), 0.7));
    QCOMPARE(v->model->pdfView()->viewport()->grab().toImage().pixelColor(1, 1), dark.color(QPalette::Window));
}

// Presenting shows the same canvas alone, where the presenter's keys turn the pages; Escape ends
// presentation and full screen together, and so does the exit button's face or the window
// leaving full screen. The reading layout leaves those keys to the canvas, which scrolls.
void tst_PDFViewerRootView::presentingMovesTheSameCanvas()
{
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    QVERIFY(v->activate());
    BlueprintPDFView *canvas = v->model->pdfView();
    QLineEdit *pageInput = v->root->toolbar()->pageField()->lineEdit();
    pageInput->setText(QStringLiteral("3"));

    v->model->enterPresentationMode(false);
    v->platform.fullScreenWindows.insert(v->window.get());
    QVERIFY(v->root->isShowingPresentationLayout());
    QVERIFY(!v->root->toolbar()->isVisible());
    QVERIFY(v->root->presentationView()->isAncestorOf(canvas));
    QVERIFY(canvas->isVisible());
    QCOMPARE(canvas->geometry(), v->root->presentationView()->rect());
    QTest::keyClick(canvas, Qt::Key_Right);
    QCOMPARE(canvas->pdfViewport()->currentPageIndex(), 1);

    // With a modifier Escape is not the exit key.
    QTest::keyClick(canvas, Qt::Key_Escape, Qt::ShiftModifier);
    QVERIFY(v->model->isPresentationMode());
    QTest::keyClick(canvas, Qt::Key_Escape);
    QVERIFY(!v->model->isPresentationMode());
    QCOMPARE(v->platform.toggledWindows, QList<QWidget *> {v->window.get()});
    QVERIFY(!v->root->isShowingPresentationLayout());
    QVERIFY(v->root->splitView()->isAncestorOf(canvas));
    QVERIFY(canvas->hasFocus()); // not the first button of the toolbar
    QCOMPARE(pageInput->text(), QStringLiteral("3")); // what was typed survives the switch
    QTest::keyClick(canvas, Qt::Key_End);
    QCOMPARE(canvas->pdfViewport()->currentPageIndex(), 1);

    // Escape in the normal layout is not the root view's.
    QTest::keyClick(v->root->toolbar()->searchField()->lineEdit(), Qt::Key_Escape);
    QCOMPARE(v->platform.toggledWindows.size(), 1);

    v->model->enterPresentationMode(false);
    PDFViewerExitPresentationButton *exit = v->root->presentationView()->exitButton();
    QTest::mouseClick(exit, Qt::LeftButton, {}, exit->faceRect().center());
    QVERIFY(!v->model->isPresentationMode());

    // Leaving full screen ends presentation, without a second toggle; entering or staying in it
    // changes nothing, and leaving it while reading does not restore the reading layout again.
    v->window->setWindowState(Qt::WindowFullScreen);
    v->model->enterPresentationMode(false);
    v->window->setWindowState(Qt::WindowFullScreen | Qt::WindowMaximized);
    QVERIFY(v->model->isPresentationMode());
    v->window->setWindowState(Qt::WindowNoState);
    QVERIFY(!v->model->isPresentationMode());
    v->model->fitPage();
    v->window->setWindowState(Qt::WindowFullScreen);
    v->window->setWindowState(Qt::WindowNoState);
    QCOMPARE(v->model->statusText(), QStringLiteral("已适合页面"));
    QCOMPARE(v->platform.toggledWindows.size(), 1);
}

void tst_PDFViewerRootView::presenterKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to"); // of 5 pages; -1: not a page key
    const Qt::KeyboardModifiers none;
    for (int key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Space, Qt::Key_Return})
        QTest::addRow("%s forward", qPrintable(QKeySequence(key).toString())) << key << none << 2 << 3;
    QTest::newRow("keypad Enter forward") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 2 << 3;
    for (int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Backspace})
        QTest::addRow("%s back", qPrintable(QKeySequence(key).toString())) << key << none << 2 << 1;
    QTest::newRow("Shift+Space back") << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 2 << 1;
    QTest::newRow("Home") << int(Qt::Key_Home) << none << 2 << 0;
    QTest::newRow("End") << int(Qt::Key_End) << none << 2 << 4;
    QTest::newRow("Page Down on the last page") << int(Qt::Key_PageDown) << none << 4 << 4;
    QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::ControlModifier) << 2 << -1;
    QTest::newRow("Shift+→") << int(Qt::Key_Right) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 2 << -1;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << 2 << -1;
}

// The canvas's keys while presenting; their way through the canvas is walked in
// presentingMovesTheSameCanvas.
void tst_PDFViewerRootView::presenterKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, from);
    QFETCH(int, to);
    QCOMPARE(PDFViewerPresentationView::pageForKey(key, modifiers, from, 5).value_or(-1), to);
}

// Only a drag carrying a file is a drop target; a drop opens its first file once the drop has
// been reported, in the reading layout and while presenting alike.
void tst_PDFViewerRootView::dropsOpenTheFirstFileOnly()
{
    PDFViewerEmptyState *empty = v->root->emptyState();
    const QString idleTitle = empty->title();
    QMimeData text;
    text.setText(QStringLiteral("just text"));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.pdf"))});
    for (QMimeData *refused : {&text, &web}) {
        QVERIFY(!sendDrag<QDragEnterEvent>(v->root, refused));
        QVERIFY(!v->root->isDropTargeted());
    }
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.pdf"))});
    QVERIFY(sendDrag<QDragEnterEvent>(v->root, &file));
    QVERIFY(v->root->isDropTargeted() && empty->isDropTargeted());
    QCOMPARE(empty->title(), QStringLiteral("松开即可打开"));
    QDragLeaveEvent leave;
    QApplication::sendEvent(v->root, &leave);
    QVERIFY(!v->root->isDropTargeted() && !empty->isDropTargeted());
    QCOMPARE(empty->title(), idleTitle);

    // A file that is no PDF is handed on all the same; the model reports it.
    QVERIFY(TestPDFs::writePNG(v->path(QStringLiteral("picture.png"))));
    QVERIFY(dropFiles(v->root, {v->url(QStringLiteral("picture.png"))}));
    QTRY_VERIFY(v->model->hasError());

    const QUrl first = v->writePDF(QStringLiteral("first.pdf"), 2);
    const QUrl second = v->writePDF(QStringLiteral("second.pdf"), 5);
    QVERIFY(dropFiles(v->root, {first, second}));
    QVERIFY(!v->root->isDropTargeted());
    QVERIFY(v->model->fileURL().isEmpty());
    QTRY_COMPARE(v->model->fileURL(), first);
    QCoreApplication::processEvents();
    QCOMPARE(v->model->fileURL(), first);

    v->model->enterPresentationMode(false);
    QVERIFY(dropFiles(v->root, {second}));
    QTRY_COMPARE(v->model->fileURL(), second);
}

void tst_PDFViewerRootView::focusSearchField()
{
    QVERIFY(v->activate());
    v->model->setSearchText(QStringLiteral("grid"));
    v->root->focusSearchField();
    QLineEdit *field = v->root->toolbar()->searchField()->lineEdit();
    QVERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), QStringLiteral("grid"));

    // Tab walks the strip left to right, then the document area and the status bar.
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 2));
    QList<QWidget *> expected = v->root->toolbar()->focusOrder();
    expected << v->root->thumbnailView() << v->model->pdfView() << v->root->statusBar()->helpButton();
    QList<QWidget *> walked;
    QWidget *step = expected.first();
    do {
        if (expected.contains(step))
            walked.append(step);
        step = step->nextInFocusChain();
    } while (step != expected.first());
    QCOMPARE(walked, expected);
}

void tst_PDFViewerRootView::layerTabShowsAndTogglesTheLayers()
{
    PDFViewerSidePanel *side = v->root->sidePanel();
    PDFViewerLayerPanel *panel = side->layerPanel();
    const auto shown = [panel] {
        QString flags;
        for (int row = 0; auto *button = qobject_cast<QAbstractButton *>(panel->rowWidget(row)); ++row)
            flags += button->isChecked() ? QLatin1Char('x') : QLatin1Char('.');
        return flags;
    };
    QVERIFY(TestPDFs::writeLayered(v->path(QStringLiteral("L.pdf")),
        {QStringLiteral("轴网"), QStringLiteral("墙体"), QStringLiteral("标注"), QStringLiteral("甲"),
            QStringLiteral("乙")}));
    QVERIFY(v->model->open(v->url(QStringLiteral("L.pdf"))));
    QVERIFY(side->layersTab()->isEnabled());
    side->layersTab()->click();
    QVERIFY(side->isShowingLayers() && panel->isVisible());
    QCOMPARE(panel->rowWidget(1)->accessibleName(), QStringLiteral("墙体"));
    QCOMPARE(panel->hideAllButton()->nextInFocusChain(), panel->rowWidget(0)); // Tab reaches the rows
    QVERIFY(panel->rowWidget(4)->inherits("QRadioButton"));
    QCOMPARE(shown(), QStringLiteral("xx.x."));
    qobject_cast<QAbstractButton *>(panel->rowWidget(4))->click(); // the radio group's other goes
    QCOMPARE(shown(), QStringLiteral("xx..x"));
    panel->hideAllButton()->click();
    QCOMPARE(shown(), QStringLiteral("....."));
    panel->showAllButton()->click();
    QCOMPARE(shown(), QStringLiteral("xxx.."));

    // A document without layers: the tab is disabled and the thumbnails come back.
    QVERIFY(v->openPDF(QStringLiteral("plain.pdf"), 2));
    QVERIFY(!side->layersTab()->isEnabled());
    QVERIFY(!side->isShowingLayers() && side->thumbnails()->isVisible());
    QCOMPARE(side->layersTab()->toolTip(), QStringLiteral("此文档没有图层"));
}

QTEST_MAIN(tst_PDFViewerRootView)
#include "tst_PDFViewerRootView.moc"
