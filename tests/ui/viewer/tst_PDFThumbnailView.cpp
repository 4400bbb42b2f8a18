#include "BlueprintPDFView.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFThumbnailView.h"
#include "TestPDFs.h"

#include <QFile>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

class tst_PDFThumbnailView : public QObject {
    Q_OBJECT

private slots:
    void stripFollowsTheCanvas();
};

void tst_PDFThumbnailView::stripFollowsTheCanvas()
{
    QTemporaryDir dir;
    QVERIFY(TestPDFs::writePlain(dir.filePath(QStringLiteral("p.pdf")), 30));
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *strip = new PDFThumbnailView;
    auto *canvas = new BlueprintPDFView;
    layout->addWidget(strip);
    layout->addWidget(canvas, 1);
    strip->setFixedWidth(170);
    window.resize(900, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    strip->setPDFView(canvas);
    canvas->setDocument(PDFDocument::open(QFile::encodeName(dir.filePath(QStringLiteral("p.pdf")))));
    canvas->setAutoScales(true);

    // Thumbnails render for the pages in view, at background priority.
    strip->viewport()->repaint();
    QTRY_VERIFY(canvas->renderQueue()->isIdle());
    auto thumbnails = [&]() {
        int n = 0;
        for (int i = 0; i < 30; ++i) {
            PDFTileKey key;
            key.document = canvas->renderQueue()->generation();
            key.page = i;
            key.kind = PDFTileKey::Thumbnail;
            key.scaleKey = PDFTileKey::scaleKeyFor(std::min(112 / 595.0, 148 / 842.0));
            n += canvas->renderQueue()->cache().contains(key);
        }
        return n;
    };
    QVERIFY(thumbnails() >= 2);
    QVERIFY(thumbnails() < 30);

    // A click moves the canvas; a canvas page change scrolls the strip to its thumbnail.
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, strip->cellRect(2).center());
    QCOMPARE(canvas->currentPageIndex(), 2);
    canvas->goToPageIndex(25);
    QVERIFY(strip->viewport()->rect().contains(strip->cellRect(25)));
    QCOMPARE(strip->pageAt(strip->cellRect(25).center()), 25);

    // A wheel step over the strip scrolls the strip and leaves the zoom alone.
    const qreal scale = canvas->scaleFactor();
    const int before = strip->verticalScrollBar()->value();
    QWheelEvent wheel(QPointF(50, 50), strip->viewport()->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(strip->viewport(), &wheel);
    QCOMPARE(canvas->scaleFactor(), scale);
    QVERIFY(strip->verticalScrollBar()->value() < before);

    // Rotation shows in the thumbnail: its key turns with the page.
    canvas->document()->page(25)->setRotation(90);
    canvas->layoutDocumentView();
    strip->viewport()->repaint();
    QTRY_VERIFY(canvas->renderQueue()->isIdle());
    PDFTileKey rotated;
    rotated.document = canvas->renderQueue()->generation();
    rotated.page = 25;
    rotated.rotation = 90;
    rotated.kind = PDFTileKey::Thumbnail;
    rotated.scaleKey = PDFTileKey::scaleKeyFor(std::min(112 / 842.0, 148 / 595.0));
    QVERIFY(canvas->renderQueue()->cache().contains(rotated));

    // A new canvas (after closing) rebinds the strip.
    auto *fresh = new BlueprintPDFView;
    strip->setPDFView(fresh);
    QCOMPARE(strip->pageAt(QPoint(50, 50)), -1);
    delete fresh;
    QVERIFY(!strip->pdfView());
}

QTEST_MAIN(tst_PDFThumbnailView)
#include "tst_PDFThumbnailView.moc"
