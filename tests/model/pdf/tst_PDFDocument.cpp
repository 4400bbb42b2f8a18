#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"
#include "PDFPage.h"
#include "TestPDFs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include <unistd.h>

class tst_PDFDocument : public QObject {
    Q_OBJECT

private slots:
    void init();

    void opensPlainFile();
    void opensWhateverTheName_data();
    void opensWhateverTheName();
    void opensNonUtf8Name();
    void lockedFileOpensWithoutPages();
    void zeroPageFileOpens();
    void unreadableFileDoesNotOpen_data();
    void unreadableFileDoesNotOpen();
    void imageDoesNotOpenWhateverItsName();
    void fileWithoutCrossReferenceTableIsRepaired();

    void fileRotationIsNormalised();
    void pageLookupStaysInBounds();

    void linksResolveInternalAndExternal();
    void linksOutOfRangeAreEmpty();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_PDFDocument::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_PDFDocument::opensPlainFile()
{
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("plain.pdf")), 3, QSizeF(400, 300)));
    PDFError error;
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("plain.pdf"))), &error);
    QVERIFY(document);
    QCOMPARE(error.kind, PDFErrorKind::None);
    QVERIFY(!document->isLocked());
    QCOMPARE(document->pageCount(), 3);
    QCOMPARE(document->nativePath(), QFile::encodeName(path(QStringLiteral("plain.pdf"))));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(document->page(i)->pageSize(), QSizeF(400, 300));
        QCOMPARE(document->page(i)->fileRotation(), 0);
        QCOMPARE(document->page(i)->rotation(), 0);
        QCOMPARE(document->page(i)->document(), document.get());
    }
}

void tst_PDFDocument::opensWhateverTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("upper-case extension") << QStringLiteral("DRAWING.PDF");
    QTest::newRow("no extension") << QStringLiteral("drawing");
    QTest::newRow("other extension") << QStringLiteral("drawing.png");
    QTest::newRow("spaces and unicode") << QStringLiteral("Plan Ü 图纸.pdf");
}

void tst_PDFDocument::opensWhateverTheName()
{
    QFETCH(QString, name);
    QVERIFY(TestPDFs::writePlain(path(name), 1));
    const auto document = PDFDocument::open(QFile::encodeName(path(name)));
    QVERIFY(document);
    QCOMPARE(document->pageCount(), 1);
}

void tst_PDFDocument::opensNonUtf8Name()
{
    // Latin-1 "plän.pdf": not valid UTF-8, so only the raw bytes name the file.
    const QByteArray nativePath = QFile::encodeName(m_dir->path()) + "/pl\xe4n.pdf";
    // QTemporaryDir cannot name this file to remove it.
    const auto removeFile = qScopeGuard([&] { ::unlink(nativePath.constData()); });
    QVERIFY(TestPDFs::writePlainNative(nativePath, 2));
    PDFError error;
    const auto document = PDFDocument::open(nativePath, &error);
    QVERIFY2(document, qPrintable(error.message));
    QCOMPARE(document->pageCount(), 2);
    QCOMPARE(document->nativePath(), nativePath);
}

void tst_PDFDocument::lockedFileOpensWithoutPages()
{
    QVERIFY(TestPDFs::writeLocked(path(QStringLiteral("locked.pdf"))));
    PDFError error;
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("locked.pdf"))), &error);
    QVERIFY(document);
    QVERIFY(document->isLocked());
    QCOMPARE(document->pageCount(), 0);
    QCOMPARE(document->page(0), nullptr);
    QCOMPARE(error.kind, PDFErrorKind::NeedsPassword);
}

void tst_PDFDocument::zeroPageFileOpens()
{
    QVERIFY(TestPDFs::writeNoPages(path(QStringLiteral("empty.pdf"))));
    PDFError error;
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("empty.pdf"))), &error);
    QVERIFY2(document, qPrintable(error.message));
    QVERIFY(!document->isLocked());
    QCOMPARE(document->pageCount(), 0);
    QCOMPARE(error.kind, PDFErrorKind::None);
}

void tst_PDFDocument::unreadableFileDoesNotOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("garbage") << QStringLiteral("garbage");
    QTest::newRow("truncated") << QStringLiteral("truncated");
    QTest::newRow("png") << QStringLiteral("png");
    QTest::newRow("directory") << QStringLiteral("directory");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("empty file") << QStringLiteral("empty");
}

void tst_PDFDocument::unreadableFileDoesNotOpen()
{
    QFETCH(QString, kind);
    const QString file = path(kind + QStringLiteral(".pdf"));
    if (kind == QLatin1String("garbage"))
        QVERIFY(TestPDFs::writeGarbage(file));
    else if (kind == QLatin1String("truncated"))
        QVERIFY(TestPDFs::writeTruncated(file));
    else if (kind == QLatin1String("png"))
        QVERIFY(TestPDFs::writePNG(file));
    else if (kind == QLatin1String("directory"))
        QVERIFY(QDir(m_dir->path()).mkdir(kind + QStringLiteral(".pdf")));
    else if (kind == QLatin1String("empty"))
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));

    PDFError error;
    const auto document = PDFDocument::open(QFile::encodeName(file), &error);
    QVERIFY(!document);
    QCOMPARE(error.kind, PDFErrorKind::CannotOpen);
    QVERIFY(!error.message.isEmpty());
}

// Regression: the engine's generic open picks a handler by file name, so an image named
// like one opened as a one-page document. Only the PDF reader may ever see a file.
void tst_PDFDocument::imageDoesNotOpenWhateverItsName()
{
    for (const QString &name : {QStringLiteral("image.pdf"), QStringLiteral("image.png")}) {
        QVERIFY(TestPDFs::writePNG(path(name)));
        PDFError error;
        QVERIFY2(!PDFDocument::open(QFile::encodeName(path(name)), &error), qPrintable(name));
        QCOMPARE(error.kind, PDFErrorKind::CannotOpen);
    }
}

void tst_PDFDocument::fileWithoutCrossReferenceTableIsRepaired()
{
    const QString file = path(QStringLiteral("no-xref.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 2));
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadWrite));
    const qint64 xref = pdf.readAll().lastIndexOf("\nxref");
    QVERIFY(xref > 0);
    QVERIFY(pdf.resize(xref + 1));
    pdf.close();

    PDFError error;
    const auto document = PDFDocument::open(QFile::encodeName(file), &error);
    QVERIFY2(document, qPrintable(error.message));
    QCOMPARE(document->pageCount(), 2);
    QVERIFY(!document->renderTile(1, 0, 0.25, QRect(0, 0, 20, 20)).isNull());
}

void tst_PDFDocument::fileRotationIsNormalised()
{
    const QList<int> written = {0, 90, 180, 270, -90, 450, -180, 720, 45, 100};
    const QList<int> expected = {0, 90, 180, 270, 270, 90, 180, 0, 90, 90};
    QVERIFY(TestPDFs::writeRotated(path(QStringLiteral("rotated.pdf")), written));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("rotated.pdf"))));
    QVERIFY(document);
    QCOMPARE(document->pageCount(), written.size());
    for (int i = 0; i < written.size(); ++i) {
        const PDFPage *page = document->page(i);
        QCOMPARE(page->fileRotation(), expected[i]);
        QCOMPARE(page->rotation(), expected[i]);
        // The size is the engine's own bounds: it agrees with our normalisation only when
        // both snapped the same way.
        const bool sideways = expected[i] == 90 || expected[i] == 270;
        QCOMPARE(page->pageSize(), sideways ? QSizeF(842, 595) : QSizeF(595, 842));
        QCOMPARE(page->displaySize(), page->pageSize());
    }
}

void tst_PDFDocument::pageLookupStaysInBounds()
{
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("a.pdf")), 2));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("b.pdf")), 2));
    const auto a = PDFDocument::open(QFile::encodeName(path(QStringLiteral("a.pdf"))));
    const auto b = PDFDocument::open(QFile::encodeName(path(QStringLiteral("b.pdf"))));
    QVERIFY(a && b);
    QCOMPARE(a->page(-1), nullptr);
    QCOMPARE(a->page(2), nullptr);
    QVERIFY(a->page(1));
    QCOMPARE(a->index(a->page(0)), 0);
    QCOMPARE(a->index(a->page(1)), 1);
    QCOMPARE(a->index(nullptr), -1);
    QCOMPARE(a->index(b->page(1)), -1);
    const PDFPage stray(a.get(), 1, QSizeF(10, 10), 0); // claims a's page 1, but is not it
    QCOMPARE(a->index(&stray), -1);
}

void tst_PDFDocument::linksResolveInternalAndExternal()
{
    PDFDocumentBuilder builder;
    PDFDocumentBuilder::Page first{QSizeF(595, 842), 0, {}, {QStringLiteral("https://example.com/a?b=1")}, 2};
    builder.addPage(first);
    builder.addPage(QSizeF(595, 842));
    builder.addPage(QSizeF(842, 595), {}, 90); // the target shows sideways
    QVERIFY(builder.save(path(QStringLiteral("links.pdf"))));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("links.pdf"))));
    QVERIFY(document);

    const QVector<PDFLink> links = document->links(0);
    QCOMPARE(links.size(), 2);
    const auto external = std::find_if(links.begin(), links.end(),
                                       [](const PDFLink &link) { return !link.uri.isEmpty(); });
    const auto internal = std::find_if(links.begin(), links.end(),
                                       [](const PDFLink &link) { return link.uri.isEmpty(); });
    QVERIFY(external != links.end() && internal != links.end());
    QCOMPARE(external->uri, QStringLiteral("https://example.com/a?b=1"));
    QCOMPARE(external->destinationPage, -1);
    QCOMPARE(external->rect, QRectF(0, 0, 72, 72));
    QCOMPARE(internal->destinationPage, 2);
    QCOMPARE(internal->rect, QRectF(0, 0, 72, 72));
    // The destination is one inch from the left and one from the top of the unrotated
    // 842x595 page; turned 90 degrees clockwise, that is one inch from the top-right corner.
    QVERIFY(!std::isnan(internal->destinationPoint.x()));
    QCOMPARE(internal->destinationPoint, QPointF(595 - 72, 72));

    QVERIFY(document->links(1).isEmpty());
}

void tst_PDFDocument::linksOutOfRangeAreEmpty()
{
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("plain.pdf")), 1));
    const auto document = PDFDocument::open(QFile::encodeName(path(QStringLiteral("plain.pdf"))));
    QVERIFY(document);
    QVERIFY(document->links(-1).isEmpty());
    QVERIFY(document->links(1).isEmpty());
}

QTEST_GUILESS_MAIN(tst_PDFDocument)
#include "tst_PDFDocument.moc"
