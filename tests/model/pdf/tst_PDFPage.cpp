#include "PDFPage.h"
#include "PDFSelection.h"

#include <QtTest>

class tst_PDFPage : public QObject {
    Q_OBJECT

private slots:
    void normalizedRotation_data();
    void normalizedRotation();
    void rotationStartsAtFileRotation();
    void displaySizeSwapsOnQuarterTurns_data();
    void displaySizeSwapsOnQuarterTurns();
    void pageToDisplayMapsCorners_data();
    void pageToDisplayMapsCorners();
    void selectionBoundsUnitesRects();
};

void tst_PDFPage::normalizedRotation_data()
{
    QTest::addColumn<int>("degrees");
    QTest::addColumn<int>("expected");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("90") << 90 << 90;
    QTest::newRow("270") << 270 << 270;
    QTest::newRow("360") << 360 << 0;
    QTest::newRow("-90") << -90 << 270;
    QTest::newRow("-180") << -180 << 180;
    QTest::newRow("-360") << -360 << 0;
    QTest::newRow("-450") << -450 << 270;
    QTest::newRow("450") << 450 << 90;
    QTest::newRow("720") << 720 << 0;
    // Off-grid values snap like the engine: half-way rounds up, 315 and above wrap to 0.
    QTest::newRow("44") << 44 << 0;
    QTest::newRow("45") << 45 << 90;
    QTest::newRow("134") << 134 << 90;
    QTest::newRow("135") << 135 << 180;
    QTest::newRow("340") << 340 << 0;
    QTest::newRow("-45") << -45 << 0;
    QTest::newRow("-46") << -46 << 270;
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min() << 270;
    QTest::newRow("INT_MAX") << std::numeric_limits<int>::max() << 90;
}

void tst_PDFPage::normalizedRotation()
{
    QFETCH(int, degrees);
    QFETCH(int, expected);
    QCOMPARE(PDFPage::normalizedRotation(degrees), expected);
}

void tst_PDFPage::rotationStartsAtFileRotation()
{
    PDFPage page(nullptr, 0, QSizeF(100, 200), -90);
    QCOMPARE(page.fileRotation(), 270);
    QCOMPARE(page.rotation(), 270);
    page.setRotation(-180);
    QCOMPARE(page.rotation(), 180);
    QCOMPARE(page.fileRotation(), 270);
    page.setRotation(1000);
    QCOMPARE(page.rotation(), 270);
}

void tst_PDFPage::displaySizeSwapsOnQuarterTurns_data()
{
    QTest::addColumn<int>("fileRotation");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("swapped");
    QTest::newRow("unrotated") << 0 << 0 << false;
    QTest::newRow("viewer 90") << 0 << 90 << true;
    QTest::newRow("viewer 180") << 0 << 180 << false;
    QTest::newRow("file 90, viewer same") << 90 << 90 << false;
    QTest::newRow("file 90, viewer 180") << 90 << 180 << true;
    QTest::newRow("file 270, viewer 0") << 270 << 0 << true;
}

void tst_PDFPage::displaySizeSwapsOnQuarterTurns()
{
    QFETCH(int, fileRotation);
    QFETCH(int, rotation);
    QFETCH(bool, swapped);
    PDFPage page(nullptr, 0, QSizeF(100, 200), fileRotation);
    page.setRotation(rotation);
    QCOMPARE(page.displaySize(), swapped ? QSizeF(200, 100) : QSizeF(100, 200));
}

void tst_PDFPage::pageToDisplayMapsCorners_data()
{
    // A 100x200 page (as the file shows it); where its top-left corner and the point
    // (10, 20) land when the viewer turns it clockwise by `extra` degrees.
    QTest::addColumn<int>("extra");
    QTest::addColumn<QPointF>("topLeft");
    QTest::addColumn<QPointF>("point");
    QTest::newRow("0") << 0 << QPointF(0, 0) << QPointF(10, 20);
    QTest::newRow("90") << 90 << QPointF(200, 0) << QPointF(180, 10);
    QTest::newRow("180") << 180 << QPointF(100, 200) << QPointF(90, 180);
    QTest::newRow("270") << 270 << QPointF(0, 100) << QPointF(20, 90);
}

void tst_PDFPage::pageToDisplayMapsCorners()
{
    QFETCH(int, extra);
    QFETCH(QPointF, topLeft);
    QFETCH(QPointF, point);
    for (const int fileRotation : {0, 90, 270}) {
        PDFPage page(nullptr, 0, QSizeF(100, 200), fileRotation);
        page.setRotation(fileRotation + extra);
        const QTransform transform = page.pageToDisplay();
        QCOMPARE(transform.map(QPointF(0, 0)), topLeft);
        QCOMPARE(transform.map(QPointF(10, 20)), point);
        QCOMPARE(transform.mapRect(QRectF(QPointF(0, 0), page.pageSize())),
                 QRectF(QPointF(0, 0), page.displaySize()));
    }
}

void tst_PDFPage::selectionBoundsUnitesRects()
{
    PDFSelection selection;
    QVERIFY(selection.isEmpty());
    QCOMPARE(selection.bounds(), QRectF());
    selection.pageIndex = 0;
    selection.rects = {QRectF(10, 10, 5, 5), QRectF(0, 30, 5, 5)};
    QVERIFY(!selection.isEmpty());
    QCOMPARE(selection.bounds(), QRectF(0, 10, 15, 25));
}

QTEST_GUILESS_MAIN(tst_PDFPage)
#include "tst_PDFPage.moc"
