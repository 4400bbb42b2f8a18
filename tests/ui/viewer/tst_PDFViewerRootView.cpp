#include "BlueprintPDFView.h"
#include "PDFFileURL.h"
#include "PDFOverviewMap.h"
#include "PDFPage.h"
#include "PDFThumbnailView.h"
#include "PDFToolbarButton.h"
#include "PDFViewerBusyIndicator.h"
#include "PDFViewerElidedLabel.h"
#include "PDFViewerEmptyState.h"
#include "PDFViewerExitPresentationButton.h"
#include "PDFViewerHelpButton.h"
#include "PDFViewerLayerPanel.h"
#include "PDFViewerPageField.h"
#include "PDFViewerPresentationView.h"
#include "PDFViewerRecentMenu.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerSidePanel.h"
#include "PDFViewerStatusBar.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbolButton.h"
#include "PDFViewerToolbar.h"
#include "ViewerWindowFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QtTest>

#include <unistd.h>

namespace {

// Left to right, as the strip lays them out.
const QStringList kAllButtons = QStringLiteral("pdf-open pdf-previous-page pdf-next-page pdf-zoom-out pdf-zoom-in "
                                               "pdf-fit-page pdf-actual-size pdf-rotate-left pdf-reset-rotation "
                                               "pdf-rotate-right pdf-presentation")
                                    .split(QLatin1Char(' '));

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
    void submitPage();
    void documentAreaAndStatusFollowTheModel();
    void aDarkDesktopRecoloursTheChrome();
    void presentingMovesTheSameCanvas();
    void presenterKeys();
    void dropsOpenTheFirstFileOnly();
    void buttonsDriveTheModelAndCanvas();
    void searchFieldBindsTheModelAndTabWalksTheWindow();
    void recentMenu();
    void layerTabShowsAndTogglesTheLayers();

private:
    PDFViewerToolbar *toolbar() const { return v->root->toolbar(); }
    PDFToolbarButton *button(const char *id) const { return toolbar()->button(QString::fromLatin1(id)); }

    std::optional<ViewerWindow> v;
};

// Return in the page field goes to the number typed, clamped to the document, and empties the
// field; text that is no number leaves the page on 3 of 9 and stays for the user to correct.
void tst_PDFViewerRootView::submitPage()
{
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 9));
    QLineEdit *field = toolbar()->pageField()->lineEdit();
    const std::pair<QString, int> pageAfter[] = {{QStringLiteral("+7"), 6}, {QStringLiteral("-3"), 0},
        {QStringLiteral("9223372036854775807"), 8}, {QStringLiteral("9223372036854775808"), 2},
        {QStringLiteral(" 7"), 2}, {QStringLiteral("７"), 2}, {QString(), 2}};
    for (const auto &[typed, page] : pageAfter) {
        QVERIFY(v->showPage(2));
        field->setText(typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(v->model->viewport()->currentPageIndex(), page);
        QCOMPARE(field->text(), page == 2 ? typed : QString());
        QTRY_COMPARE(v->model->pageIndex(), page); // one event later
    }
}

// The document area, the strip and the status bar follow the model: without pages the empty
// state, no key hint, and of the buttons only "open" usable (the rule the menu shares); with them the canvas beside the
// thumbnails, the hint, and the page field showing page and count. The status bar shows the latest message, an error
// until a later command's status replaces it.
void tst_PDFViewerRootView::documentAreaAndStatusFollowTheModel()
{
    PDFViewerStatusBar *bar = v->root->statusBar();
    PDFViewerPageField *pageField = toolbar()->pageField();
    const auto disabled = [&] {
        QStringList ids;
        for (const QString &id : kAllButtons) {
            if (!toolbar()->button(id)->isEnabled())
                ids << id;
        }
        return ids;
    };
    QVERIFY(v->root->emptyState()->isVisible());
    QVERIFY(!bar->hintLabel()->isVisible());
    // Without a document the canvas is hidden.
    BlueprintPDFView *canvas = v->model->pdfView();
    QVERIFY(!canvas->isVisible());
    QCOMPARE(disabled(), kAllButtons.mid(1));
    QVERIFY(toolbar()->recentMenu()->isEnabled() && toolbar()->searchField()->lineEdit()->isEnabled());
    QCOMPARE(pageField->lineEdit()->placeholderText(), QStringLiteral("—"));
    QCOMPARE(pageField->countText(), QStringLiteral("/ —"));
    v->model->open(v->url(QStringLiteral("missing.pdf")));
    QVERIFY(v->model->hasError());
    QCOMPARE(bar->statusLabel()->text(), v->model->errorText());
    v->model->fitPage();
    QCOMPARE(bar->statusLabel()->text(), QStringLiteral("已适合页面"));

    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    QVERIFY(!v->root->emptyState()->isVisible());
    QVERIFY(v->root->splitView()->isAncestorOf(canvas));
    QVERIFY(canvas->isVisible());
    QCOMPARE(v->root->thumbnailView()->pdfView(), canvas);
    QVERIFY(canvas->width() > v->root->thumbnailView()->width()); // the canvas takes the spare width
    QCOMPARE(bar->statusLabel()->text(), v->model->statusText());
    QVERIFY(bar->hintLabel()->isVisible()); // its keys are checked in tst_PlenvoPDFApp
    QCOMPARE(disabled(), QStringList {QStringLiteral("pdf-previous-page")});
    QCOMPARE(pageField->lineEdit()->placeholderText(), QStringLiteral("1"));
    QCOMPARE(pageField->countText(), QStringLiteral("/ 3"));
    // A disabled button is its enabled self at 38 % opacity: black over the light bar comes out
    // near grey 150, where the palette's disabled grey dimmed once more would give about 220.
    const QImage previous = button("pdf-previous-page")->grab().toImage();
    int darkest = 255;
    for (int y = 0; y < previous.height(); ++y) {
        for (int x = 0; x < previous.width(); ++x)
            darkest = std::min(darkest, qGray(previous.pixel(x, y)));
    }
    QVERIFY2(darkest < 180, qPrintable(QString::number(darkest)));
    QVERIFY(v->showPage(2));
    QCOMPARE(disabled(), QStringList {QStringLiteral("pdf-next-page")});
    QCOMPARE(pageField->lineEdit()->placeholderText(), QStringLiteral("3"));

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
    const QList<std::pair<QWidget *, QColor>> texts {
        {v->root->statusBar()->hintLabel(), PDFViewerStyle::tertiary(dark)},
        {toolbar()->searchField()->resultLabel(), PDFViewerStyle::secondary(dark)},
        {toolbar()->pageField()->findChild<QLabel *>(QStringLiteral("pdf-page-count")),
            PDFViewerStyle::secondary(dark)},
        {toolbar()->zoomLabel(), PDFViewerStyle::primary(dark)},
    };
    for (const auto &[label, colour] : texts)
        QTRY_COMPARE(label->palette().color(QPalette::WindowText), colour); // the change is posted
    QCOMPARE(toolbar()->pageField()->lineEdit()->palette().color(QPalette::PlaceholderText),
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
    QLineEdit *pageInput = toolbar()->pageField()->lineEdit();
    pageInput->setText(QStringLiteral("3"));

    v->model->enterPresentationMode(false);
    v->platform.fullScreenWindows.insert(v->window.get());
    QVERIFY(v->root->isShowingPresentationLayout());
    QVERIFY(!toolbar()->isVisible());
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
    QTest::keyClick(toolbar()->searchField()->lineEdit(), Qt::Key_Escape);
    QCOMPARE(v->platform.toggledWindows.size(), 1);

    v->model->enterPresentationMode(false);
    PDFViewerExitPresentationButton *exit = v->root->presentationView()->exitButton();
    canvas->pdfViewport()->setScaleFactor(8); // the overview map shows, off the exit button
    const QRect map = canvas->overviewMap()->geometry();
    QVERIFY(canvas->overviewMap()->isVisible());
    QVERIFY(!QRect(canvas->viewport()->mapTo(v->root->presentationView(), map.topLeft()), map.size())
                 .intersects(exit->geometry()));
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

// The canvas's keys while presenting, from one page of five to another (-1: not a page key);
// their way through the canvas is walked in presentingMovesTheSameCanvas.
void tst_PDFViewerRootView::presenterKeys()
{
    const Qt::KeyboardModifiers none;
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int, int> keys[]
        = {{Qt::Key_Right, none, 2, 3}, {Qt::Key_Down, none, 2, 3}, {Qt::Key_PageDown, none, 2, 3},
            {Qt::Key_Space, none, 2, 3}, {Qt::Key_Return, none, 2, 3}, {Qt::Key_Enter, Qt::KeypadModifier, 2, 3},
            {Qt::Key_Left, none, 2, 1}, {Qt::Key_Up, none, 2, 1}, {Qt::Key_PageUp, none, 2, 1},
            {Qt::Key_Backspace, none, 2, 1}, {Qt::Key_Space, Qt::ShiftModifier, 2, 1}, {Qt::Key_Home, none, 2, 0},
            {Qt::Key_End, none, 2, 4}, {Qt::Key_PageDown, none, 4, 4}, {Qt::Key_Space, Qt::ControlModifier, 2, -1},
            {Qt::Key_Right, Qt::ShiftModifier, 2, -1}, {Qt::Key_Escape, none, 2, -1}};
    for (const auto &[key, modifiers, from, to] : keys) {
        const int page = PDFViewerPresentationView::pageForKey(key, modifiers, from, 5).value_or(-1);
        QVERIFY2(page == to, qPrintable(QKeySequence(QKeyCombination(modifiers, key)).toString()));
    }
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

void tst_PDFViewerRootView::buttonsDriveTheModelAndCanvas()
{
    QLabel *zoom = toolbar()->zoomLabel();
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    BlueprintPDFView *canvas = v->model->pdfView();

    button("pdf-next-page")->click();
    QCOMPARE(canvas->pdfViewport()->currentPageIndex(), 1);

    button("pdf-actual-size")->click();
    QCOMPARE(v->model->zoomPercentage(), 100);
    button("pdf-zoom-in")->click();
    QVERIFY(v->model->zoomPercentage() > 100);
    const QString percentage = QString::number(v->model->zoomPercentage()) + QLatin1Char('%');
    QCOMPARE(zoom->accessibleName(), QStringLiteral("当前缩放 ") + percentage);

    button("pdf-rotate-right")->click();
    QCOMPARE(canvas->pdfViewport()->currentPage()->rotation(), 90);
    button("pdf-reset-rotation")->click();
    QCOMPARE(canvas->pdfViewport()->currentPage()->rotation(), 0);

    button("pdf-presentation")->click();
    QVERIFY(v->model->isPresentationMode());
    button("pdf-presentation")->click();
    QVERIFY(!v->model->isPresentationMode());

    v->platform.nextChosenFile = std::nullopt;
    button("pdf-open")->click();
    QVERIFY(!v->platform.lastDialogDirectory.isEmpty());
}

// The search field and the model write each other; the result controls appear with a query,
// before any search has run. Focusing the field selects its text, so that typing replaces it.
void tst_PDFViewerRootView::searchFieldBindsTheModelAndTabWalksTheWindow()
{
    QVERIFY(v->activate());
    PDFViewerSearchField *search = toolbar()->searchField();
    QLineEdit *input = search->lineEdit();
    QVERIFY(!search->resultLabel()->isVisible());
    QTest::keyClicks(input, QStringLiteral("Page"));
    QCOMPARE(v->model->searchText(), QStringLiteral("Page"));
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("0"));
    QVERIFY(search->resultLabel()->isVisible());
    QVERIFY(search->previousButton()->isVisible() && search->nextButton()->isVisible());
    v->model->setSearchText(QString());
    QCOMPARE(input->text(), QString());
    QVERIFY(!search->resultLabel()->isVisible());

    v->model->setSearchText(QStringLiteral("grid"));
    v->root->focusSearchField();
    QVERIFY(input->hasFocus());
    QCOMPARE(input->selectedText(), QStringLiteral("grid"));

    // Return searches; the indicator goes when the find ends; the arrows step.
    QVERIFY(v->openPDF(QStringLiteral("doc.pdf"), 3));
    QTest::keyClicks(input, QStringLiteral("Page"));
    QTest::keyClick(input, Qt::Key_Return);
    QVERIFY(search->busyIndicator()->isVisible());
    QTRY_VERIFY(!v->model->isSearching());
    QVERIFY(!search->busyIndicator()->isVisible());
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("1 / 3"));
    search->nextButton()->click();
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("2 / 3"));
    search->previousButton()->click();
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("1 / 3"));

    // Tab walks the strip left to right, then the document area and the status bar.
    QList<QWidget *> expected = toolbar()->focusOrder();
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

void tst_PDFViewerRootView::recentMenu()
{
    PDFViewerRecentMenu *recent = toolbar()->recentMenu();
    QList<QAction *> items = recent->menu()->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0]->text(), QStringLiteral("暂无最近文件"));
    QVERIFY(!items[0]->isEnabled());

    QVERIFY(QDir(v->dir.path()).mkdir(QStringLiteral("sheets")));
    QVERIFY(v->openPDF(QStringLiteral("sheets/first.pdf"), 1));
    QVERIFY(v->openPDF(QStringLiteral("R&D plan.pdf"), 2));
    items = recent->menu()->actions();
    QCOMPARE(items.size(), 2);
    // Most recent first; an ampersand is shown, not taken as a mnemonic.
    QCOMPARE(items[0]->text(), QStringLiteral("R&&D plan"));
    QCOMPARE(items[1]->text(), QStringLiteral("first"));
    // Each entry's tooltip is its folder.
    QCOMPARE(items[0]->toolTip(), QDir::toNativeSeparators(v->dir.path()));
    QCOMPARE(items[1]->toolTip(), QDir::toNativeSeparators(v->path(QStringLiteral("sheets"))));

    items[1]->trigger();
    QCOMPARE(v->model->fileURL(), v->url(QStringLiteral("sheets/first.pdf")));

    // Regression: a name that is not UTF-8, stored as a file URL, showed "file:///…" there.
    const QByteArray stray = QFile::encodeName(v->path(QStringLiteral("sheets"))) + "/\xff.pdf";
    QVERIFY(TestPDFs::writePlainNative(stray, 1));
    v->model->open(PDFFileURL::fromNativePath(stray));
    ::unlink(stray.constData()); // QTemporaryDir cannot remove a name it cannot decode
    QCOMPARE(recent->menu()->actions().first()->toolTip(), QDir::toNativeSeparators(v->path(QStringLiteral("sheets"))));
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
