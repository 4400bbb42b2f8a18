#include "PDFStandIns.h"

#include <QPainter>
#include <QTest>

// A page of 1024 × 1024 points shown at 1 pixel per point: 2 × 2 tiles. Other scales and the
// preview are single-colour images, so the colour drawn tells which one stood in.
class tst_PDFStandIns : public QObject {
    Q_OBJECT

private slots:
    void init();
    void picksTheNearestWholeScaleOverThePreview();
    void partialScalesLieOverThePreview();
    void isComposedOnceAndReused();
    void outOfTimeDrawsRoughlyAndCachesNothing();
    void nothingCachedLeavesPaper();
    void dropsWhatLeavesTheView();

private:
    static PDFTileKey tile(qint64 scaleKey, int column = 0);
    static QImage solid(QSize size, Qt::GlobalColor colour);
    // Draws tile (0, 0) into a fresh canvas; returns its pixel at `at`.
    QRgb drawTile(bool mayCompose = true, bool *covered = nullptr, bool *rough = nullptr, QPoint at = {100, 100});

    PDFTileCache m_cache;
    PDFStandIns m_standIns;
    PDFStandIns::Page m_page;
    QImage m_preview;
};

void tst_PDFStandIns::init()
{
    m_cache = PDFTileCache();
    m_standIns = PDFStandIns();
    m_preview = solid(QSize(100, 100), Qt::blue);
    m_page
        = PDFStandIns::Page {tile(1'000'000), QSizeF(1024, 1024), QRect(0, 0, 1024, 1024), QPoint(0, 0), nullptr, {}};
}

PDFTileKey tst_PDFStandIns::tile(qint64 scaleKey, int column)
{
    PDFTileKey key;
    key.document = 1;
    key.page = 0;
    key.scaleKey = scaleKey;
    key.column = column;
    return key;
}

QImage tst_PDFStandIns::solid(QSize size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QRgb tst_PDFStandIns::drawTile(bool mayCompose, bool *covered, bool *rough, QPoint at)
{
    QImage canvas(1024, 1024, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    bool wasRough = false;
    const bool wasCovered = m_standIns.draw(painter, m_cache, m_page, tile(1'000'000), mayCompose, &wasRough);
    painter.end();
    if (covered)
        *covered = wasCovered;
    if (rough)
        *rough = wasRough;
    return canvas.pixel(at);
}

void tst_PDFStandIns::picksTheNearestWholeScaleOverThePreview()
{
    // Half scale: one 512 tile holds the whole page, so it covers tile (0, 0) wholly.
    m_cache.insert(tile(500'000), solid(QSize(512, 512), Qt::red));
    // Twice the scale: only one of the four tiles under tile (0, 0) is there.
    m_cache.insert(tile(2'000'000), solid(QSize(512, 512), Qt::green));
    m_page.preview = &m_preview;
    m_page.scales = {2'000'000, 500'000}; // equally near; the incomplete one comes first
    bool covered = false;
    QCOMPARE(drawTile(true, &covered), QColor(Qt::red).rgb());
    QVERIFY(covered);
}

void tst_PDFStandIns::partialScalesLieOverThePreview()
{
    m_cache.insert(tile(2'000'000), solid(QSize(512, 512), Qt::green)); // the top-left quarter
    m_page.preview = &m_preview;
    m_page.scales = {2'000'000};
    bool covered = false;
    QCOMPARE(drawTile(true, &covered), QColor(Qt::green).rgb());
    QVERIFY(covered);
    QCOMPARE(drawTile(true, nullptr, nullptr, {400, 400}), QColor(Qt::blue).rgb()); // the rest: the preview
}

void tst_PDFStandIns::isComposedOnceAndReused()
{
    m_page.preview = &m_preview;
    QCOMPARE(drawTile(), QColor(Qt::blue).rgb());
    QCOMPARE(m_standIns.count(), 1);
    // Reused while nothing better exists, even past the frame's time.
    bool rough = true;
    QCOMPARE(drawTile(false, nullptr, &rough), QColor(Qt::blue).rgb());
    QVERIFY(!rough);
    // A better picture replaces it.
    m_cache.insert(tile(500'000), solid(QSize(512, 512), Qt::red));
    m_page.scales = {500'000};
    QCOMPARE(drawTile(), QColor(Qt::red).rgb());
    QCOMPARE(m_standIns.count(), 1);
}

void tst_PDFStandIns::outOfTimeDrawsRoughlyAndCachesNothing()
{
    m_page.preview = &m_preview;
    bool covered = false;
    bool rough = false;
    QCOMPARE(drawTile(false, &covered, &rough), QColor(Qt::blue).rgb());
    QVERIFY(covered);
    QVERIFY(rough);
    QCOMPARE(m_standIns.count(), 0);
}

void tst_PDFStandIns::nothingCachedLeavesPaper()
{
    bool covered = true;
    QCOMPARE(drawTile(true, &covered), QColor(Qt::white).rgb());
    QVERIFY(!covered);
    QCOMPARE(m_standIns.count(), 0);
}

void tst_PDFStandIns::dropsWhatLeavesTheView()
{
    m_page.preview = &m_preview;
    drawTile();
    m_standIns.retain({tile(1'000'000, 1)});
    QCOMPARE(m_standIns.count(), 0);
    drawTile();
    m_standIns.drop(tile(1'000'000));
    QCOMPARE(m_standIns.count(), 0);
}

QTEST_MAIN(tst_PDFStandIns)
#include "tst_PDFStandIns.moc"
