#include "BlueprintPDFView.h"
#include "HostilePDFs.h"
#include "ViewerWindowFixture.h"

#include <QtTest>

namespace {

const QStringList kRefusals = {
    QStringLiteral("这个 PDF 无法读取，可能已损坏。"),
    QStringLiteral("这个 PDF 没有可显示的页面。"),
};

} // namespace

// Files made to hurt a reader open or are refused with the fixed message; nothing crashes or blocks, a refused file
// leaves the shown document, and a file opened over one still rendering replaces it at once.
class tst_HostilePDFs : public QObject {
    Q_OBJECT

private slots:
    void opensOrIsRefused_data();
    void opensOrIsRefused();
};

void tst_HostilePDFs::opensOrIsRefused_data()
{
    QTest::addColumn<int>("index"); // into HostilePDFs::cases(); what is no regular file: tst_PDFDocument
    for (int i = 0; i < HostilePDFs::cases().size(); ++i)
        QTest::newRow(HostilePDFs::cases()[i].name) << i;
}

void tst_HostilePDFs::opensOrIsRefused()
{
    QFETCH(int, index);
    ViewerWindow w;
    QVERIFY(w.exposed);
    QVERIFY(w.openPDF(QStringLiteral("shown.pdf"), 2));
    const QString path = w.path(QStringLiteral("opened.pdf"));
    QVERIFY(HostilePDFs::write(path, HostilePDFs::cases()[index].bytes()));
    w.model->open(QUrl::fromLocalFile(path));
    if (w.model->hasError()) {
        QVERIFY2(kRefusals.contains(w.model->errorText()), qPrintable(w.model->errorText()));
        QCOMPARE(w.model->pageCount(), 2);
        return;
    }
    // Let it draw (canvas tiles, preview, thumbnails) for a moment, from every page's point
    // of view at the fitted and at the largest scale.
    BlueprintPDFView *canvas = w.model->pdfView();
    const int pages = std::min(w.model->pageCount(), 6);
    for (int page = 0; page < pages; ++page) {
        w.model->goToPage(page + 1);
        canvas->repaint();
        QTest::qWait(50);
    }
    for (int i = 0; i < 40; ++i)
        w.model->zoomIn();
    canvas->repaint();
    QTest::qWait(200);

    // Replaced while it renders: the new file shows at once and the old renders are dropped.
    QVERIFY(w.openPDF(QStringLiteral("plain.pdf"), 3));
    w.model->closeDocument();
}

QTEST_MAIN(tst_HostilePDFs)
#include "tst_HostilePDFs.moc"
