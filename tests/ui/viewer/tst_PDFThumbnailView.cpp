#include "BlueprintPDFView.h"
#include "PDFCanvasProbe.h"
#include "PDFDocument.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFThumbnailView.h"
#include "TestPDFs.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// An active window holding a button, the strip and its canvas, showing a 30-page document.
struct StripWindow {
    StripWindow()
    {
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(strip);
        layout->addWidget(canvas, 1);
        strip->setFixedWidth(170);
        window.resize(900, 600);
        window.show();
        window.activateWindow();
        ready = QTest::qWaitForWindowActive(&window) && TestPDFs::writePlain(dir.filePath(QStringLiteral("p.pdf")), 30);
        strip->setPDFView(canvas);
        canvas->pdfViewport()->setDocument(PDFDocument::open(QFile::encodeName(dir.filePath(QStringLiteral("p.pdf")))));
        canvas->pdfViewport()->setAutoScales(true);
    }

    QTemporaryDir dir;
    QWidget window;
    QPushButton *button = new QPushButton(QStringLiteral("前"));
    PDFThumbnailView *strip = new PDFThumbnailView;
    BlueprintPDFView *canvas = new BlueprintPDFView;
    bool ready = false;
};

} // namespace

class tst_PDFThumbnailView : public QObject {
    Q_OBJECT

private slots:
    void stripFollowsTheCanvas();
    void keysMoveThroughThePages();
};

// Whether the render cache holds page `page`'s thumbnail, drawn at `rotation`.
bool hasThumbnail(BlueprintPDFView *canvas, int page, int rotation = 0)
{
    PDFTileKey key;
    key.document = canvas->renderQueue()->generation();
    key.page = page;
    key.rotation = rotation;
    key.kind = PDFTileKey::Thumbnail;
    key.scaleKey = PDFTileKey::scaleKeyFor(
        rotation % 180 ? std::min(112 / 842.0, 148 / 595.0) : std::min(112 / 595.0, 148 / 842.0));
    return canvas->renderQueue()->cache().contains(key);
}

void tst_PDFThumbnailView::stripFollowsTheCanvas()
{
    StripWindow w;
    QVERIFY(w.ready);
    PDFThumbnailView *strip = w.strip;
    BlueprintPDFView *canvas = w.canvas;

    // Thumbnails render for the pages in view, at background priority.
    strip->viewport()->repaint();
    QTRY_VERIFY(PDFCanvasProbe(*canvas).isRenderIdle());
    int thumbnails = 0;
    for (int i = 0; i < 30; ++i)
        thumbnails += hasThumbnail(canvas, i);
    QVERIFY(thumbnails >= 2);
    QVERIFY(thumbnails < 30);

    // A click moves the canvas; a canvas page change scrolls the strip to its thumbnail.
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, strip->cellRect(2).center());
    QCOMPARE(canvas->pdfViewport()->currentPageIndex(), 2);
    canvas->pdfViewport()->goToPageIndex(25);
    QVERIFY(strip->viewport()->rect().contains(strip->cellRect(25)));
    QCOMPARE(strip->pageAt(strip->cellRect(25).center()), 25);

    // Rotation shows in the thumbnail: its key turns with the page.
    canvas->pdfViewport()->document()->page(25)->setRotation(90);
    canvas->pdfViewport()->layoutDocumentView();
    strip->viewport()->repaint();
    QTRY_VERIFY(PDFCanvasProbe(*canvas).isRenderIdle());
    QVERIFY(hasThumbnail(canvas, 25, 90));

    // A new canvas (after closing) rebinds the strip.
    auto *fresh = new BlueprintPDFView;
    strip->setPDFView(fresh);
    QCOMPARE(strip->pageAt(QPoint(50, 50)), -1);
    delete fresh;
    QVERIFY(!strip->pdfView());
}

// Tab reaches the strip; with it focused, the keys move the canvas (scrolled a little into its
// page), and the strip follows. 600 pixels of strip hold three whole thumbnails; combinations
// with these keys belong to the application's shortcuts; Return goes back to the top of the page.
void tst_PDFThumbnailView::keysMoveThroughThePages()
{
    StripWindow w;
    QVERIFY(w.ready);
    PDFViewport *view = w.canvas->pdfViewport();
    const Qt::KeyboardModifiers none;
    const std::tuple<int, Qt::Key, Qt::KeyboardModifiers, int> presses[] = {{3, Qt::Key_Down, none, 4},
        {12, Qt::Key_Home, none, 0}, {12, Qt::Key_End, none, 29}, {12, Qt::Key_PageDown, none, 15},
        {28, Qt::Key_PageDown, none, 29}, {1, Qt::Key_PageUp, none, 0}, {3, Qt::Key_Down, Qt::ControlModifier, 3},
        {5, Qt::Key_Return, none, 5}, {5, Qt::Key_Enter, Qt::KeypadModifier, 5}};
    for (const auto &[start, key, modifiers, expected] : presses) {
        view->goToPageIndex(start);
        const qreal top = view->pageRectInViewport(start).top();
        w.canvas->verticalScrollBar()->setValue(w.canvas->verticalScrollBar()->value() + 100);
        QCOMPARE(view->currentPageIndex(), start);
        w.button->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w.button, Qt::Key_Tab);
        QVERIFY(w.strip->hasFocus());
        QTest::keyClick(w.strip, key, modifiers);
        QCOMPARE(view->currentPageIndex(), expected);
        QVERIFY(w.strip->viewport()->rect().contains(w.strip->cellRect(expected)));
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            QCOMPARE(view->pageRectInViewport(start).top(), top);
    }
}

QTEST_MAIN(tst_PDFThumbnailView)
#include "tst_PDFThumbnailView.moc"
