#include "HostilePDFs.h"
#include "PDFFileURL.h"
#include "ViewerModelFixture.h"

#include <QDir>
#include <QtTest>

#include <functional>

namespace {

const QString kNotPDF = QStringLiteral("只能打开 PDF 文件。");
const QString kMissing = QStringLiteral("文件已经移动或删除。");
const QString kUnreadable = QStringLiteral("这个 PDF 无法读取，可能已损坏。");

using Write = std::function<bool(const QString &path)>;

} // namespace

// What open() refuses, in which order it checks, and what a refusal leaves alone.
class tst_PDFViewerOpen : public QObject {
    Q_OBJECT

private slots:
    void failedOpenLeavesEverythingAsItWas_data();
    void failedOpenLeavesEverythingAsItWas();
    void checksRunInOrderAndOneDocumentHasOneName();
};

void tst_PDFViewerOpen::failedOpenLeavesEverythingAsItWas_data()
{
    // How the engine takes damaged files, folders and images named .pdf: tst_PDFDocument.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("message");
    const Write nothing = [](const QString &) { return true; };
    const Write onePage = [](const QString &path) { return TestPDFs::writePlain(path, 1); };
    QTest::newRow("png image") << "image.png" << Write(TestPDFs::writePNG) << kNotPDF;
    QTest::newRow("pdf earlier in the name") << "plan.pdf.png" << onePage << kNotPDF;
    QTest::newRow("missing") << "nowhere.pdf" << nothing << kMissing;
    QTest::newRow("garbage") << "garbage.pdf" << Write([](const QString &path) {
        return HostilePDFs::write(path, QByteArray(8192, '\x17'));
    }) << kUnreadable;
    QTest::newRow("password") << "locked.pdf" << Write(TestPDFs::writeLocked)
                              << QStringLiteral("这个 PDF 受密码保护，当前版本暂不支持解锁。");
    QTest::newRow("no pages") << "empty.pdf" << Write(TestPDFs::writeNoPages)
                              << QStringLiteral("这个 PDF 没有可显示的页面。");
}

void tst_PDFViewerOpen::failedOpenLeavesEverythingAsItWas()
{
    QFETCH(QString, name);
    QFETCH(Write, write);
    QFETCH(QString, message);
    ViewerModelFixture f;
    QVERIFY(write(f.path(name)));
    QVERIFY(f.openPDF(QStringLiteral("A.pdf"), 12));
    f.model->viewport()->goToPageIndex(4);
    f.model->viewport()->setScaleFactor(2.0);
    QCoreApplication::processEvents();
    const auto document = f.model->document();
    const QVariant storedRecent = f.settings.value(QStringLiteral("recentDocumentsV1"));
    const QVariant storedLedger = f.settings.value(QStringLiteral("readingPositionsV1"));

    f.model->open(f.url(name));
    QCoreApplication::processEvents();
    QCOMPARE(f.model->errorText(), message);
    QCOMPARE(f.model->statusText(), message);
    QCOMPARE(f.platform.beeps, 1);
    QCOMPARE(f.model->document(), document);
    QCOMPARE(f.model->fileURL(), f.url(QStringLiteral("A.pdf")));
    QCOMPARE(f.model->pageIndex(), 4);
    QCOMPARE(f.model->zoomPercentage(), 200);
    QCOMPARE(f.model->recentDocuments().size(), 1);
    QCOMPARE(f.settings.value(QStringLiteral("recentDocumentsV1")), storedRecent);
    QCOMPARE(f.settings.value(QStringLiteral("readingPositionsV1")), storedLedger);
    // Access to the refused file was given back; the open one is still held.
    QCOMPARE(f.platform.accessStarted, f.platform.accessStopped + 1);
    QCOMPARE(f.model->securityScopedURL(), f.url(QStringLiteral("A.pdf")));
}

// Refusals come in order; an upper-case extension is a PDF's, and paths through "." and ".."
// name the one document they lead to.
void tst_PDFViewerOpen::checksRunInOrderAndOneDocumentHasOneName()
{
    ViewerModelFixture f;
    const QString name = QStringLiteral("A-101 总平面.PDF");
    QVERIFY(TestPDFs::writePlain(f.path(name), 5));
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("sub")));
    // The extension is checked before existence, and existence before access is taken.
    f.model->open(f.url(QStringLiteral("nowhere.png")));
    QCOMPARE(f.model->errorText(), kNotPDF);
    f.model->open(QUrl(QStringLiteral("https://example.org/plan.pdf")));
    QCOMPARE(f.model->errorText(), kNotPDF);
    f.model->open(f.url(QStringLiteral("nowhere.pdf")));
    QCOMPARE(f.model->errorText(), kMissing);
    QCOMPARE(f.platform.accessStarted, 0);
    QCOMPARE(f.model->documentTitle(), QStringLiteral("Plenvo"));

    // Success clears the error and fits the page.
    f.model->open(QUrl::fromLocalFile(f.dir.path() + QStringLiteral("/sub/../") + name));
    QVERIFY(!f.model->hasError());
    QCOMPARE(f.model->statusText(), QStringLiteral("已打开 A-101 总平面"));
    QVERIFY(f.model->viewport()->autoScales());
    QCOMPARE(f.model->documentTitle(), QStringLiteral("A-101 总平面"));
    QCOMPARE(f.model->fileURL(), f.url(name));
    QCOMPARE(f.model->pageCount(), 5);
    f.model->viewport()->goToPageIndex(3);
    QCoreApplication::processEvents();

    f.model->open(QUrl::fromLocalFile(f.dir.path() + QStringLiteral("/./") + name));
    QCOMPARE(f.model->pageIndex(), 3);
    QCOMPARE(f.model->recentDocuments().size(), 1);
    QCOMPARE(f.model->recentDocuments().first().path, PDFFileURL::standardizedPath(f.url(name)));
    QCOMPARE(f.platform.notedRecent.size(), 2);
}

QTEST_MAIN(tst_PDFViewerOpen)
#include "tst_PDFViewerOpen.moc"
