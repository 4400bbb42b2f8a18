#include "PDFDocument.h"
#include "PDFInvertedColors.h"
#include "PDFPage.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <thread>

namespace {

// The bounding box of the pixels darker than mid-grey; null when there are none.
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

QString describe(const QRect &rect)
{
    return QStringLiteral("%1,%2 - %3,%4").arg(rect.left()).arg(rect.top()).arg(rect.right()).arg(rect.bottom());
}

bool isBlankPaper(const QImage &image)
{
    QImage white(image.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    return !image.isNull() && image == white;
}

} // namespace

class tst_PDFRender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void drawsTextOnWhitePaperTileByTile();
    void rotationTurnsThePageLikePageToDisplay_data();
    void rotationTurnsThePageLikePageToDisplay();
    void failedRequestsYieldNullImage_data();
    void failedRequestsYieldNullImage();
    void concurrentRendersAgreeWhileCacheEvicts();
    void preloadedDocumentIsTheOneOpened();
    void invertedColoursKeepHueAndTurnLuminanceOver_data();
    void invertedColoursKeepHueAndTurnLuminanceOver();

private:
    std::shared_ptr<PDFDocument> open(const QString &name)
    {
        return PDFDocument::open(QFile::encodeName(m_dir.filePath(name)));
    }
    QTemporaryDir m_dir;
    std::shared_ptr<PDFDocument> m_plain; // four 300x200 pages
};

void tst_PDFRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("plain.pdf")), 4, QSizeF(300, 200),
        {QStringLiteral("North"), QStringLiteral("East")}));
    QVERIFY(TestPDFs::writeRotated(m_dir.filePath(QStringLiteral("rotated.pdf")), {90}));
    m_plain = open(QStringLiteral("plain.pdf"));
    QVERIFY(m_plain);
}

void tst_PDFRender::drawsTextOnWhitePaperTileByTile()
{
    const QImage image = m_plain->renderTile(0, 0, 1.0, QRect(0, 0, 300, 200));
    QCOMPARE(image.size(), QSize(300, 200));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    // "Page 1" has its baseline 100 pt from the top at x = 90, "North" 50 pt below it.
    const QRect ink = inkBounds(image);
    QVERIFY2(QRect(88, 75, 8, 16).contains(ink.topLeft()) && ink.bottom() >= 145 && ink.bottom() <= 156,
        qPrintable(describe(ink)));
    QVERIFY(isBlankPaper(image.copy(0, 160, 300, 40)));

    // A tile is exactly that part of the whole page; past the page's edge is blank paper.
    const QImage full = m_plain->renderTile(1, 0, 2.0, QRect(0, 0, 600, 400));
    const QRect tile(150, 140, 256, 128);
    const QImage part = m_plain->renderTile(1, 0, 2.0, tile);
    QVERIFY(!part.isNull() && !isBlankPaper(part));
    QCOMPARE(part, full.copy(tile));
    QVERIFY(isBlankPaper(m_plain->renderTile(1, 0, 2.0, QRect(600, 400, 64, 64))));
}

void tst_PDFRender::rotationTurnsThePageLikePageToDisplay_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QSize>("size");
    QTest::newRow("upright, 90") << QStringLiteral("plain.pdf") << 90 << QSize(200, 300);
    QTest::newRow("upright, -90") << QStringLiteral("plain.pdf") << -90 << QSize(200, 300);
    QTest::newRow("file 90, as the file") << QStringLiteral("rotated.pdf") << 90 << QSize(842, 595);
    QTest::newRow("file 90, back to 0") << QStringLiteral("rotated.pdf") << 0 << QSize(595, 842);
}

// The canvas places hits and links with pageToDisplay(); the drawing must agree with it.
void tst_PDFRender::rotationTurnsThePageLikePageToDisplay()
{
    QFETCH(QString, file);
    QFETCH(int, rotation);
    QFETCH(QSize, size);
    const auto document = open(file);
    QVERIFY(document);
    PDFPage *page = document->page(0);
    const QRect asFiled(QPoint(), page->pageSize().toSize());
    const QRect reference = inkBounds(document->renderTile(0, page->fileRotation(), 1.0, asFiled));
    QVERIFY(!reference.isNull());

    page->setRotation(rotation);
    QCOMPARE(page->displaySize().toSize(), size);
    const QRect ink = inkBounds(document->renderTile(0, rotation, 1.0, QRect(QPoint(), size)));
    const QRect expected = page->pageToDisplay().mapRect(QRectF(reference)).toRect();
    const QRect slack = expected.adjusted(-2, -2, 2, 2);
    QVERIFY2(slack.contains(ink) && ink.contains(expected.adjusted(2, 2, -2, -2)), qPrintable(describe(ink)));
}

void tst_PDFRender::failedRequestsYieldNullImage_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QRect>("tile");
    QTest::addColumn<PDFErrorKind>("error");
    QTest::newRow("cancelled") << true << 2 << 1.0 << QRect(0, 0, 100, 100) << PDFErrorKind::Cancelled;
    QTest::newRow("page past the end") << false << 4 << 1.0 << QRect(0, 0, 10, 10) << PDFErrorKind::Damaged;
    QTest::newRow("NaN scale") << false << 0 << qQNaN() << QRect(0, 0, 10, 10) << PDFErrorKind::Damaged;
    QTest::newRow("absurd tile") << false << 0 << 1.0 << QRect(0, 0, 100000, 100000) << PDFErrorKind::Damaged;
}

void tst_PDFRender::failedRequestsYieldNullImage()
{
    QFETCH(bool, cancelled);
    QFETCH(int, pageIndex);
    QFETCH(qreal, scale);
    QFETCH(QRect, tile);
    QFETCH(PDFErrorKind, error);
    PDFRenderCookie cookie;
    if (cancelled)
        cookie.cancel();
    PDFError renderError;
    QVERIFY(m_plain->renderTile(pageIndex, 0, scale, tile, &cookie, &renderError).isNull());
    QCOMPARE(renderError.kind, error);

    // The failed request leaves nothing behind: the page still draws in full afterwards.
    PDFRenderCookie fresh;
    const QImage image = m_plain->renderTile(2, 0, 1.0, QRect(0, 0, 300, 200), &fresh, &renderError);
    QCOMPARE(renderError.kind, PDFErrorKind::None);
    QVERIFY(!image.isNull() && !isBlankPaper(image));
}

void tst_PDFRender::concurrentRendersAgreeWhileCacheEvicts()
{
    m_plain->setDisplayListCacheSize(0); // at least 1: each page drawn evicts the one before
    QCOMPARE(m_plain->displayListCacheSize(), 1);
    const QRect tile(0, 0, 150, 225);
    QVector<QImage> reference;
    for (int page = 0; page < 4; ++page)
        reference.append(m_plain->renderTile(page, 90, 0.75, tile));
    QVERIFY(reference[0] != reference[1]); // the pages differ, so a mix-up would show
    std::atomic<int> mismatches {0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int page = t; page < t + 20; ++page)
                mismatches += m_plain->renderTile(page % 4, 90, 0.75, tile) != reference[page % 4];
        });
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(mismatches.load(), 0);
}

// A document opened ahead is handed out only for its own path, and a failed one still fails
// with its reason; a page recorded ahead draws as it would have otherwise.
void tst_PDFRender::preloadedDocumentIsTheOneOpened()
{
    const QByteArray plain = QFile::encodeName(m_dir.filePath(QStringLiteral("plain.pdf")));
    const QByteArray rotated = QFile::encodeName(m_dir.filePath(QStringLiteral("rotated.pdf")));
    PDFDocument::preload(rotated);
    std::shared_ptr<PDFDocument> document = PDFDocument::open(rotated);
    QVERIFY(document);
    QCOMPARE(document->nativePath(), rotated);
    QCOMPARE(document->thread(), QThread::currentThread());
    const QImage drawn = m_plain->renderTile(0, 0, 1.0, QRect(0, 0, 300, 200));
    PDFDocument::preload(rotated);
    document = PDFDocument::open(plain);
    QCOMPARE(document->nativePath(), plain);
    document->prepare(0);
    QCOMPARE(document->renderTile(0, 0, 1.0, QRect(0, 0, 300, 200)), drawn);

    const QByteArray missing = QFile::encodeName(m_dir.filePath(QStringLiteral("missing.pdf")));
    PDFDocument::preload(missing);
    PDFError error;
    QVERIFY(!PDFDocument::open(missing, &error));
    QVERIFY(error.kind != PDFErrorKind::None);
    PDFDocument::preload(plain);
    PDFDocument::dropPreload();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents(); // the workers' references come back and go
}

void tst_PDFRender::invertedColoursKeepHueAndTurnLuminanceOver_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QRgb>("exactly"); // 0: only hue and luminance are checked
    // The stand-ins and the thumbnails' paper must match the rendered paper to the bit.
    QTest::newRow("paper") << qRgb(255, 255, 255) << PDFInvertedColors::paper;
    QTest::newRow("ink") << qRgb(0, 0, 0) << PDFInvertedColors::ink;
    QTest::newRow("mid grey") << qRgb(128, 128, 128) << QRgb(0);
    QTest::newRow("dark red") << qRgb(160, 20, 20) << QRgb(0);
    QTest::newRow("orange") << qRgb(230, 140, 10) << QRgb(0);
    QTest::newRow("pure blue, whose chroma cannot stay") << qRgb(0, 0, 255) << QRgb(0);
    QTest::newRow("pale cyan") << qRgb(200, 240, 245) << QRgb(0);
}

void tst_PDFRender::invertedColoursKeepHueAndTurnLuminanceOver()
{
    QFETCH(QRgb, colour);
    QFETCH(QRgb, exactly);
    const auto luma = [](QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); };
    const QRgb inverted = PDFInvertedColors::invert(colour);
    const double dark = qRed(PDFInvertedColors::paper);
    const double light = qRed(PDFInvertedColors::ink);
    QVERIFY2(std::abs(luma(inverted) - (light - (light - dark) * luma(colour) / 255)) < 2.0,
        qPrintable(QColor(inverted).name()));
    const QColor before(colour);
    const QColor after(inverted);
    QCOMPARE(after.hsvHue() < 0, before.hsvHue() < 0); // greys stay grey
    if (before.hsvHue() >= 0) {
        const int turn = std::abs(after.hsvHue() - before.hsvHue());
        QVERIFY2(std::min(turn, 360 - turn) <= 3, qPrintable(after.name()));
        QVERIFY(after.hsvSaturation() > 0);
    }
    if (exactly)
        QCOMPARE(inverted, exactly);
}

QTEST_GUILESS_MAIN(tst_PDFRender)
#include "tst_PDFRender.moc"
