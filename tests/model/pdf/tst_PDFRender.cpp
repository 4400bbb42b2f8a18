#include "PDFDocument.h"
#include "PDFPage.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

// The bounding box of the pixels darker than mid-grey; null when the image is blank.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) < 128)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

bool isBlankWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xffffff) != 0xffffff)
                return false;
        }
    }
    return true;
}

QRect fullPage(const PDFPage *page, qreal scale)
{
    return QRect(QPoint(0, 0), (page->displaySize() * scale).toSize());
}

} // namespace

class tst_PDFRender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void drawsTextOnWhitePaper();
    void tileIsCutFromTheFullPage();
    void viewerRotationTurnsThePage_data();
    void viewerRotationTurnsThePage();
    void fileRotationIsDrawnAsTheFileShowsIt();
    void cancelledCookieYieldsNullImage();
    void invalidRequestsFail_data();
    void invalidRequestsFail();
    void concurrentRendersAgreeWhileCacheEvicts();

private:
    std::shared_ptr<PDFDocument> open(const QString &name)
    {
        return PDFDocument::open(QFile::encodeName(m_dir.filePath(name)));
    }
    QTemporaryDir m_dir;
};

void tst_PDFRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("plain.pdf")), 4, QSizeF(300, 200),
                                 {QStringLiteral("North"), QStringLiteral("East")}));
    QVERIFY(TestPDFs::writeRotated(m_dir.filePath(QStringLiteral("rotated.pdf")), {90}));
}

void tst_PDFRender::drawsTextOnWhitePaper()
{
    const auto document = open(QStringLiteral("plain.pdf"));
    QVERIFY(document);
    PDFError error;
    const QImage image = document->renderTile(0, 0, 1.0, QRect(0, 0, 300, 200), nullptr, &error);
    QVERIFY2(!image.isNull(), qPrintable(error.message));
    QCOMPARE(error.kind, PDFErrorKind::None);
    QCOMPARE(image.size(), QSize(300, 200));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    // "Page 1" has its baseline 100 pt from the top at x = 90, "North" 50 pt below it.
    const QRect ink = inkBounds(image);
    QVERIFY2(ink.left() >= 88 && ink.left() <= 95, qPrintable(QString::number(ink.left())));
    QVERIFY(ink.top() >= 75 && ink.top() <= 90);
    QVERIFY(ink.bottom() >= 145 && ink.bottom() <= 156);
    QVERIFY(isBlankWhite(image.copy(0, 0, 80, 200)));
    QVERIFY(isBlankWhite(image.copy(0, 160, 300, 40)));
}

void tst_PDFRender::tileIsCutFromTheFullPage()
{
    const auto document = open(QStringLiteral("plain.pdf"));
    QVERIFY(document);
    const QImage full = document->renderTile(1, 0, 2.0, QRect(0, 0, 600, 400));
    const QRect tile(150, 140, 256, 128);
    const QImage part = document->renderTile(1, 0, 2.0, tile);
    QVERIFY(!full.isNull() && !part.isNull());
    QVERIFY(!isBlankWhite(part));
    QCOMPARE(part, full.copy(tile));
    // A tile past the page's edge is drawn as blank paper, not refused.
    const QImage outside = document->renderTile(1, 0, 2.0, QRect(600, 400, 64, 64));
    QVERIFY(!outside.isNull());
    QVERIFY(isBlankWhite(outside));
}

void tst_PDFRender::viewerRotationTurnsThePage_data()
{
    QTest::addColumn<int>("rotation");
    QTest::newRow("0") << 0;
    QTest::newRow("90") << 90;
    QTest::newRow("180") << 180;
    QTest::newRow("270") << 270;
    QTest::newRow("-90") << -90;
}

// The canvas places hits and links with pageToDisplay(); the drawing must agree with it.
void tst_PDFRender::viewerRotationTurnsThePage()
{
    QFETCH(int, rotation);
    const auto document = open(QStringLiteral("plain.pdf"));
    QVERIFY(document);
    PDFPage *page = document->page(0);
    const QRect upright = inkBounds(document->renderTile(0, 0, 1.0, fullPage(page, 1.0)));

    page->setRotation(rotation);
    const QImage image = document->renderTile(0, rotation, 1.0, fullPage(page, 1.0));
    QVERIFY(!image.isNull());
    const bool sideways = page->rotation() == 90 || page->rotation() == 270;
    QCOMPARE(image.size(), sideways ? QSize(200, 300) : QSize(300, 200));
    const QRectF expected = page->pageToDisplay().mapRect(QRectF(upright));
    const QRect ink = inkBounds(image);
    QVERIFY2(qAbs(ink.left() - expected.left()) <= 2 && qAbs(ink.top() - expected.top()) <= 2
                 && qAbs(ink.width() - expected.width()) <= 2
                 && qAbs(ink.height() - expected.height()) <= 2,
             qPrintable(QStringLiteral("ink %1,%2 %3x%4").arg(ink.left()).arg(ink.top())
                            .arg(ink.width()).arg(ink.height())));
}

void tst_PDFRender::fileRotationIsDrawnAsTheFileShowsIt()
{
    const auto document = open(QStringLiteral("rotated.pdf"));
    QVERIFY(document);
    PDFPage *page = document->page(0);
    QCOMPARE(page->rotation(), 90);
    // As the file shows it: sideways, the text running down near the right edge.
    const QImage shown = document->renderTile(0, page->rotation(), 0.5, fullPage(page, 0.5));
    QCOMPARE(shown.size(), QSize(421, 298));
    const QRect ink = inkBounds(shown);
    QVERIFY(ink.left() > 421 / 2);
    QVERIFY(ink.height() > ink.width());
    // Turned back to 0, the page stands upright with its text across the top.
    page->setRotation(0);
    const QImage upright = document->renderTile(0, 0, 0.5, fullPage(page, 0.5));
    QCOMPARE(upright.size(), QSize(298, 421));
    QVERIFY(inkBounds(upright).width() > inkBounds(upright).height());
    QVERIFY(inkBounds(upright).top() < 421 / 2);
}

void tst_PDFRender::cancelledCookieYieldsNullImage()
{
    const auto document = open(QStringLiteral("plain.pdf"));
    QVERIFY(document);
    PDFRenderCookie cookie;
    QVERIFY(!cookie.isCancelled());
    cookie.cancel();
    QVERIFY(cookie.isCancelled());
    PDFError error;
    QVERIFY(document->renderTile(2, 0, 1.0, QRect(0, 0, 100, 100), &cookie, &error).isNull());
    QCOMPARE(error.kind, PDFErrorKind::Cancelled);

    // The cancelled request leaves nothing behind: the page still draws in full afterwards.
    PDFRenderCookie fresh;
    const QImage image = document->renderTile(2, 0, 1.0, QRect(0, 0, 300, 200), &fresh, &error);
    QVERIFY(!image.isNull());
    QCOMPARE(error.kind, PDFErrorKind::None);
    QVERIFY(!isBlankWhite(image));
}

void tst_PDFRender::invalidRequestsFail_data()
{
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QRect>("tile");
    QTest::newRow("negative page") << -1 << 1.0 << QRect(0, 0, 10, 10);
    QTest::newRow("page past the end") << 4 << 1.0 << QRect(0, 0, 10, 10);
    QTest::newRow("zero scale") << 0 << 0.0 << QRect(0, 0, 10, 10);
    QTest::newRow("NaN scale") << 0 << qQNaN() << QRect(0, 0, 10, 10);
    QTest::newRow("empty tile") << 0 << 1.0 << QRect(0, 0, 0, 10);
    QTest::newRow("absurd tile") << 0 << 1.0 << QRect(0, 0, 100000, 100000);
}

void tst_PDFRender::invalidRequestsFail()
{
    QFETCH(int, pageIndex);
    QFETCH(qreal, scale);
    QFETCH(QRect, tile);
    const auto document = open(QStringLiteral("plain.pdf"));
    QVERIFY(document);
    PDFError error;
    QVERIFY(document->renderTile(pageIndex, 0, scale, tile, nullptr, &error).isNull());
    QVERIFY(error.isError());
}

void tst_PDFRender::concurrentRendersAgreeWhileCacheEvicts()
{
    const auto document = open(QStringLiteral("plain.pdf"));
    QVERIFY(document);
    document->setDisplayListCacheSize(0);
    QCOMPARE(document->displayListCacheSize(), 1);

    QVector<QImage> reference;
    for (int page = 0; page < document->pageCount(); ++page)
        reference.append(document->renderTile(page, 90, 0.75, QRect(0, 0, 150, 225)));

    constexpr int threadCount = 4;
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                const int page = (t + round) % int(reference.size());
                const QImage image = document->renderTile(page, 90, 0.75, QRect(0, 0, 150, 225));
                if (image != reference[page])
                    ++mismatches;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(mismatches.load(), 0);
    QVERIFY(reference[0] != reference[1]); // the pages differ, so a mix-up would show
}

QTEST_GUILESS_MAIN(tst_PDFRender)
#include "tst_PDFRender.moc"
