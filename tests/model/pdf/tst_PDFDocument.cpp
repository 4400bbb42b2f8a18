#include "HostilePDFs.h"
#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"
#include "PDFPage.h"
#include "TestPDFs.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using Write = std::function<bool(const QByteArray &nativePath)>;

class tst_PDFDocument : public QObject {
    Q_OBJECT

private slots:
    void init();
    void open_data();
    void open();
    void damagedBytesNeverCrash();
    void rotationIsNormalisedLikeTheEngine_data();
    void rotationIsNormalisedLikeTheEngine();
    void linksResolveInternalAndExternal();
    void onlyWebAndMailLinksLeaveAndOnlyPageMovesStay_data();
    void onlyWebAndMailLinksLeaveAndOnlyPageMovesStay();
    void scriptsNeverRun();
    void outsizedPageTreesAndBoxesAreBounded_data();
    void outsizedPageTreesAndBoxesAreBounded();
    void damagedPageTreesOpenEveryPageInTime_data();
    void damagedPageTreesOpenEveryPageInTime();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // The document written as `bytes`; null when it does not open or cannot be written.
    std::shared_ptr<PDFDocument> openBytes(const QByteArray &bytes) const
    {
        const QString file = path(QStringLiteral("written.pdf"));
        return HostilePDFs::write(file, bytes) ? PDFDocument::open(QFile::encodeName(file)) : nullptr;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_PDFDocument::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
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
    const QByteArray nativePath = QFile::encodeName(m_dir->path()) + '/' + name;
    const auto remove = qScopeGuard([&] { ::unlink(nativePath.constData()); }); // Qt can't, if not UTF-8
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

// Damage anywhere in a file, found at open or only while drawing, finding or reading
// links, must end as an error: MuPDF aborts the process on an error thrown outside a try.
void tst_PDFDocument::damagedBytesNeverCrash()
{
    const QString file = path(QStringLiteral("damaged.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 2, QSizeF(200, 200), {QStringLiteral("Gate"), QStringLiteral("图")}));
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray original = pdf.readAll();
    QRandomGenerator random(7); // fixed, so a crash can be reproduced
    int opened = 0;
    for (int round = 0; round < 30; ++round) {
        QByteArray bytes = original;
        for (int i = 0; i < 8; ++i)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        if (round % 3 == 0)
            bytes.truncate(random.bounded(int(bytes.size())));
        const auto document = openBytes(bytes);
        for (int page = 0; document && page < document->pageCount(); ++page) {
            document->renderTile(page, 90, 0.5, QRect(0, 0, 100, 100));
            document->links(page);
        }
        if (document && ++opened) {
            document->beginFindString(QStringLiteral("gate"));
            QTRY_VERIFY(!document->isFinding());
        }
    }
    QVERIFY(opened > 5); // most damage is repaired, so the drawing and finding paths ran
}

void tst_PDFDocument::rotationIsNormalisedLikeTheEngine_data()
{
    QTest::addColumn<int>("degrees");
    QTest::addColumn<int>("expected");
    QTest::newRow("-90") << -90 << 270;
    // Off-grid values snap like the engine: half-way rounds up, 315 and above wrap to 0;
    // the most negative value must not overflow.
    QTest::newRow("45") << 45 << 90;
    QTest::newRow("340") << 340 << 0;
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min() << 270;
}

void tst_PDFDocument::rotationIsNormalisedLikeTheEngine()
{
    QFETCH(int, degrees);
    QFETCH(int, expected);
    QCOMPARE(PDFPage::normalizedRotation(degrees), expected);
    PDFPage page(nullptr, 0, QSizeF(100, 200), 0);
    page.setRotation(degrees);
    QCOMPARE(page.rotation(), expected);

    // A file's /Rotate: the size comes from the engine's own geometry, so it agrees with our
    // rotation only when both snapped the same way.
    QVERIFY(TestPDFs::writeRotated(path(QStringLiteral("rotated.pdf")), {degrees}));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("rotated.pdf"))));
    QVERIFY(document);
    QCOMPARE(document->page(0)->fileRotation(), expected);
    QCOMPARE(document->page(0)->rotation(), expected);
    QCOMPARE(document->page(0)->pageSize(), expected % 180 ? QSizeF(842, 595) : QSizeF(595, 842));
}

void tst_PDFDocument::linksResolveInternalAndExternal()
{
    PDFDocumentBuilder builder;
    builder.addPage({QSizeF(595, 842), 0, {}, {QStringLiteral("https://example.com/a?b=1")}, 2});
    builder.addPage(QSizeF(595, 842));
    builder.addPage(QSizeF(842, 595), {}, 90); // the target shows sideways
    QVERIFY(builder.save(path(QStringLiteral("links.pdf"))));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("links.pdf"))));
    QVERIFY(document);

    QVector<PDFLink> links = document->links(0);
    QCOMPARE(links.size(), 2);
    if (links[0].uri.isEmpty())
        std::swap(links[0], links[1]);
    QCOMPARE(links[0].uri, QStringLiteral("https://example.com/a?b=1"));
    QCOMPARE(links[0].destinationPage, -1);
    QCOMPARE(links[0].rect, QRectF(0, 0, 72, 72));
    QCOMPARE(links[1].destinationPage, 2);
    QCOMPARE(links[1].rect, QRectF(0, 0, 72, 72));
    // One inch from the left and from the top of the unrotated 842x595 page; turned a
    // quarter clockwise, that is one inch from the top-right corner.
    QCOMPARE(links[1].destinationPoint, QPointF(595 - 72, 72));
    QVERIFY(document->links(1).isEmpty());
    QVERIFY(document->links(3).isEmpty());
}

void tst_PDFDocument::onlyWebAndMailLinksLeaveAndOnlyPageMovesStay_data()
{
    QTest::addColumn<QByteArray>("action"); // of a link on the second of four pages
    QTest::addColumn<QString>("link"); // the URI, "page N" (0-based), or empty: no link at all
    const auto uri = [](const char *target) { return "<< /S /URI /URI (" + QByteArray(target) + ") >>"; };
    const auto named = [](const char *name) { return "<< /S /Named /N /" + QByteArray(name) + " >>"; };
    QTest::newRow("mailto") << uri("mailto:site@example.org") << QStringLiteral("mailto:site@example.org");
    QTest::newRow("file URI") << uri("file:///etc/passwd") << QString();
    QTest::newRow("javascript URI") << uri("javascript:app.alert(1)") << QString();
    QTest::newRow("relative URI, made a file by the engine") << uri("plans/A-102.pdf") << QString();
    QTest::newRow("Launch") << QByteArray("<< /S /Launch /F (/usr/bin/xterm) >>") << QString();
    QTest::newRow("GoToR") << QByteArray("<< /S /GoToR /F (other.pdf) /D [0 /Fit] >>") << QString();
    QTest::newRow("JavaScript") << QByteArray("<< /S /JavaScript /JS (app.launchURL('https://example.org/')) >>")
                                << QString();
    QTest::newRow("SubmitForm") << QByteArray("<< /S /SubmitForm /F << /FS /URL /F (https://example.org/f) >> >>")
                                << QString();
    QTest::newRow("LastPage") << named("LastPage") << QStringLiteral("page 3");
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
    builder.addPage({QSizeF(595, 842), 0, {}, {}, -1, {annotation}});
    builder.addPage(QSizeF(595, 842));
    builder.addPage(QSizeF(595, 842));
    QString message;
    QVERIFY2(builder.save(path(QStringLiteral("actions.pdf")), &message), qPrintable(message));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("actions.pdf"))));
    QVERIFY(document);

    QStringList links;
    for (const PDFLink &found : document->links(1))
        links.append(found.destinationPage >= 0 ? QStringLiteral("page %1").arg(found.destinationPage) : found.uri);
    QCOMPARE(links, link.isEmpty() ? QStringList() : QStringList {link});
}

// Were they run, the document's scripts would show CHANGED in its field.
void tst_PDFDocument::scriptsNeverRun()
{
    QVERIFY(TestPDFs::writeScripted(path(QStringLiteral("scripted.pdf"))));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("scripted.pdf"))));
    QVERIFY(document);
    QCOMPARE(document->pageCount(), 3);
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

namespace {

// Catalog, page tree root, and one page whose box is `mediaBox`; the engine rebuilds the table.
QByteArray onePage(const QByteArray &mediaBox, const QByteArray &count = "1")
{
    return HostilePDFs::raw({"<</Type/Catalog/Pages 2 0 R>>", "<</Type/Pages/Kids[3 0 R]/Count " + count + ">>",
                                "<</Type/Page/Parent 2 0 R/MediaBox" + mediaBox + ">>"},
        false);
}

} // namespace

void tst_PDFDocument::outsizedPageTreesAndBoxesAreBounded_data()
{
    QTest::addColumn<QByteArray>("pdf");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QSizeF>("firstPage");
    QTest::addColumn<QSizeF>("lastPage");
    const QSizeF a4(595, 842);
    const QSizeF sheet(400, 300);
    const int most = PDFDocument::maximumPageCount;

    // Each allocated a place for every claimed page and looked every one of them up.
    QTest::newRow("count of two billion") << onePage("[0 0 400 300]", "2147483647") << most << sheet << a4;
    // Found by fuzzing: the engine hands a negative /Count on as it is.
    QTest::newRow("negative count") << onePage("[0 0 400 300]", "-7") << 0 << QSizeF() << QSizeF();
    // Five levels of fifty references to the same node: 312,500,000 pages in 300 bytes.
    QList<QByteArray> objects {"<</Type/Catalog/Pages 2 0 R>>"};
    for (int level = 0; level < 5; ++level) {
        const QByteArray kid = QByteArray::number(level + 3) + " 0 R ";
        objects += "<</Type/Pages/Kids[" + kid.repeated(50) + "]/Count "
            + QByteArray::number(312500000 / qint64(std::pow(50, level))) + ">>";
    }
    objects += "<</Type/Page/MediaBox[0 0 400 300]>>";
    QTest::newRow("one subtree listed many times") << HostilePDFs::raw(objects, false) << most << sheet << sheet;
    QTest::newRow("page tree that holds itself") << HostilePDFs::raw(
        {"<</Type/Catalog/Pages 2 0 R>>", "<</Type/Pages/Kids[2 0 R 3 0 R]/Count 2>>",
            "<</Type/Page/MediaBox[0 0 400 300]>>"},
        false) << 2 << sheet << a4;

    // Sides the canvas could not turn into device pixels get A4 paper.
    QTest::newRow("longest side accepted")
        << onePage("[0 0 200000 300]") << 1 << QSizeF(200000, 300) << QSizeF(200000, 300);
    QTest::newRow("a point longer") << onePage("[0 0 200001 300]") << 1 << a4 << a4;
    QTest::newRow("box found by the fuzzer")
        << onePage("[0 666666666666666666666666666666666666666666660 595 842]") << 1 << a4 << a4;
}

// Regression: a small file could claim billions of pages, or a page larger than the canvas
// can count in pixels; opening it ran out of memory or time, or overflowed the layout.
void tst_PDFDocument::outsizedPageTreesAndBoxesAreBounded()
{
    QFETCH(QByteArray, pdf);
    QFETCH(int, pageCount);
    QFETCH(QSizeF, firstPage);
    QFETCH(QSizeF, lastPage);
    const auto document = openBytes(pdf);
    QVERIFY(document);
    QCOMPARE(document->pageCount(), pageCount);
    if (pageCount > 0) {
        QCOMPARE(document->page(0)->pageSize(), firstPage);
        QCOMPARE(document->page(pageCount - 1)->pageSize(), lastPage);
    }
}

void tst_PDFDocument::damagedPageTreesOpenEveryPageInTime_data()
{
    QTest::addColumn<QByteArray>("pdf");
    QTest::addColumn<QList<QSizeF>>("pageSizes");
    QTest::addColumn<QList<bool>>("drawn");
    const QSizeF a4(595, 842);
    const QSizeF sheet(400, 300);
    const auto tree = [](const QByteArray &kids, int count, bool indexed = false) {
        return HostilePDFs::raw({"<</Type/Catalog/Pages 2 0 R>>",
                                    "<</Type/Pages/Kids[" + kids + "]/Count " + QByteArray::number(count) + ">>",
                                    "<</Type/Page/MediaBox[0 0 400 300]>>"},
            indexed);
    };
    // Found by fuzzing: the engine's lookup of a null page below a node written in place
    // never returned.
    QTest::newRow("null page below a direct node") << tree("<</Type/Pages/Count 1/Kids[null]>> 3 0 R", 2)
                                                   << QList<QSizeF> {sheet, a4} << QList<bool> {true, false};
    // The same in a file that needs no repair, which the find reads through documents of its own.
    QTest::newRow("null page below a direct node, indexed") << tree("<</Type/Pages/Count 1/Kids[null]>> 3 0 R", 2, true)
                                                            << QList<QSizeF> {sheet, a4} << QList<bool> {true, false};
    QTest::newRow("a number among the pages")
        << tree("3 0 R 7 3 0 R", 3) << QList<QSizeF> {sheet, sheet, a4} << QList<bool> {true, true, false};
    QTest::newRow("count lower than the pages")
        << tree("3 0 R 3 0 R", 1) << QList<QSizeF> {sheet} << QList<bool> {true};
    QTest::newRow("missing page object") << tree("9 0 R 3 0 R", 2) << QList<QSizeF> {sheet, a4}
                                         << QList<bool> {true, false};
    // Cut before its cross-reference table, and claiming a third page it does not hold (same
    // length, so the offsets stay valid).
    QTemporaryDir dir;
    QFile cut(dir.filePath(QStringLiteral("cut.pdf")));
    QVERIFY(TestPDFs::writePlain(cut.fileName(), 2, sheet) && cut.open(QIODevice::ReadOnly));
    QByteArray bytes = cut.readAll().replace("/Count 2", "/Count 3");
    bytes.truncate(bytes.lastIndexOf("\nxref") + 1);
    QTest::newRow("cut file") << bytes << QList<QSizeF> {sheet, sheet, a4} << QList<bool> {true, true, false};
}

// Every page of a damaged tree is looked up at once, drawn or refused as damaged; a missing page
// gets A4 paper. A lookup that never returns fails the whole test by its time limit.
void tst_PDFDocument::damagedPageTreesOpenEveryPageInTime()
{
    QFETCH(QByteArray, pdf);
    QFETCH(QList<QSizeF>, pageSizes);
    QFETCH(QList<bool>, drawn);
    const auto document = openBytes(pdf);
    QVERIFY(document);
    QCOMPARE(document->pageCount(), pageSizes.size());
    for (int i = 0; i < document->pageCount(); ++i) {
        QCOMPARE(document->page(i)->pageSize(), pageSizes[i]);
        PDFError error;
        QCOMPARE(!document->renderTile(i, 0, 0.1, QRect(0, 0, 8, 8), nullptr, &error).isNull(), drawn[i]);
        QCOMPARE(error.kind, drawn[i] ? PDFErrorKind::None : PDFErrorKind::Damaged);
        document->links(i);
    }
    document->beginFindString(QStringLiteral("page"));
    QTRY_VERIFY(!document->isFinding());
}

QTEST_GUILESS_MAIN(tst_PDFDocument)
#include "tst_PDFDocument.moc"
