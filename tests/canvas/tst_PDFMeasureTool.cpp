#include "BlueprintPDFView.h"
#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"
#include "PDFMeasureTool.h"
#include "PDFPage.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr qreal kMillimetre = 72 / 25.4; // points

PDFMeasureViewport viewport(QRectF area, double unitsPerPoint, const QString &ratio)
{
    return PDFMeasureViewport {area, ratio, QStringLiteral("mm"), unitsPerPoint};
}

} // namespace

class tst_PDFMeasureTool : public QObject {
    Q_OBJECT

private slots:
    void scaleComesFromViewportCalibrationOrPaper_data();
    void scaleComesFromViewportCalibrationOrPaper();
    void clicksSnapAndMeasureOnATurnedPage();
};

void tst_PDFMeasureTool::scaleComesFromViewportCalibrationOrPaper_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<bool>("calibrated");
    QTest::addColumn<QString>("text");
    const QPointF a(100, 100);
    const QPointF tenMillimetres = a + QPointF(10 * kMillimetre, 0);
    QTest::newRow("1:100 viewport") << QVector<QPointF> {a, tenMillimetres} << true
                                    << QStringLiteral("距离 1,000 mm（1:100）");
    QTest::newRow("later viewport on top") << QVector<QPointF> {a + QPointF(0, 300), tenMillimetres + QPointF(0, 300)}
                                           << true << QStringLiteral("距离 500 mm（1:50）");
    QTest::newRow("polyline") << QVector<QPointF> {a, tenMillimetres, tenMillimetres + QPointF(0, 5 * kMillimetre)}
                              << false << QStringLiteral("长度 1,500 mm（2 段，1:100）");
    // One point outside every viewport: the calibration, else the paper.
    QTest::newRow("calibration") << QVector<QPointF> {a, a + QPointF(0, 600)} << true
                                 << QStringLiteral("距离 12 m（已校准）");
    QTest::newRow("paper") << QVector<QPointF> {a, a + QPointF(0, 600)} << false
                           << QStringLiteral("距离 212 mm（图面尺寸）");
}

void tst_PDFMeasureTool::scaleComesFromViewportCalibrationOrPaper()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(bool, calibrated);
    QFETCH(QString, text);
    const QVector<PDFMeasureViewport> viewports {
        viewport(QRectF(0, 0, 500, 500), 100 / kMillimetre, QStringLiteral("1:100")),
        viewport(QRectF(0, 350, 500, 100), 50 / kMillimetre, QStringLiteral("1:50"))};
    // 600 points of paper are 12 m.
    const auto calibration = PDFMeasureScale::calibrated(600, 12, QStringLiteral("m"));
    QVERIFY(calibration);
    QCOMPARE(
        PDFMeasureScale::choose(viewports, calibrated ? calibration : std::nullopt, points).describe(points), text);
    QVERIFY(!PDFMeasureScale::calibrated(0, 12, QStringLiteral("m"))
        && !PDFMeasureScale::calibrated(10, qQNaN(), QStringLiteral("m")));
}

void tst_PDFMeasureTool::clicksSnapAndMeasureOnATurnedPage()
{
    // A 600 × 800 sheet at 1:100 with one line from (100, 100) to (400, 100), top-down.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.pdf"));
    PDFDocumentBuilder builder;
    PDFDocumentBuilder::Page page;
    page.size = QSizeF(600, 800);
    page.content = "100 700 m 400 700 l S";
    page.entries = "<< /VP [ << /BBox [0 0 600 800] /Measure << /R (1:100) >> >> ] >>";
    builder.addPage(page);
    QVERIFY(builder.save(path));

    BlueprintPDFView canvas;
    canvas.resize(700, 900);
    canvas.show();
    PDFViewport *view = canvas.pdfViewport();
    view->setDocument(PDFDocument::open(QFile::encodeName(path)));
    view->setScaleFactor(1);
    PDFMeasureTool *tool = canvas.measureTool();
    QSignalSpy measured(tool, &PDFMeasureTool::measurementChanged);
    QSignalSpy ready(tool, &PDFMeasureTool::pageDataReady);
    QVERIFY(!tool->click(QPointF(10, 10))); // off: clicks are the canvas's own

    for (int rotation : {0, 90}) {
        view->document()->page(0)->setRotation(rotation);
        view->layoutDocumentView();
        const QTransform toDisplay = view->document()->page(0)->pageToDisplay();
        const auto at = [&](QPointF pagePoint) {
            return view->pageRectInViewport(0).topLeft() + toDisplay.map(pagePoint) * view->scaleFactor();
        };
        tool->setMode(PDFMeasureTool::Mode::Measure);
        // The pointer coming over the page reads its snap points, once.
        QVERIFY(tool->hover(at(QPointF(250, 250))));
        QVERIFY(rotation || ready.wait());
        // Five pixels off the line's end: the point lands on the end.
        QVERIFY(tool->click(at(QPointF(104, 103))));
        QVERIFY(tool->click(at(QPointF(100, 100) + QPointF(0, 10 * kMillimetre))));
        QCOMPARE(measured.last().first().toString(), QStringLiteral("距离 1,000 mm（1:100）"));
        QVERIFY(tool->finish());
        QCOMPARE(tool->lastMeasurement(), QStringLiteral("距离 1,000 mm（1:100）"));
        tool->setMode(PDFMeasureTool::Mode::Off);
    }

    // Calibrating hands over the length between two points, snapped the same way.
    QSignalSpy calibration(tool, &PDFMeasureTool::calibrationMeasured);
    tool->setMode(PDFMeasureTool::Mode::Calibrate);
    const QRectF sheet = view->pageRectInViewport(0);
    QVERIFY(tool->click(sheet.topLeft() + QPointF(700, 100) - QPointF(3, 2)));
    QVERIFY(tool->click(sheet.topLeft() + QPointF(700, 400) + QPointF(2, 3)));
    QCOMPARE(calibration.size(), 1);
    QCOMPARE(calibration.first().first().toReal(), 300.0);
}

QTEST_MAIN(tst_PDFMeasureTool)
#include "tst_PDFMeasureTool.moc"
