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

// An active window holding a button, the strip and its canvas, showing a 30-page document
// on page `startPage`.
struct StripWindow {
    explicit StripWindow(int startPage = 0)
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
        canvas->pdfViewport()->goToPageIndex(startPage);
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
    void keysMoveThroughThePages_data();
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

void tst_PDFThumbnailView::keysMoveThroughThePages_data()
{
    QTest::addColumn<int>("startPage");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expectedPage");

    const Qt::KeyboardModifiers none;
    QTest::newRow("down") << 3 << int(Qt::Key_Down) << none << 4;
    QTest::newRow("home") << 12 << int(Qt::Key_Home) << none << 0;
    QTest::newRow("end") << 12 << int(Qt::Key_End) << none << 29;
    // 600 pixels of strip hold three whole thumbnails.
    QTest::newRow("page down") << 12 << int(Qt::Key_PageDown) << none << 15;
    QTest::newRow("page down near the end") << 28 << int(Qt::Key_PageDown) << none << 29;
    QTest::newRow("page up near the start") << 1 << int(Qt::Key_PageUp) << none << 0;
    // Combinations with these keys belong to the application's shortcuts.
    QTest::newRow("ctrl+down") << 3 << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::ControlModifier) << 3;
    // Back to the top of the current page.
    QTest::newRow("return") << 5 << int(Qt::Key_Return) << none << 5;
    QTest::newRow("keypad enter") << 5 << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 5;
}

// Tab reaches the strip; with it focused, the keys move the canvas (scrolled a little into its
// page), and the strip follows.
void tst_PDFThumbnailView::keysMoveThroughThePages()
{
    QFETCH(int, startPage);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expectedPage);
    StripWindow w(startPage);
    QVERIFY(w.ready);
    const qreal top = w.canvas->pdfViewport()->pageRectInViewport(startPage).top();
    w.canvas->verticalScrollBar()->setValue(w.canvas->verticalScrollBar()->value() + 100);
    QCOMPARE(w.canvas->pdfViewport()->currentPageIndex(), startPage);
    w.button->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(w.button, Qt::Key_Tab);
    QVERIFY(w.strip->hasFocus());

    QTest::keyClick(w.strip, Qt::Key(key), modifiers);
    QCOMPARE(w.canvas->pdfViewport()->currentPageIndex(), expectedPage);
    QVERIFY(w.strip->viewport()->rect().contains(w.strip->cellRect(expectedPage)));
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        QCOMPARE(w.canvas->pdfViewport()->pageRectInViewport(startPage).top(), top);
}

QTEST_MAIN(tst_PDFThumbnailView)
#include "tst_PDFThumbnailView.moc"
