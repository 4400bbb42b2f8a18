#include "PDFPage.h"

#include <QtTest>

class tst_PDFPage : public QObject {
    Q_OBJECT

private slots:
    void normalizedRotation_data();
    void normalizedRotation();
    void pageToDisplayTurnsClockwise_data();
    void pageToDisplayTurnsClockwise();
};

void tst_PDFPage::normalizedRotation_data()
{
    QTest::addColumn<int>("degrees");
    QTest::addColumn<int>("expected");
    QTest::newRow("360") << 360 << 0;
    QTest::newRow("-90") << -90 << 270;
    QTest::newRow("-450") << -450 << 270;
    QTest::newRow("450") << 450 << 90;
    // Off-grid values snap like the engine: half-way rounds up, 315 and above wrap to 0.
    QTest::newRow("44") << 44 << 0;
    QTest::newRow("45") << 45 << 90;
    QTest::newRow("340") << 340 << 0;
    QTest::newRow("-46") << -46 << 270;
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min() << 270;
    QTest::newRow("INT_MAX") << std::numeric_limits<int>::max() << 90;
}

void tst_PDFPage::normalizedRotation()
{
    QFETCH(int, degrees);
    QFETCH(int, expected);
    QCOMPARE(PDFPage::normalizedRotation(degrees), expected);
    PDFPage page(nullptr, 0, QSizeF(100, 200), 0);
    page.setRotation(degrees);
    QCOMPARE(page.rotation(), expected);
}

void tst_PDFPage::pageToDisplayTurnsClockwise_data()
{
    // A 100x200 page (as the file shows it): where its top-left corner and the point
    // (10, 20) land when the viewer turns it clockwise by `extra` degrees.
    QTest::addColumn<int>("extra");
    QTest::addColumn<QPointF>("topLeft");
    QTest::addColumn<QPointF>("point");
    QTest::newRow("0") << 0 << QPointF(0, 0) << QPointF(10, 20);
    QTest::newRow("90") << 90 << QPointF(200, 0) << QPointF(180, 10);
    QTest::newRow("180") << 180 << QPointF(100, 200) << QPointF(90, 180);
    QTest::newRow("270") << 270 << QPointF(0, 100) << QPointF(20, 90);
}

void tst_PDFPage::pageToDisplayTurnsClockwise()
{
    QFETCH(int, extra);
    QFETCH(QPointF, topLeft);
    QFETCH(QPointF, point);
    // The file's own rotation is already in pageSize(): only the difference turns the page.
    for (const int fileRotation : {0, 90, 270}) {
        PDFPage page(nullptr, 0, QSizeF(100, 200), fileRotation);
        page.setRotation(fileRotation + extra);
        const QTransform transform = page.pageToDisplay();
        QCOMPARE(transform.map(QPointF(0, 0)), topLeft);
        QCOMPARE(transform.map(QPointF(10, 20)), point);
        QCOMPARE(page.displaySize(), extra % 180 ? QSizeF(200, 100) : QSizeF(100, 200));
    }
}

QTEST_GUILESS_MAIN(tst_PDFPage)
#include "tst_PDFPage.moc"
