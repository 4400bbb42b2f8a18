#include "HostilePDFs.h"
#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"
#include "PDFInvertedColors.h"
#include "PDFPage.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <tuple>

#include <sys/stat.h>

using Write = std::function<bool(const QByteArray &nativePath)>;

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

// Everything a document emits about finding, in order (a hit as its text @ page index, then
// × its rectangles when more than one), and whether all of it was emitted on the recorder's
// (the test's) thread: the connections are direct, so a signal from a worker shows.
struct FindRecorder {
    explicit FindRecorder(PDFDocument *document)
    {
        const auto direct = Qt::DirectConnection;
        QObject::connect(
            document, &PDFDocument::didBeginFind, &context, [this] { record(QStringLiteral("begin")); }, direct);
        QObject::connect(
            document, &PDFDocument::didFindMatch, &context,
            [this](PDFDocument *, const PDFSelection &selection) {
                matches.append(selection);
                const qsizetype rects = selection.rects.size();
                record(selection.string + QLatin1Char('@') + QString::number(selection.pageIndex)
                    + (rects > 1 ? QStringLiteral("×%1").arg(rects) : QString()));
            },
            direct);
        QObject::connect(
            document, &PDFDocument::didEndFind, &context, [this] { record(QStringLiteral("end")); }, direct);
    }
    void record(const QString &event)
    {
        events.append(event);
        wrongThread = wrongThread || QThread::currentThread() != context.thread();
    }
    bool ended() const { return events.contains(QStringLiteral("end")); }

    QObject context;
    QStringList events;
    QVector<PDFSelection> matches;
    bool wrongThread = false;
};

} // namespace

class tst_PDFDocument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void open_data();
    void open();
    void rotationSnapsLikeTheEngineAndDrawsLikePageToDisplay_data();
    void rotationSnapsLikeTheEngineAndDrawsLikePageToDisplay();
    void onlyWebAndMailLinksLeaveAndOnlyPageMovesStay_data();
    void onlyWebAndMailLinksLeaveAndOnlyPageMovesStay();
    void scriptsNeverRun();
    void damagedOrOutsizedPageTreesOpenBoundedAndInTime_data();
    void damagedOrOutsizedPageTreesOpenBoundedAndInTime();
    void drawsTextOnWhitePaperTileByTileAndFailsWithAReason();
    void concurrentRendersAgreeWhileCacheEvicts();
    void preloadedDocumentIsTheOneOpened();
    void findsIgnoringCaseInPageOrder_data();
    void findsIgnoringCaseInPageOrder();
    void cancelledOrReplacedFindIsSilent();
    void destroyingDocumentMidFindIsSafe();

    void invertedColoursKeepHueAndTurnLuminanceOver_data();
    void invertedColoursKeepHueAndTurnLuminanceOver();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    std::shared_ptr<PDFDocument> open(const QString &name) const
    {
        return PDFDocument::open(QFile::encodeName(path(name)));
    }
    // The document written as `bytes`; null when it does not open or cannot be written.
    std::shared_ptr<PDFDocument> openBytes(const QByteArray &bytes) const
    {
        return HostilePDFs::write(path(QStringLiteral("written.pdf")), bytes) ? open(QStringLiteral("written.pdf"))
                                                                              : nullptr;
    }
    QTemporaryDir m_dir;
    std::shared_ptr<PDFDocument> m_plain; // four 300x200 pages
    std::shared_ptr<PDFDocument> m_words; // a line of Latin or Chinese text a page, then two wrapped
    std::shared_ptr<PDFDocument> m_many; // "Page n" on 400 pages
};

void tst_PDFDocument::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writePlain(
        path(QStringLiteral("plain.pdf")), 4, QSizeF(300, 200), {QStringLiteral("North"), QStringLiteral("East")}));
    QVERIFY(TestPDFs::writeRotated(path(QStringLiteral("rotated.pdf")), {90}));
    QVERIFY(TestPDFs::writeLines(path(QStringLiteral("words.pdf")),
        {{QStringLiteral("North Gate")}, {QStringLiteral("SOUTH WALL")}, {QStringLiteral("wall north wall")},
            {QStringLiteral("总平面图 立")}, {QStringLiteral("NORTH GATE"), QStringLiteral("ÄRZTE WING")}}));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("many.pdf")), 400, QSizeF(200, 200)));
    m_plain = open(QStringLiteral("plain.pdf"));
    m_words = open(QStringLiteral("words.pdf"));
    m_many = open(QStringLiteral("many.pdf"));
    QVERIFY(m_plain && m_words && m_many);
}

void tst_PDFDocument::open_data()
{
    QTest::addColumn<Write>("write"); // puts something at the native path
    QTest::addColumn<QByteArray>("name"); // raw bytes
    QTest::addColumn<int>("pageCount"); // -1: does not open
    QTest::addColumn<PDFErrorKind>("error");
    const auto qt = [](bool (*write)(const QString &)) {
        return Write([write](const QByteArray &path) { return write(QFile::decodeName(path)); });
    };
    const Write plain = [](const QByteArray &path) { return TestPDFs::writePlainNative(path, 3); };
    // Latin-1 "ä": not UTF-8, so only the raw bytes name the file.
    QTest::newRow("image name, not UTF-8") << plain << QByteArray("Plan \xe4 图纸.png") << 3 << PDFErrorKind::None;
    QTest::newRow("locked") << qt(TestPDFs::writeLocked) << QByteArray("a.pdf") << 0 << PDFErrorKind::NeedsPassword;
    QTest::newRow("no pages") << qt(TestPDFs::writeNoPages) << QByteArray("a.pdf") << 0 << PDFErrorKind::None;
    QTest::newRow("truncated") << qt([](const QString &path) { return TestPDFs::writeTruncated(path); })
                               << QByteArray("a.pdf") << -1 << PDFErrorKind::CannotOpen;
    // Regression: the engine's generic open picks a handler by file name, so an image named
    // like one opened as a one-page document. Only the PDF reader may ever see a file.
    QTest::newRow("PNG named .pdf") << qt(TestPDFs::writePNG) << QByteArray("a.pdf") << -1 << PDFErrorKind::CannotOpen;
    QTest::newRow("directory") << Write([](const QByteArray &path) { return ::mkdir(path.constData(), 0755) == 0; })
                               << QByteArray("a.pdf") << -1 << PDFErrorKind::CannotOpen;
    // Regression: opening a FIFO named x.pdf blocked the UI thread until some writer came.
    QTest::newRow("FIFO") << Write([](const QByteArray &path) { return ::mkfifo(path.constData(), 0600) == 0; })
                          << QByteArray("a.pdf") << -1 << PDFErrorKind::CannotOpen;
    QTest::newRow("missing") << Write([](const QByteArray &) { return true; }) << QByteArray("a.pdf") << -1
                             << PDFErrorKind::CannotOpen;
}

void tst_PDFDocument::open()
{
    QFETCH(Write, write);
    QFETCH(QByteArray, name);
    QFETCH(int, pageCount);
    QFETCH(PDFErrorKind, error);
    const QByteArray nativePath = QFile::encodeName(m_dir.path()) + '/' + name;
    // A file, FIFO or directory; Qt can't remove it when its name is not UTF-8.
    const auto remove = qScopeGuard([&] { std::remove(nativePath.constData()); });
    QVERIFY(write(nativePath));
    PDFError openError;
    const auto document = PDFDocument::open(nativePath, &openError);
    QCOMPARE(openError.kind, error);
    QCOMPARE(bool(document), pageCount >= 0);
    if (!document) {
        QVERIFY(!openError.message.isEmpty());
        return;
    }
    QCOMPARE(document->nativePath(), nativePath);
    QCOMPARE(document->isLocked(), error == PDFErrorKind::NeedsPassword);
    QCOMPARE(document->pageCount(), pageCount);
    QCOMPARE(document->page(-1), nullptr);
    QCOMPARE(document->page(pageCount), nullptr);
}

void tst_PDFDocument::rotationSnapsLikeTheEngineAndDrawsLikePageToDisplay_data()
{
    QTest::addColumn<int>("fileRotation"); // the page's /Rotate
    QTest::addColumn<int>("snapped");
    QTest::addColumn<int>("rotation"); // then set by the viewer
    QTest::addColumn<QSize>("size"); // as shown at 1 pixel a point
    QTest::newRow("upright, turned 90") << 0 << 0 << 90 << QSize(842, 595);
    QTest::newRow("file 90, turned back to 0") << 90 << 90 << 0 << QSize(595, 842);
    // Off-grid values snap like the engine: half-way rounds up, 315 and above wrap to 0;
    // negative values count back from 360, the most negative without overflow.
    QTest::newRow("file 45") << 45 << 90 << 90 << QSize(842, 595);
    QTest::newRow("file 340") << 340 << 0 << 0 << QSize(595, 842);
    QTest::newRow("file INT_MIN") << std::numeric_limits<int>::min() << 270 << 270 << QSize(842, 595);
}

// The page's size comes from the engine's own geometry, so it agrees with our rotation only
// when both snapped the file's /Rotate the same way. The canvas places hits and links with
// pageToDisplay(); the drawing must agree with it.
void tst_PDFDocument::rotationSnapsLikeTheEngineAndDrawsLikePageToDisplay()
{
    QFETCH(int, fileRotation);
    QFETCH(int, snapped);
    QFETCH(int, rotation);
    QFETCH(QSize, size);
    QVERIFY(TestPDFs::writeRotated(path(QStringLiteral("turned.pdf")), {fileRotation}));
    const auto document = open(QStringLiteral("turned.pdf"));
    QVERIFY(document);
    PDFPage *page = document->page(0);
    QCOMPARE(page->rotation(), snapped);
    QCOMPARE(page->pageSize(), snapped % 180 ? QSizeF(842, 595) : QSizeF(595, 842));
    const QRect asFiled(QPoint(), page->pageSize().toSize());
    const QRect reference = inkBounds(document->renderTile(0, snapped, 1.0, asFiled));
    QVERIFY(!reference.isNull());

    page->setRotation(rotation);
    QCOMPARE(page->displaySize().toSize(), size);
    const QRect ink = inkBounds(document->renderTile(0, rotation, 1.0, QRect(QPoint(), size)));
    const QRect expected = page->pageToDisplay().mapRect(QRectF(reference)).toRect();
    const QRect slack = expected.adjusted(-2, -2, 2, 2);
    QVERIFY2(slack.contains(ink) && ink.contains(expected.adjusted(2, 2, -2, -2)), qPrintable(describe(ink)));
}

void tst_PDFDocument::onlyWebAndMailLinksLeaveAndOnlyPageMovesStay_data()
{
    QTest::addColumn<QByteArray>("action"); // of a link on the second of four pages
    QTest::addColumn<QString>("link"); // the URI, "page N at x,y" (0-based), or empty: no link at all
    const auto uri = [](const char *target) { return "<< /S /URI /URI (" + QByteArray(target) + ") >>"; };
    const auto named = [](const char *name) { return "<< /S /Named /N /" + QByteArray(name) + " >>"; };
    QTest::newRow("mailto") << uri("mailto:site@example.org") << QStringLiteral("mailto:site@example.org");
    QTest::newRow("file URI") << uri("file:///etc/passwd") << QString();
    QTest::newRow("javascript URI") << uri("javascript:app.alert(1)") << QString();
    QTest::newRow("Launch") << QByteArray("<< /S /Launch /F (/usr/bin/xterm) >>") << QString();
    QTest::newRow("JavaScript") << QByteArray("<< /S /JavaScript /JS (app.launchURL('https://example.org/')) >>")
                                << QString();
    QTest::newRow("SubmitForm") << QByteArray("<< /S /SubmitForm /F << /FS /URL /F (https://example.org/f) >> >>")
                                << QString();
    QTest::newRow("LastPage") << named("LastPage") << QStringLiteral("page 3 at nan,nan");
    QTest::newRow("Print") << named("Print") << QString();
}

void tst_PDFDocument::onlyWebAndMailLinksLeaveAndOnlyPageMovesStay()
{
    QFETCH(QByteArray, action);
    QFETCH(QString, link);
    PDFDocumentBuilder builder;
    const int annotation
        = builder.addObject("<< /Type /Annot /Subtype /Link /Rect [0 770 72 842] /A " + action + " >>");
    builder.addPage(QSizeF(595, 842));
    // Beside the action, the page's own links: a web link and one to the last page.
    builder.addPage({QSizeF(595, 842), 0, {}, {QStringLiteral("https://example.com/a?b=1")}, 3, {annotation}});
    builder.addPage(QSizeF(595, 842));
    builder.addPage(QSizeF(842, 595), {}, 90); // the target shows sideways
    QString message;
    QVERIFY2(builder.save(path(QStringLiteral("actions.pdf")), &message), qPrintable(message));
    const auto document = open(QStringLiteral("actions.pdf"));
    QVERIFY(document);

    QStringList links;
    for (const PDFLink &found : document->links(1)) {
        QCOMPARE(found.rect, QRectF(0, 0, 72, 72)); // the top-left inch
        const QPointF to = found.destinationPoint;
        links.append(found.destinationPage < 0
                ? found.uri
                : QStringLiteral("page %1 at %2,%3").arg(found.destinationPage).arg(to.x()).arg(to.y()));
    }
    // One inch from the left and from the top of the unrotated 842x595 page; turned a quarter
    // clockwise, that is one inch from the top-right corner.
    QStringList expected {QStringLiteral("https://example.com/a?b=1"), QStringLiteral("page 3 at 523,72")};
    if (!link.isEmpty())
        expected.append(link);
    links.sort();
    expected.sort();
    QCOMPARE(links, expected);
    QVERIFY(document->links(0).isEmpty());
    QVERIFY(document->links(4).isEmpty());
}

// Were they run, the document's scripts would show CHANGED in its field.
void tst_PDFDocument::scriptsNeverRun()
{
    QVERIFY(TestPDFs::writeScripted(path(QStringLiteral("scripted.pdf"))));
    const auto document = open(QStringLiteral("scripted.pdf"));
    QVERIFY(document);
    const auto hitsOf = [&](const QString &text) {
        QSignalSpy hits(document.get(), &PDFDocument::didFindMatch);
        QSignalSpy ended(document.get(), &PDFDocument::didEndFind);
        document->beginFindString(text);
        return ended.wait(10000) ? int(hits.size()) : -1;
    };
    QCOMPARE(hitsOf(QStringLiteral("original")), 1);
    QCOMPARE(hitsOf(QStringLiteral("changed")), 0);
    QVERIFY(!document->renderTile(0, 0, 1, QRect(90, 212, 200, 30)).isNull());
    QCOMPARE(hitsOf(QStringLiteral("changed")), 0);
}

void tst_PDFDocument::damagedOrOutsizedPageTreesOpenBoundedAndInTime_data()
{
    QTest::addColumn<QByteArray>("pdf");
    QTest::addColumn<int>("pageCount");
    // Of the first pages, the last entry being the last page's. An empty size marks a missing
    // page: it gets A4 paper and is refused as damaged; every other page draws.
    QTest::addColumn<QList<QSizeF>>("sizes");
    const QSizeF missing;
    const QSizeF sheet(400, 300);
    const int most = PDFDocument::maximumPageCount;
    // Catalog, page tree root over `kids`, and one page (object 3) of `box`.
    const auto tree = [](const QByteArray &kids, const QByteArray &count, const QByteArray &box = "[0 0 400 300]",
                          bool indexed = false) {
        return HostilePDFs::raw(
            {"<</Type/Catalog/Pages 2 0 R>>", "<</Type/Pages/Kids[" + kids + "]/Count " + count + ">>",
                "<</Type/Page/MediaBox" + box + ">>"},
            indexed);
    };

    // Regression: a small file could claim billions of pages; opening it allocated a place for
    // every one and looked every one of them up.
    QTest::newRow("count of two billion") << tree("3 0 R", "2147483647") << most << QList<QSizeF> {sheet, missing};
    // Found by fuzzing: the engine hands a negative /Count on as it is.
    QTest::newRow("negative count") << tree("3 0 R", "-7") << 0 << QList<QSizeF> {};
    // Five levels of fifty references to the same node: 312,500,000 pages in 300 bytes.
    QList<QByteArray> objects {"<</Type/Catalog/Pages 2 0 R>>"};
    for (int level = 0; level < 5; ++level) {
        const QByteArray kid = QByteArray::number(level + 3) + " 0 R ";
        objects += "<</Type/Pages/Kids[" + kid.repeated(50) + "]/Count "
            + QByteArray::number(312500000 / qint64(std::pow(50, level))) + ">>";
    }
    objects += "<</Type/Page/MediaBox[0 0 400 300]>>";
    QTest::newRow("one subtree listed many times")
        << HostilePDFs::raw(objects, false) << most << QList<QSizeF> {sheet, sheet};
    QTest::newRow("page tree that holds itself") << tree("2 0 R 3 0 R", "2") << 2 << QList<QSizeF> {sheet, missing};
    // Found by fuzzing: the engine's lookup of a null page below a node written in place
    // never returned; also in a file that needs no repair, which the find reads through
    // documents of its own.
    for (const bool indexed : {false, true}) {
        QTest::addRow("null page below a direct node, indexed %d", indexed)
            << tree("<</Type/Pages/Count 1/Kids[null]>> 3 0 R", "2", "[0 0 400 300]", indexed) << 2
            << QList<QSizeF> {sheet, missing};
    }
    QTest::newRow("a number among the pages")
        << tree("3 0 R 7 3 0 R", "3") << 3 << QList<QSizeF> {sheet, sheet, missing};
    QTest::newRow("count lower than the pages") << tree("3 0 R 3 0 R", "1") << 1 << QList<QSizeF> {sheet};
    QTest::newRow("missing page object") << tree("9 0 R 3 0 R", "2") << 2 << QList<QSizeF> {sheet, missing};
    // Cut before its cross-reference table, and claiming a third page it does not hold (same
    // length, so the offsets stay valid).
    QFile cut(path(QStringLiteral("cut.pdf")));
    QVERIFY(TestPDFs::writePlain(cut.fileName(), 2, sheet) && cut.open(QIODevice::ReadOnly));
    QByteArray bytes = cut.readAll().replace("/Count 2", "/Count 3");
    bytes.truncate(bytes.lastIndexOf("\nxref") + 1);
    QTest::newRow("cut file") << bytes << 3 << QList<QSizeF> {sheet, sheet, missing};

    // Regression: a page larger than the canvas can count in pixels overflowed the layout; sides
    // it could not turn into device pixels get A4 paper.
    const QSizeF a4(595, 842);
    QTest::newRow("longest side accepted")
        << tree("3 0 R", "1", "[0 0 200000 300]") << 1 << QList<QSizeF> {QSizeF(200000, 300)};
    QTest::newRow("a point longer") << tree("3 0 R", "1", "[0 0 200001 300]") << 1 << QList<QSizeF> {a4};
    QTest::newRow("box found by the fuzzer")
        << tree("3 0 R", "1", "[0 666666666666666666666666666666666666666666660 595 842]") << 1 << QList<QSizeF> {a4};
}

// A lookup that never returns fails the whole test by its time limit.
void tst_PDFDocument::damagedOrOutsizedPageTreesOpenBoundedAndInTime()
{
    QFETCH(QByteArray, pdf);
    QFETCH(int, pageCount);
    QFETCH(QList<QSizeF>, sizes);
    const auto document = openBytes(pdf);
    QVERIFY(document);
    QCOMPARE(document->pageCount(), pageCount);
    for (int k = 0; k < sizes.size(); ++k) {
        const int i = k + 1 == sizes.size() ? pageCount - 1 : k;
        const bool drawn = !sizes[k].isEmpty();
        QCOMPARE(document->page(i)->pageSize(), drawn ? sizes[k] : QSizeF(595, 842));
        PDFError error;
        QCOMPARE(!document->renderTile(i, 0, 0.1, QRect(0, 0, 8, 8), nullptr, &error).isNull(), drawn);
        QCOMPARE(error.kind, drawn ? PDFErrorKind::None : PDFErrorKind::Damaged);
        document->links(i);
    }
    document->beginFindString(QStringLiteral("page"));
    // Over the largest tree this takes a few seconds under the thread sanitizer.
    QTRY_VERIFY_WITH_TIMEOUT(!document->isFinding(), 30000);
}

void tst_PDFDocument::drawsTextOnWhitePaperTileByTileAndFailsWithAReason()
{
    const QImage image = m_plain->renderTile(0, 0, 1.0, QRect(0, 0, 300, 200));
    QCOMPARE(image.size(), QSize(300, 200));
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

    // A failed request yields no image but its reason: cancelled, or a page past the end, a
    // scale that is no number, a tile too large to allocate.
    PDFRenderCookie cancelled;
    cancelled.cancel();
    PDFError error;
    QVERIFY(m_plain->renderTile(2, 0, 1.0, QRect(0, 0, 100, 100), &cancelled, &error).isNull());
    QCOMPARE(error.kind, PDFErrorKind::Cancelled);
    for (const auto &[page, scale, tile] : {std::tuple(4, 1.0, QRect(0, 0, 10, 10)),
             std::tuple(0, qQNaN(), QRect(0, 0, 10, 10)), std::tuple(0, 1.0, QRect(0, 0, 100000, 100000))}) {
        QVERIFY(m_plain->renderTile(page, 0, scale, tile, nullptr, &error).isNull());
        QCOMPARE(error.kind, PDFErrorKind::Damaged);
    }
    // They leave nothing behind: the page still draws in full afterwards.
    QVERIFY(!isBlankPaper(m_plain->renderTile(2, 0, 1.0, QRect(0, 0, 300, 200), nullptr, &error)));
    QCOMPARE(error.kind, PDFErrorKind::None);
}

void tst_PDFDocument::concurrentRendersAgreeWhileCacheEvicts()
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
void tst_PDFDocument::preloadedDocumentIsTheOneOpened()
{
    const QByteArray plain = QFile::encodeName(path(QStringLiteral("plain.pdf")));
    const QByteArray rotated = QFile::encodeName(path(QStringLiteral("rotated.pdf")));
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

    const QByteArray missing = QFile::encodeName(path(QStringLiteral("missing.pdf")));
    PDFDocument::preload(missing);
    PDFError error;
    QVERIFY(!PDFDocument::open(missing, &error));
    QVERIFY(error.kind != PDFErrorKind::None);
    PDFDocument::preload(plain);
    PDFDocument::dropPreload();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents(); // the workers' references come back and go
}

void tst_PDFDocument::findsIgnoringCaseInPageOrder_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits"); // the matched text as the pages show it, @ page index
    const auto row = [](const char *name, const char *file, const char *query, const char *hits) {
        QTest::newRow(name) << QString::fromLatin1(file) << QString::fromUtf8(query)
                            << QString::fromUtf8(hits).split(u';', Qt::SkipEmptyParts);
    };
    row("lower query, mixed text", "words", "north", "North@0;north@2;NORTH@4");
    row("twice on one line", "words", "wall", "WALL@1;wall@2;wall@2");
    row("Chinese word", "words", "平面", "平面@3");
    row("folding beyond ASCII, Latin break is a space", "words", "gate ärzte", "GATE ÄRZTE@4×2");
    // Pages are searched side by side; hits still come in page order.
    row("many pages", "many", "page 39",
        "Page 39@38;Page 39@389;Page 39@390;Page 39@391;Page 39@392;Page 39@393;Page 39@394;Page 39@395;"
        "Page 39@396;Page 39@397;Page 39@398");
}

void tst_PDFDocument::findsIgnoringCaseInPageOrder()
{
    QFETCH(QString, file);
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    PDFDocument *document = file == QLatin1String("many") ? m_many.get() : m_words.get();
    FindRecorder recorder(document);
    document->beginFindString(query);
    QVERIFY(document->isFinding());
    QVERIFY(recorder.events.isEmpty()); // nothing is emitted from inside beginFindString
    QTRY_VERIFY(recorder.ended());
    QVERIFY(!document->isFinding());
    QVERIFY(!recorder.wrongThread);
    QCOMPARE(recorder.events, QStringList {QStringLiteral("begin")} + hits + QStringList {QStringLiteral("end")});
    for (int i = 0; i < recorder.matches.size(); ++i) {
        const PDFSelection &match = recorder.matches[i];
        const QRectF bounds = match.bounds();
        QVERIFY(QRectF(QPointF(), document->page(match.pageIndex)->pageSize()).contains(bounds));
        // The first text line has its baseline 150 pt from the top, starting at x = 90; a
        // wrapped hit has one rectangle on each line, the next a line (24 pt) lower.
        QVERIFY(file == QLatin1String("many") || (bounds.left() >= 89 && bounds.top() > 125));
        for (int r = 1; r < match.rects.size(); ++r)
            QVERIFY(qAbs(match.rects[r].center().y() - match.rects[r - 1].center().y() - 24) < 3);
        // Hits on one line come left to right, each with its own rectangles.
        if (i > 0 && recorder.matches[i - 1].pageIndex == match.pageIndex && match.rects.size() == 1)
            QVERIFY(recorder.matches[i - 1].bounds().right() < bounds.left());
    }
}

void tst_PDFDocument::cancelledOrReplacedFindIsSilent()
{
    const auto document = open(QStringLiteral("words.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    // Cancel from inside the first match: the second hit on its page, and hits for later pages,
    // are queued by then.
    auto *canceller = new QObject;
    QObject::connect(document.get(), &PDFDocument::didFindMatch, canceller, [&] { document->cancelFindString(); });
    document->beginFindString(QStringLiteral("l"));
    QTRY_VERIFY(recorder.events.size() > 1);
    delete canceller;
    QVERIFY(!document->isFinding());
    QTest::qWait(200);
    QCOMPARE(recorder.events, (QStringList {QStringLiteral("begin"), QStringLiteral("L@1")}));

    // A new find replaces a running one: only the second is heard of.
    recorder.events.clear();
    document->beginFindString(QStringLiteral("l"));
    document->beginFindString(QStringLiteral("south"));
    QTRY_VERIFY(recorder.ended());
    QTest::qWait(100);
    QCOMPARE(
        recorder.events, (QStringList {QStringLiteral("begin"), QStringLiteral("SOUTH@1"), QStringLiteral("end")}));
}

// Regression: the worker outlived its document and posted hits to a freed object.
void tst_PDFDocument::destroyingDocumentMidFindIsSafe()
{
    for (int round = 0; round < 5; ++round) {
        auto document = open(QStringLiteral("many.pdf"));
        QVERIFY(document);
        FindRecorder recorder(document.get());
        document->beginFindString(QStringLiteral("page"));
        QThread::msleep(round); // lets the worker reach different pages before the end
        document.reset();
        QTest::qWait(20);
        QVERIFY(recorder.events.isEmpty());
    }
}

void tst_PDFDocument::invertedColoursKeepHueAndTurnLuminanceOver_data()
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

void tst_PDFDocument::invertedColoursKeepHueAndTurnLuminanceOver()
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

QTEST_GUILESS_MAIN(tst_PDFDocument)
#include "tst_PDFDocument.moc"
