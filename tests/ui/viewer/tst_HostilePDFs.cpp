#include "BlueprintPDFView.h"
#include "HostilePDFs.h"
#include "PDFDocument.h"
#include "PDFViewerRootView.h"
#include "ViewerWindowFixture.h"

#include <QMainWindow>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kRefusals = {
    QStringLiteral("这个 PDF 无法读取，可能已损坏。"),
    QStringLiteral("这个 PDF 没有可显示的页面。"),
};

// The viewer window's content over the fixture's model, shown, as the application has it.
struct Window : ViewerWindowFixture {
    Window()
        : root(new PDFViewerRootView(model.get(), shortcuts.get()))
    {
        window.setCentralWidget(root);
        window.resize(1200, 800);
        window.show();
    }
    QMainWindow window;
    PDFViewerRootView *root;
};

} // namespace

// Files made to hurt a reader open or are refused with the fixed message; nothing crashes, and
// a file opened over one still rendering replaces it at once.
class tst_HostilePDFs : public QObject {
    Q_OBJECT

private slots:
    void opensOrIsRefused_data();
    void opensOrIsRefused();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
};

void tst_HostilePDFs::opensOrIsRefused_data()
{
    QTest::addColumn<QString>("name");
    for (const HostilePDFs::Case &c : HostilePDFs::cases())
        QTest::newRow(c.name) << QString::fromLatin1(c.name);
}

void tst_HostilePDFs::opensOrIsRefused()
{
    QFETCH(QString, name);
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const HostilePDFs::Case *c = HostilePDFs::find(name);
    QVERIFY(HostilePDFs::write(w.path(name + QStringLiteral(".pdf")), c->bytes()));
    w.model->open(w.url(name + QStringLiteral(".pdf")));
    if (w.model->pageCount() == 0) {
        QVERIFY2(kRefusals.contains(w.model->errorText()), qPrintable(w.model->errorText()));
        return;
    }
    QVERIFY(!w.model->hasError());
    // Let it draw (canvas tiles, preview, thumbnails) for a moment, from every page's point
    // of view at the fitted and at the largest scale.
    BlueprintPDFView *canvas = w.model->pdfView();
    const int pages = std::min(w.model->pageCount(), 6);
    for (int page = 0; page < pages; ++page) {
        w.model->goToPage(page + 1);
        canvas->repaint();
        QTest::qWait(50);
    }
    w.model->zoomIn();
    for (int i = 0; i < 40; ++i)
        w.model->zoomIn();
    canvas->repaint();
    QTest::qWait(200);

    // Replaced while it renders: the new file shows at once and the old renders are dropped.
    QVERIFY(w.openPDF(QStringLiteral("plain.pdf"), 2));
    QCOMPARE(w.model->document()->pageCount(), 2);
    w.model->closeDocument();
    QCOMPARE(w.model->pageCount(), 0);
}

void tst_HostilePDFs::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("device") << "device";
}

// A FIFO named x.pdf would block a reader until a writer came; it and other special files are
// refused without being opened for reading (a folder: tst_PDFDocument).
void tst_HostilePDFs::onlyRegularFilesAreRead()
{
    QFETCH(QString, kind);
    Window w;
    QVERIFY(w.openPDF(QStringLiteral("shown.pdf"), 2));
    QString path = w.path(QStringLiteral("special.pdf"));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    w.model->open(QUrl::fromLocalFile(path));
    QCOMPARE(w.model->errorText(), QStringLiteral("这个 PDF 无法读取，可能已损坏。"));
    QCOMPARE(w.model->pageCount(), 2); // the shown document stays
}

QTEST_MAIN(tst_HostilePDFs)
#include "tst_HostilePDFs.moc"
