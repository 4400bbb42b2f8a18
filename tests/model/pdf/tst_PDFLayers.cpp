#include "PDFDocument.h"
#include "TestPDFs.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Which of the layered page's five squares show ('x') at `scale`: each is drawn as a tile of
// 16 device pixels around its centre, which at 4× is small enough to come from a block of the
// page's recording and at 1× is the whole page's.
QString shownSquares(const PDFDocument &document, qreal scale)
{
    QString shown;
    for (int k = 0; k < 5; ++k) {
        const QPoint centre = (QPointF(30 + 55 * k, 100) * scale).toPoint();
        const QImage image = document.renderTile(0, 0, scale, QRect(centre - QPoint(8, 8), QSize(16, 16)));
        shown += !image.isNull() && qGray(image.pixel(8, 8)) < 128 ? QLatin1Char('x') : QLatin1Char('.');
    }
    return shown;
}

// How many times `text` is found in the document.
int hits(PDFDocument &document, const QString &text)
{
    QSignalSpy found(&document, &PDFDocument::didFindMatch);
    QSignalSpy ended(&document, &PDFDocument::didEndFind);
    document.beginFindString(text);
    return ended.wait(5000) ? int(found.count()) : -1;
}

} // namespace

class tst_PDFLayers : public QObject {
    Q_OBJECT

private slots:
    void followsOneLayerState_data();
    void followsOneLayerState();
};

void tst_PDFLayers::followsOneLayerState_data()
{
    QTest::addColumn<int>("throughMembership");
    // Layers marked by name: pages are recorded once and leave hidden layers out while drawing.
    QTest::newRow("marked by name") << -1;
    // A layer marked through a membership dictionary: the first page is recorded again.
    QTest::newRow("marked through membership") << 1;
}

void tst_PDFLayers::followsOneLayerState()
{
    QFETCH(int, throughMembership);
    const QStringList names {QStringLiteral("轴网"), QStringLiteral("墙体"), QStringLiteral("标注"),
        QStringLiteral("甲"), QStringLiteral("乙")};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("layers.pdf"));
    QVERIFY(TestPDFs::writeLayered(path, names, throughMembership));
    const std::shared_ptr<PDFDocument> document = PDFDocument::open(QFile::encodeName(path));
    QVERIFY(document);

    using K = PDFLayer::Kind;
    const PDFLayerList expected {{names[0], 0, K::CheckBox, true, false}, {names[1], 0, K::CheckBox, true, false},
        {names[2], 0, K::CheckBox, false, false}, {names[3], 0, K::Radio, true, false},
        {names[4], 0, K::Radio, false, false}};
    QCOMPARE(document->layers(), expected);
    // Search finds what is shown, read from the file before any page is recorded.
    QCOMPARE(hits(*document, QStringLiteral("L1")), 1);
    QCOMPARE(hits(*document, QStringLiteral("L2")), 0);
    QCOMPARE(shownSquares(*document, 1), QStringLiteral("xx.x."));

    struct Step {
        int row;
        bool visible;
        QVector<int> changedPages;
        const char *shown;
    };
    const Step steps[] = {
        {1, false, {0}, "x..x."},
        {4, true, {0}, "x...x"}, // its radio group's other layer goes
        {0, false, {0, 1}, "....x"},
        {0, false, {}, "....x"},
        {-1, true, {0, 1}, "xxx.x"}, // every check box; the radio group keeps its choice
        {-1, false, {0, 1}, "....."},
    };
    for (const Step &step : steps) {
        QCOMPARE(document->setLayerVisible(step.row, step.visible), step.changedPages);
        QCOMPARE(shownSquares(*document, 1), QLatin1String(step.shown));
        QCOMPARE(shownSquares(*document, 4), QLatin1String(step.shown));
    }
    QCOMPARE(document->layers()[3].visible, false);
    // And from the recorded page, which holds every layer.
    QCOMPARE(hits(*document, QStringLiteral("L0")), 0);
    document->setLayerVisible(0, true);
    QCOMPARE(hits(*document, QStringLiteral("L0")), 1);
}

QTEST_GUILESS_MAIN(tst_PDFLayers)
#include "tst_PDFLayers.moc"
