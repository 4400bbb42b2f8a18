#include "PDFCanvasProbe.h"
#include "PDFDocument.h"
#include "PDFInvertedColors.h"
#include "PDFPage.h"
#include "PDFRenderBands.h"
#include "PDFRenderQueue.h"
#include "PDFStandIns.h"
#include "PDFTileCache.h"
#include "TestPDFs.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class tst_PDFRenderQueue : public QObject {
    Q_OBJECT

private slots:
    void cacheEvictsLeastRecentlyUsedWithinEachBudget();
    void requestsAreServedByPriorityThenDistanceAndUnwantedOnesDropped();
    void outdatedImagesStandInUntilDrawnAgain();
    void bandsSplitTheTileGridEvenly_data();
    void bandsSplitTheTileGridEvenly();
    void bandedTilesMatchTilesDrawnAlone();
    void standInsShowTheBestPictureAtHand();
    void invertedTilesAreDrawnAndCachedApart();
};

namespace {

PDFTileKey tile(
    int column, qint64 scaleKey = 1000000, PDFTileKey::Kind kind = PDFTileKey::Tile, quint64 document = 1, int row = 0)
{
    PDFTileKey key;
    key.document = document;
    key.page = 0;
    key.scaleKey = scaleKey;
    key.column = column;
    key.row = row;
    key.kind = kind;
    return key;
}

// A queue over one square page of `side` points that draws one request at a time.
bool openOnePageAtATime(PDFRenderQueue &queue, const QTemporaryDir &dir, qreal side)
{
    const QString file = dir.filePath(QStringLiteral("p.pdf"));
    if (!TestPDFs::writePlain(file, 1, QSizeF(side, side)))
        return false;
    queue.setMaximumRunning(1);
    queue.setDocument(PDFDocument::open(QFile::encodeName(file)));
    return queue.document() != nullptr;
}

QImage imageOfBytes(int kib)
{
    return QImage(256, kib, QImage::Format_RGB32); // 1 KiB a row
}

} // namespace

void tst_PDFRenderQueue::cacheEvictsLeastRecentlyUsedWithinEachBudget()
{
    PDFTileCache cache(3 << 10, 2 << 10);
    cache.insert(tile(0), imageOfBytes(1));
    cache.insert(tile(1), imageOfBytes(1));
    cache.insert(tile(2), imageOfBytes(1));
    QVERIFY(cache.find(tile(0))); // now the most recent
    cache.insert(tile(3), imageOfBytes(1));
    QVERIFY(cache.contains(tile(0)));
    QVERIFY(!cache.contains(tile(1)));
    // Whole-page images have their own budget: tiles never push them out.
    cache.insert(tile(0, 500000, PDFTileKey::Preview), imageOfBytes(2));
    for (int i = 10; i < 20; ++i)
        cache.insert(tile(i), imageOfBytes(1));
    QVERIFY(cache.contains(tile(0, 500000, PDFTileKey::Preview)));
    QCOMPARE(cache.bytesUsed(), qint64(5 << 10));
    // Scales on record follow insertions and evictions.
    cache.insert(tile(30, 2000000), imageOfBytes(1));
    PDFTileKey inverted = tile(31, 4000000);
    inverted.inverted = true;
    cache.insert(inverted, imageOfBytes(1)); // the inverted view's scales are its own
    QList<qint64> scales = cache.cachedTileScales(tile(0));
    std::sort(scales.begin(), scales.end());
    QCOMPARE(scales, (QList<qint64> {1000000, 2000000}));
    cache.insert(tile(0, 3000000, PDFTileKey::Tile, 2), imageOfBytes(1));
    cache.keepOnlyDocument(2);
    QCOMPARE(cache.count(), 1);
    QVERIFY(cache.cachedTileScales(tile(0)).isEmpty());
}

// One page of 4000 × 4000 points, rendered one tile at a time.
void tst_PDFRenderQueue::requestsAreServedByPriorityThenDistanceAndUnwantedOnesDropped()
{
    QTemporaryDir dir;
    PDFRenderQueue queue;
    QVERIFY(openOnePageAtATime(queue, dir, 4000));
    QList<int> order;
    connect(&queue, &PDFRenderQueue::imageReady, this, [&order](const PDFTileKey &key) { order.append(key.column); });
    const quint64 g = queue.generation();
    queue.request(tile(0, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 0); // starts at once
    queue.request(tile(1, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Background, 0);
    queue.request(tile(2, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 900);
    queue.request(tile(3, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 100);
    queue.request(tile(2, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 50); // moved closer
    QTRY_VERIFY(PDFCanvasProbe::isIdle(queue));
    QCOMPARE(order, (QList<int> {0, 2, 3, 1}));
    // Cached images are not rendered again.
    queue.request(tile(3, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 0);
    QVERIFY(PDFCanvasProbe::isIdle(queue));

    // Requests no longer wanted are dropped, on the next row of tiles.
    QSignalSpy ready(&queue, &PDFRenderQueue::imageReady);
    for (int c = 0; c < 6; ++c)
        queue.request(tile(c, 1000000, PDFTileKey::Tile, g, 1), PDFRenderQueue::Visible, c);
    queue.retain({tile(5, 1000000, PDFTileKey::Tile, g, 1)}, PDFTileKey::Tile);
    QTRY_VERIFY(PDFCanvasProbe::isIdle(queue));
    // Only the wanted tile arrives (the first one was running and may have finished first).
    QVERIFY(ready.count() <= 2);
    QVERIFY(queue.cache().contains(tile(5, 1000000, PDFTileKey::Tile, g, 1)));

    queue.request(tile(7, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 0);
    queue.setDocument(PDFDocument::open(QFile::encodeName(dir.filePath(QStringLiteral("p.pdf")))));
    QCOMPARE(queue.cache().count(), 0);
    ready.clear();
    QTest::qWait(200);
    QCOMPARE(ready.count(), 0); // the old document's render came back and was dropped
    queue.request(tile(0, 1000000, PDFTileKey::Tile, g), PDFRenderQueue::Visible, 0); // stale generation
    QVERIFY(PDFCanvasProbe::isIdle(queue));
}

void tst_PDFRenderQueue::outdatedImagesStandInUntilDrawnAgain()
{
    QTemporaryDir dir;
    PDFRenderQueue queue;
    QVERIFY(openOnePageAtATime(queue, dir, 2000));
    const quint64 g = queue.generation();
    const auto key = [g](int column) { return tile(column, 1000000, PDFTileKey::Tile, g); };
    queue.request(key(0), PDFRenderQueue::Visible, 0);
    QTRY_VERIFY(PDFCanvasProbe::isIdle(queue));
    queue.outdatePages({1}); // another page
    QVERIFY(queue.cache().contains(key(0)));

    queue.request(key(1), PDFRenderQueue::Visible, 0);
    queue.startRequested(); // drawing the old picture when the page changes
    QSignalSpy outdated(&queue, &PDFRenderQueue::imagesOutdated);
    queue.outdatePages({0});
    QCOMPARE(outdated.count(), 1);
    QVERIFY(queue.cache().find(key(0)) && !queue.cache().contains(key(0)));
    QTRY_VERIFY(PDFCanvasProbe::isIdle(queue));
    QVERIFY(!queue.cache().find(key(1)));
    queue.request(key(0), PDFRenderQueue::Visible, 0);
    QTRY_VERIFY(queue.cache().contains(key(0)));
}

void tst_PDFRenderQueue::bandsSplitTheTileGridEvenly_data()
{
    QTest::addColumn<QList<QPoint>>("cells"); // (column, row) of each tile
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QRect>("visible"); // what a view shows of the page
    QTest::addColumn<QList<QRect>>("bands");
    // An A0 sheet fitted at 0.415: 1399 × 990 px, tiles 512 wide. Two rows halve the pixels;
    // two column runs would leave 1024 of 1399 columns in one band.
    const QList<QPoint> fitted {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
    const QRect page(0, 0, 1399, 990);
    QTest::newRow("fitted sheet, by rows")
        << fitted << 2 << page << QList<QRect> {QRect(0, 0, 1399, 512), QRect(0, 512, 1399, 478)};
    // Only the view's part of each tile is drawn: 212 + 188 rows of 12 + 512 + 300 columns.
    QTest::newRow("view's part, by rows") << fitted << 2 << QRect(500, 300, 824, 400)
                                          << QList<QRect> {QRect(500, 300, 824, 212), QRect(500, 512, 824, 188)};
    QTest::newRow("one row, by columns") << QList<QPoint> {{0, 0}, {1, 0}, {2, 0}} << 2 << QRect(0, 0, 1399, 300)
                                         << QList<QRect> {QRect(0, 0, 512, 300), QRect(512, 0, 887, 300)};
    QTest::newRow("not a rectangle") << QList<QPoint> {{0, 0}, {1, 0}, {0, 1}} << 2 << page << QList<QRect> {};
}

void tst_PDFRenderQueue::bandsSplitTheTileGridEvenly()
{
    QFETCH(QList<QPoint>, cells);
    QFETCH(int, pieces);
    QFETCH(QRect, visible);
    QFETCH(QList<QRect>, bands);
    QList<PDFTileKey> tiles;
    QList<QRect> pixels;
    for (const QPoint &cell : std::as_const(cells)) {
        const PDFTileKey key = tile(cell.x(), PDFTileKey::scaleKeyFor(0.415), PDFTileKey::Tile, 1, cell.y());
        tiles.append(key);
        QVERIFY(QRect(0, 0, 1399, 990).contains(key.pixelRect(QSizeF(3370, 2384)))); // cut at the page's edge
        pixels.append(key.pixelRect(QSizeF(3370, 2384)) & visible);
    }
    QList<QRect> got;
    int covered = 0;
    for (const PDFRenderBands::Band &band : PDFRenderBands::split(tiles, pixels, pieces)) {
        got.append(band.pixels);
        for (const PDFTileKey &key : band.tiles)
            QVERIFY(band.pixels.contains(key.pixelRect(QSizeF(3370, 2384)) & visible));
        covered += int(band.tiles.size());
    }
    QCOMPARE(got, bands);
    QCOMPARE(covered, bands.isEmpty() ? 0 : int(tiles.size()));
}

// Tiles cut out of a band are the pixels the tile would have had on its own; asked for only
// the part a view shows, a tile comes back as that part first and whole when asked again.
void tst_PDFRenderQueue::bandedTilesMatchTilesDrawnAlone()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 1));
    PDFRenderQueue queue;
    queue.setDocument(PDFDocument::open(QFile::encodeName(file)));
    const PDFDocument &document = *queue.document();
    const QSizeF size = document.page(0)->displaySize();
    const QRect view(700, 600, 1100, 700); // "Page 1" at 8 ×, across four tiles
    for (const bool whole : {false, true}) {
        QList<PDFTileKey> keys;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                const PDFTileKey key
                    = tile(column, PDFTileKey::scaleKeyFor(8.0), PDFTileKey::Tile, queue.generation(), row);
                keys.append(key);
                queue.request(key, PDFRenderQueue::Visible, column + row, whole ? QRect() : view);
            }
        }
        QTRY_VERIFY(PDFCanvasProbe::isIdle(queue));
        for (const PDFTileKey &key : std::as_const(keys)) {
            const QRect pixels = key.pixelRect(size) & (whole ? key.pixelRect(size) : view);
            const QImage *image = queue.cache().find(key);
            const QList<PDFRenderQueue::Part> parts = queue.parts(key);
            QCOMPARE(parts.isEmpty(), pixels.isEmpty() || pixels == key.pixelRect(size));
            QVERIFY(image || !parts.isEmpty() || pixels.isEmpty());
            if (pixels.isEmpty())
                continue;
            // The parts (passes shared with other tiles) put together over the view's part.
            QImage drawn(pixels.size(), QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            QPainter painter(&drawn);
            for (const PDFRenderQueue::Part &part : parts)
                painter.drawImage(part.pixels.topLeft() - pixels.topLeft(), part.image);
            painter.end();
            const QImage alone = document.renderTile(0, 0, 8.0, pixels);
            QCOMPARE(image ? *image : drawn.convertToFormat(alone.format()), alone);
        }
    }
}

// A page of 1024 × 1024 points shown at 1 pixel per point: 2 × 2 tiles. The cached pictures
// are single-colour images, so the colour drawn tells which one stood in: the preview blue, a
// 512-pixel tile of half scale red (the whole page), one of twice the scale green (a quarter
// of tile (0, 0)). Walks from nothing cached to a whole scale, each picture better than the
// one before, then through the end of the stand-in.
void tst_PDFRenderQueue::standInsShowTheBestPictureAtHand()
{
    PDFTileCache cache;
    PDFStandIns standIns;
    PDFStandIns::Page page {tile(0), QSizeF(1024, 1024), QRect(0, 0, 1024, 1024), QPoint(0, 0), nullptr, {}};
    QImage preview(100, 100, QImage::Format_RGB32);
    preview.fill(Qt::blue);
    const auto cacheTile = [&cache](qint64 scaleKey, Qt::GlobalColor colour) {
        QImage image(512, 512, QImage::Format_RGB32);
        image.fill(colour);
        cache.insert(tile(0, scaleKey), image);
    };
    // Tile (0, 0) drawn into a fresh black canvas; draw()'s answers land in `covered` and `rough`.
    bool covered = false;
    bool rough = false;
    const auto drawTile = [&](bool mayCompose) {
        QImage canvas(1024, 1024, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        covered = standIns.draw(painter, cache, page, tile(0), mayCompose, &rough);
        painter.end();
        return canvas;
    };
    QCOMPARE(drawTile(true).pixelColor(100, 100), QColor(Qt::white)); // paper
    QVERIFY(!covered);
    QCOMPARE(standIns.count(), 0);

    // Out of the frame's time: drawn roughly, nothing composed.
    page.preview = &preview;
    QCOMPARE(drawTile(false).pixelColor(100, 100), QColor(Qt::blue));
    QVERIFY(covered && rough);
    QCOMPARE(standIns.count(), 0);

    // A partial scale lies over the preview.
    cacheTile(2000000, Qt::green);
    page.scales = {2000000};
    QImage drawn = drawTile(true);
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::green));
    QCOMPARE(drawn.pixelColor(400, 400), QColor(Qt::blue));
    QVERIFY(covered && !rough);
    QCOMPARE(standIns.count(), 1);

    // Of two equally near scales the whole one wins, though the partial one comes first; the
    // stand-in composed before is replaced.
    cacheTile(500000, Qt::red);
    page.scales = {2000000, 500000};
    drawn = drawTile(true);
    QCOMPARE(drawn.pixelColor(100, 100), QColor(Qt::red));
    QCOMPARE(drawn.pixelColor(400, 400), QColor(Qt::red));
    QCOMPARE(standIns.count(), 1);
    // Reused while nothing better exists, even past the frame's time.
    QCOMPARE(drawTile(false).pixelColor(100, 100), QColor(Qt::red));
    QVERIFY(!rough);

    // It goes when its tile leaves the view, or arrives.
    standIns.retain({tile(1)});
    QCOMPARE(standIns.count(), 0);
    drawTile(true);
    QCOMPARE(standIns.count(), 1);
    standIns.drop(tile(0));
    QCOMPARE(standIns.count(), 0);
}

// Tiles of both views asked for together, alternating along a row that bands would draw in a
// few passes, are drawn each in its own colours; both views' tiles of one place are kept side
// by side, so switching back shows the cached tiles at once.
void tst_PDFRenderQueue::invertedTilesAreDrawnAndCachedApart()
{
    QTemporaryDir dir;
    PDFRenderQueue queue;
    QVERIFY(openOnePageAtATime(queue, dir, 4000));
    QList<PDFTileKey> keys;
    for (int column = 0; column < 7; ++column) {
        keys.append(tile(column % 6, 1000000, PDFTileKey::Tile, queue.generation()));
        keys.last().inverted = column % 2 == 1 || column == 6;
        queue.request(keys.last(), PDFRenderQueue::Visible, column);
    }
    QTRY_VERIFY(PDFCanvasProbe::isIdle(queue));
    for (const PDFTileKey &key : std::as_const(keys)) {
        QVERIFY(queue.cache().find(key));
        QCOMPARE(queue.cache().find(key)->pixel(0, 0), PDFInvertedColors::paperOf(key.inverted));
    }
    QImage expected = *queue.cache().find(keys.first());
    PDFInvertedColors::invert(expected);
    QCOMPARE(*queue.cache().find(keys.last()), expected);
}

QTEST_MAIN(tst_PDFRenderQueue)
#include "tst_PDFRenderQueue.moc"
