#include "BlueprintPDFView.h"
#include "PDFFileURL.h"
#include "PDFPage.h"
#include "PDFToolbarButton.h"
#include "PDFViewerBusyIndicator.h"
#include "PDFViewerPageField.h"
#include "PDFViewerRecentMenu.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerSymbolButton.h"
#include "PDFViewerToolbar.h"
#include "ViewerWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include <unistd.h>

namespace {

// Left to right, as the strip lays them out.
const QStringList kAllButtons = QStringLiteral("pdf-open pdf-previous-page pdf-next-page pdf-zoom-out pdf-zoom-in "
                                               "pdf-fit-page pdf-actual-size pdf-rotate-left pdf-reset-rotation "
                                               "pdf-rotate-right pdf-presentation")
                                    .split(QLatin1Char(' '));

// The fixture with a toolbar over its model, shown at a window's width, and the canvas shown on
// its own, so that it can tell its current page.
struct Strip : ViewerWindowFixture {
    Strip()
        : ViewerWindowFixture(true)
    {
        toolbar.resize(1280, 58);
        toolbar.show();
    }
    PDFToolbarButton *button(const char *id) const { return toolbar.button(QString::fromLatin1(id)); }
    PDFViewerToolbar toolbar {model.get(), shortcuts.get()};
};

} // namespace

class tst_PDFViewerToolbar : public QObject {
    Q_OBJECT

private slots:
    void init() { s.emplace(); }
    void cleanup() { s.reset(); }
    void enabledStatesAndPageField_data();
    void enabledStatesAndPageField();
    void buttonsDriveTheModelAndCanvas();
    void searchFieldBindsTheModel();
    void recentMenu();

private:
    std::optional<Strip> s;
};

void tst_PDFViewerToolbar::enabledStatesAndPageField_data()
{
    QTest::addColumn<int>("pageCount"); // 0: no document
    QTest::addColumn<int>("page"); // 0-based
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<QString>("count");

    const QString previous = QStringLiteral("pdf-previous-page");
    const QString next = QStringLiteral("pdf-next-page");
    QTest::newRow("no document") << 0 << 0 << kAllButtons.mid(1) << QStringLiteral("—") << QStringLiteral("/ —");
    QTest::newRow("first of three") << 3 << 0 << QStringList {previous} << QStringLiteral("1") << QStringLiteral("/ 3");
    QTest::newRow("last of three") << 3 << 2 << QStringList {next} << QStringLiteral("3") << QStringLiteral("/ 3");
}

void tst_PDFViewerToolbar::enabledStatesAndPageField()
{
    QFETCH(int, pageCount);
    QFETCH(int, page);
    QFETCH(QStringList, disabled);
    QFETCH(QString, placeholder);
    QFETCH(QString, count);

    if (pageCount > 0) {
        QVERIFY(s->openPDF(QStringLiteral("doc.pdf"), pageCount));
        QVERIFY(s->showPage(page));
    }
    for (const QString &id : kAllButtons)
        QVERIFY2(s->toolbar.button(id)->isEnabled() == !disabled.contains(id), qPrintable(id));
    // The open button, the recent menu and the search field stay usable throughout.
    QVERIFY(s->toolbar.recentMenu()->isEnabled());
    QVERIFY(s->toolbar.searchField()->lineEdit()->isEnabled());
    QCOMPARE(s->toolbar.pageField()->lineEdit()->placeholderText(), placeholder);
    QCOMPARE(s->toolbar.pageField()->countText(), count);
    // A disabled button is its enabled self at 38 % opacity: black over the light bar comes out
    // near grey 150, where the palette's disabled grey dimmed once more would give about 220.
    const QImage previous = s->button("pdf-previous-page")->grab().toImage();
    int darkest = 255;
    for (int y = 0; y < previous.height(); ++y) {
        for (int x = 0; x < previous.width(); ++x)
            darkest = std::min(darkest, qGray(previous.pixel(x, y)));
    }
    QVERIFY2(darkest < 180, qPrintable(QString::number(darkest)));
}

void tst_PDFViewerToolbar::buttonsDriveTheModelAndCanvas()
{
    QLabel *zoom = s->toolbar.zoomLabel();
    QCOMPARE(zoom->text(), QStringLiteral("100%"));
    QVERIFY(s->openPDF(QStringLiteral("doc.pdf"), 3));
    BlueprintPDFView *canvas = s->model->pdfView();

    s->button("pdf-next-page")->click();
    QCOMPARE(canvas->pdfViewport()->currentPageIndex(), 1);
    s->button("pdf-previous-page")->click();
    QCOMPARE(canvas->pdfViewport()->currentPageIndex(), 0);

    s->button("pdf-actual-size")->click();
    QCOMPARE(s->model->zoomPercentage(), 100);
    s->button("pdf-zoom-in")->click();
    QVERIFY(s->model->zoomPercentage() > 100);
    const QString percentage = QString::number(s->model->zoomPercentage()) + QLatin1Char('%');
    QCOMPARE(zoom->text(), percentage);
    QCOMPARE(zoom->accessibleName(), QStringLiteral("当前缩放 ") + percentage);

    s->button("pdf-rotate-right")->click();
    QCOMPARE(canvas->pdfViewport()->currentPage()->rotation(), 90);
    s->button("pdf-reset-rotation")->click();
    QCOMPARE(canvas->pdfViewport()->currentPage()->rotation(), 0);

    s->button("pdf-presentation")->click();
    QVERIFY(s->model->isPresentationMode());
    s->button("pdf-presentation")->click();
    QVERIFY(!s->model->isPresentationMode());

    s->platform.nextChosenFile = std::nullopt;
    s->button("pdf-open")->click();
    QVERIFY(!s->platform.lastDialogDirectory.isEmpty());
}

void tst_PDFViewerToolbar::searchFieldBindsTheModel()
{
    PDFViewerSearchField *search = s->toolbar.searchField();
    QLineEdit *input = search->lineEdit();
    QVERIFY(!search->resultLabel()->isVisible());

    // Typing writes the model; the result controls appear before any search has run.
    QTest::keyClicks(input, QStringLiteral("Page"));
    QCOMPARE(s->model->searchText(), QStringLiteral("Page"));
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("0"));
    QVERIFY(search->resultLabel()->isVisible());
    QVERIFY(search->previousButton()->isVisible() && search->nextButton()->isVisible());

    // The model writes the field.
    s->model->setSearchText(QString());
    QCOMPARE(input->text(), QString());
    QVERIFY(!search->resultLabel()->isVisible());

    // Return searches; the indicator goes when the find ends; the arrows step.
    QVERIFY(s->openPDF(QStringLiteral("doc.pdf"), 3));
    QTest::keyClicks(input, QStringLiteral("Page"));
    QTest::keyClick(input, Qt::Key_Return);
    QVERIFY(search->busyIndicator()->isVisible());
    QTRY_VERIFY(!s->model->isSearching());
    QVERIFY(!search->busyIndicator()->isVisible());
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("1 / 3"));
    search->nextButton()->click();
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("2 / 3"));
    search->previousButton()->click();
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("1 / 3"));
}

void tst_PDFViewerToolbar::recentMenu()
{
    PDFViewerRecentMenu *recent = s->toolbar.recentMenu();
    QList<QAction *> items = recent->menu()->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0]->text(), QStringLiteral("暂无最近文件"));
    QVERIFY(!items[0]->isEnabled());

    QVERIFY(QDir(s->dir.path()).mkdir(QStringLiteral("sheets")));
    QVERIFY(s->openPDF(QStringLiteral("sheets/first.pdf"), 1));
    QVERIFY(s->openPDF(QStringLiteral("R&D plan.pdf"), 2));
    items = recent->menu()->actions();
    QCOMPARE(items.size(), 2);
    // Most recent first; an ampersand is shown, not taken as a mnemonic.
    QCOMPARE(items[0]->text(), QStringLiteral("R&&D plan"));
    QCOMPARE(items[1]->text(), QStringLiteral("first"));
    // Each entry's tooltip is its folder, and the menu shows tooltips.
    QVERIFY(recent->menu()->toolTipsVisible());
    QCOMPARE(items[0]->toolTip(), QDir::toNativeSeparators(s->dir.path()));
    QCOMPARE(items[1]->toolTip(), QDir::toNativeSeparators(s->path(QStringLiteral("sheets"))));

    items[1]->trigger();
    QCOMPARE(s->model->fileURL(), s->url(QStringLiteral("sheets/first.pdf")));
    QCOMPARE(s->model->pageCount(), 1);

    // Regression: a name that is not UTF-8, stored as a file URL, showed "file:///…" there.
    const QByteArray stray = QFile::encodeName(s->path(QStringLiteral("sheets"))) + "/\xff.pdf";
    QVERIFY(TestPDFs::writePlainNative(stray, 1));
    s->model->open(PDFFileURL::fromNativePath(stray));
    ::unlink(stray.constData()); // QTemporaryDir cannot remove a name it cannot decode
    QCOMPARE(recent->menu()->actions().first()->toolTip(), QDir::toNativeSeparators(s->path(QStringLiteral("sheets"))));
}

QTEST_MAIN(tst_PDFViewerToolbar)
#include "tst_PDFViewerToolbar.moc"
