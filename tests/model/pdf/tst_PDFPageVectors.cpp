#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"
#include "PDFSnapIndex.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QPointF>)

class tst_PDFPageVectors : public QObject {
    Q_OBJECT

private slots:
    void snapsToEndsAndCrossings_data();
    void snapsToEndsAndCrossings();
    void readsPathsAndViewportsInPageSpace();
};

void tst_PDFPageVectors::snapsToEndsAndCrossings_data()
{
    QTest::addColumn<QPointF>("click");
    QTest::addColumn<std::optional<QPointF>>("expected");
    // A long horizontal line (listed outside the grid), a short vertical one crossing it and
    // an L whose corner is near the crossing.
    QTest::newRow("end") << QPointF(498, 101) << std::optional<QPointF>(QPointF(500, 100));
    QTest::newRow("crossing") << QPointF(202, 98) << std::optional<QPointF>(QPointF(200, 100));
    QTest::newRow("curve end") << QPointF(401, 402) << std::optional<QPointF>(QPointF(400, 400));
    QTest::newRow("on a line but far from ends") << QPointF(350, 100) << std::optional<QPointF>();
    QTest::newRow("nothing near") << QPointF(20, 700) << std::optional<QPointF>();
}

void tst_PDFPageVectors::snapsToEndsAndCrossings()
{
    QFETCH(QPointF, click);
    QFETCH(std::optional<QPointF>, expected);
    PDFSnapIndex index(QRectF(0, 0, 600, 800));
    index.addSegment(QPointF(0, 100), QPointF(500, 100));
    index.addSegment(QPointF(200, 50), QPointF(200, 150));
    index.addSegment(QPointF(250, 105), QPointF(250, 200));
    index.addPoint(QPointF(400, 400));
    // Enough short pieces elsewhere that the grid has many cells.
    for (int i = 0; i < 400; ++i)
        index.addSegment(QPointF(10 + i, 600), QPointF(10 + i, 601));
    index.finish();
    QCOMPARE(index.snap(click, 6), expected);
}

void tst_PDFPageVectors::readsPathsAndViewportsInPageSpace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scaled.pdf"));
    PDFDocumentBuilder builder;
    PDFDocumentBuilder::Page page;
    page.size = QSizeF(600, 800);
    // A stroked line at y = 700 in file space (100 from the top) and a filled rectangle whose
    // corner is at (300, 200), drawn through a translation.
    page.content = "100 700 m 400 700 l S 1 0 0 1 250 150 cm 0 0 50 50 re f";
    // The lower half is drawn at 1:100 in millimetres, the upper half at 1:50 by its ratio
    // alone; a viewport without a usable scale is left out.
    page.entries = "<< /VP [ << /BBox [0 0 600 400] /Measure << /Subtype /RL /R (1:100)"
                   " /X [ << /U (mm) /C 35.27778 >> ] >> >>"
                   " << /BBox [0 400 600 800] /Measure << /R (1:50) >> >>"
                   " << /BBox [0 0 10 10] /Measure << /R (big) /X [ << /C -1 >> ] >> >> ] >>";
    for (int rotate : {0, 90}) {
        page.rotate = rotate;
        builder = PDFDocumentBuilder();
        builder.addPage(page);
        QVERIFY(builder.save(path));
        const auto document = PDFDocument::open(QFile::encodeName(path));
        QVERIFY(document);

        const auto snaps = document->snapIndex(0);
        QVERIFY(snaps);
        // Page space has the file's rotation applied: a quarter turn clockwise takes the
        // upright page's (x, y) to (800 - y, x).
        const auto place = [rotate](QPointF p) { return rotate ? QPointF(800 - p.y(), p.x()) : p; };
        QCOMPARE(snaps->snap(place(QPointF(103, 98)), 6), std::optional<QPointF>(place(QPointF(100, 100))));
        QCOMPARE(snaps->snap(place(QPointF(298, 603)), 6), std::optional<QPointF>(place(QPointF(300, 600))));

        const QVector<PDFMeasureViewport> viewports = document->measureViewports(0);
        QCOMPARE(viewports.size(), 2);
        QCOMPARE(viewports[0].area, rotate ? QRectF(0, 0, 400, 600) : QRectF(0, 400, 600, 400));
        QCOMPARE(viewports[0].ratio, QStringLiteral("1:100"));
        QCOMPARE(viewports[0].unit, QStringLiteral("mm"));
        // Ten millimetres on the paper are a metre on site.
        QCOMPARE(qRound(viewports[0].unitsPerPoint * 10 * 72 / 25.4), 1000);
        QCOMPARE(qRound(viewports[1].unitsPerPoint * 10 * 72 / 25.4), 500);
    }
}

QTEST_GUILESS_MAIN(tst_PDFPageVectors)
#include "tst_PDFPageVectors.moc"
