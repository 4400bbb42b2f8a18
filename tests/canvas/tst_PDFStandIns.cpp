#include "PDFStandIns.h"

#include <QPainter>
#include <QTest>

#include <tuple>

// A page of 1024 × 1024 points shown at 1 pixel per point: 2 × 2 tiles. The cached pictures
// are single-colour images, so the colour drawn tells which one stood in: the preview blue, a
// 512-pixel tile of half scale red (the whole page), one of twice the scale green (a quarter
// of tile (0, 0)).
class tst_PDFStandIns : public QObject {
    Q_OBJECT

private slots:
    void standsInWithTheBestPicture();

private:
    static PDFTileKey tile(qint64 scaleKey, int column = 0);
    void cache(qint64 scaleKey, Qt::GlobalColor colour);
    // Tile (0, 0) drawn into a fresh black canvas; whether the stand-ins covered it, and roughly.
    std::tuple<QImage, bool, bool> drawTile(bool mayCompose = true);

    PDFTileCache m_cache;
    PDFStandIns m_standIns;
    PDFStandIns::Page m_page;
    QImage m_preview;
};

PDFTileKey tst_PDFStandIns::tile(qint64 scaleKey, int column)
{
    PDFTileKey key;
    key.document = 1;
    key.page = 0;
    key.scaleKey = scaleKey;
    key.column = column;
    return key;
}

void tst_PDFStandIns::cache(qint64 scaleKey, Qt::GlobalColor colour)
{
    QImage image(512, 512, QImage::Format_RGB32);
    image.fill(colour);
    m_cache.insert(tile(scaleKey), image);
}

std::tuple<QImage, bool, bool> tst_PDFStandIns::drawTile(bool mayCompose)
{
    QImage canvas(1024, 1024, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    bool rough = false;
    const bool covered = m_standIns.draw(painter, m_cache, m_page, tile(1'000'000), mayCompose, &rough);
    painter.end();
    return {canvas, covered, rough};
}

// Walks from nothing cached to a whole scale, each picture better than the one before, then
// through the end of the stand-in.
void tst_PDFStandIns::standsInWithTheBestPicture()
{
    m_preview = QImage(QSize(100, 100), QImage::Format_RGB32);
    m_preview.fill(Qt::blue);
    m_page
        = PDFStandIns::Page {tile(1'000'000), QSizeF(1024, 1024), QRect(0, 0, 1024, 1024), QPoint(0, 0), nullptr, {}};
    auto [drawn, covered, rough] = drawTile();
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::white)); // paper
    QVERIFY(!covered);
    QCOMPARE(m_standIns.count(), 0);

    // Out of the frame's time: drawn roughly, nothing composed.
    m_page.preview = &m_preview;
    std::tie(drawn, covered, rough) = drawTile(false);
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::blue));
    QVERIFY(covered && rough);
    QCOMPARE(m_standIns.count(), 0);

    // A partial scale lies over the preview.
    cache(2'000'000, Qt::green);
    m_page.scales = {2'000'000};
    std::tie(drawn, covered, rough) = drawTile();
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::green));
    QCOMPARE(drawn.pixelColor(400, 400), QColor(Qt::blue));
    QVERIFY(covered && !rough);
    QCOMPARE(m_standIns.count(), 1);

    // Of two equally near scales the whole one wins, though the partial one comes first; the
    // stand-in composed before is replaced.
    cache(500'000, Qt::red);
    m_page.scales = {2'000'000, 500'000};
    std::tie(drawn, covered, rough) = drawTile();
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::red));
    QCOMPARE(drawn.pixelColor(400, 400), QColor(Qt::red));
    QCOMPARE(m_standIns.count(), 1);
    // Reused while nothing better exists, even past the frame's time.
    std::tie(drawn, covered, rough) = drawTile(false);
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::red));
    QVERIFY(!rough);

    // It goes when its tile leaves the view, or arrives.
    m_standIns.retain({tile(1'000'000, 1)});
    QCOMPARE(m_standIns.count(), 0);
    drawTile();
    QCOMPARE(m_standIns.count(), 1);
    m_standIns.drop(tile(1'000'000));
    QCOMPARE(m_standIns.count(), 0);
}

QTEST_MAIN(tst_PDFStandIns)
#include "tst_PDFStandIns.moc"
