#include "PDFDocument.h"
#include "PDFPage.h"
#include "ViewerModelFixture.h"

#include <QtTest>

#include <cmath>
#include <limits>

class tst_PDFViewerNavigation : public QObject {
    Q_OBJECT

private slots:
    void goToPageClampsAnyNumber_data();
    void goToPageClampsAnyNumber();
    void zoomPercentageShowsTheScaleTheCanvasTook();
    void rotationTurnsAndResetsToTheFileRotation();
    void commandsWithoutDocumentChangeNothing();
};

void tst_PDFViewerNavigation::goToPageClampsAnyNumber_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<int>("index");
    QTest::newRow("0") << qint64(0) << 0;
    QTest::newRow("7") << qint64(7) << 6;
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << 0;
    QTest::newRow("most positive") << std::numeric_limits<qint64>::max() << 11;
    // Regression guards: narrowing n - 1 to int before clamping lands on pages 2 and 7.
    QTest::newRow("2^32 + 2") << (qint64(1) << 32) + 2 << 11;
    QTest::newRow("-2^32 + 7") << -(qint64(1) << 32) + 7 << 0;
}

void tst_PDFViewerNavigation::goToPageClampsAnyNumber()
{
    QFETCH(qint64, number);
    QFETCH(int, index);
    ViewerModelFixture f;
    QVERIFY(f.openPDF(QStringLiteral("A.pdf"), 12));
    f.model->viewport()->goToPageIndex(4);
    f.model->goToPage(number);
    QCOMPARE(f.model->viewport()->currentPageIndex(), index);
    QCOMPARE(f.model->pageIndex(), index);
}

// As a wheel zoom or a fit would: the canvas changes its own scale and announces it; the
// percentage is rounded half away from zero. Zoom steps multiply the scale (the limits:
// tst_BlueprintPDFView) and end fitting.
void tst_PDFViewerNavigation::zoomPercentageShowsTheScaleTheCanvasTook()
{
    ViewerModelFixture f;
    QVERIFY(TestPDFs::writePlain(f.path(QStringLiteral("A0.pdf")), 2, QSizeF(3370, 2384)));
    f.model->open(f.url(QStringLiteral("A0.pdf")));
    for (const auto &[scale, percentage] : {std::pair {1.125, 113}, std::pair {0.125, 13}, std::pair {50.0, 800}}) {
        f.model->viewport()->setScaleFactor(scale);
        QTRY_COMPARE(f.model->zoomPercentage(), percentage);
    }
    f.model->fitPage();
    QVERIFY(f.model->viewport()->autoScales());
    QCOMPARE(f.model->statusText(), QStringLiteral("已适合页面"));
    QVERIFY(f.model->zoomPercentage() < 50);
    QCOMPARE(f.model->zoomPercentage(), int(std::lround(f.model->viewport()->scaleFactor() * 100)));
    f.model->zoomIn();
    QVERIFY(!f.model->viewport()->autoScales());
    f.model->actualSize();
    QCOMPARE(f.model->zoomPercentage(), 100);
    QCOMPARE(f.model->statusText(), QStringLiteral("已恢复 100% 实际大小"));
    f.model->zoomIn();
    f.model->zoomIn();
    QCOMPARE(f.model->zoomPercentage(), 127);
    f.model->actualSize();
    f.model->zoomOut();
    QCOMPARE(f.model->zoomPercentage(), 89);
}

void tst_PDFViewerNavigation::rotationTurnsAndResetsToTheFileRotation()
{
    ViewerModelFixture f;
    QVERIFY(TestPDFs::writeRotated(f.path(QStringLiteral("R.pdf")), {0, 90, 270}));
    f.model->open(f.url(QStringLiteral("R.pdf")));
    PDFViewport *view = f.model->viewport();
    PDFPage *first = f.model->document()->page(0);

    f.model->rotateCurrentPageLeft();
    QCOMPARE(first->rotation(), 270);
    QCOMPARE(f.model->statusText(), QStringLiteral("当前页已向左旋转 90°"));
    // Re-laid out: the page is shown landscape now.
    const QRectF shown = view->pageRectInViewport(0);
    QVERIFY(shown.width() > shown.height());

    f.model->goToPage(3); // stored at 270
    f.model->rotateCurrentPageRight();
    QCOMPARE(f.model->document()->page(2)->rotation(), 0);
    QCOMPARE(f.model->statusText(), QStringLiteral("当前页已向右旋转 90°"));

    f.model->goToPage(2); // stored at 90: reset returns there, not to 0
    f.model->rotateCurrentPageRight();
    f.model->rotateCurrentPageRight();
    QCOMPARE(f.model->document()->page(1)->rotation(), 270);
    f.model->resetCurrentPageRotation();
    QCOMPARE(f.model->document()->page(1)->rotation(), 90);
    QCOMPARE(f.model->statusText(), QStringLiteral("当前页已恢复默认方向"));
    QCOMPARE(first->rotation(), 270);
}

void tst_PDFViewerNavigation::commandsWithoutDocumentChangeNothing()
{
    ViewerModelFixture f;
    const QUrl a = f.writePDF(QStringLiteral("A.pdf"), 3);
    // Before any document, and after a close: the canvas is new, nothing of the closed
    // document can be turned.
    for (int round = 0; round < 2; ++round) {
        f.model->goToPage(std::numeric_limits<qint64>::min());
        f.model->rotateCurrentPageLeft();
        f.model->resetCurrentPageRotation();
        QCOMPARE(f.model->statusText(), PDFViewerModel::emptyStatusText);
        QCOMPARE(f.model->pageIndex(), 0);
        f.model->open(a);
        f.model->closeDocument();
    }
    // Zoom still reports the scale the empty canvas really has.
    f.model->zoomIn();
    QCOMPARE(f.model->zoomPercentage(), int(std::lround(f.model->viewport()->scaleFactor() * 100)));
}

QTEST_MAIN(tst_PDFViewerNavigation)
#include "tst_PDFViewerNavigation.moc"
