#include "ViewerModelFixture.h"

#include <QtTest>

class tst_PDFViewerSearch : public QObject {
    Q_OBJECT

private slots:
    void init();

    void progressShowsTheFirstMatchAtOnceAndStepsWrap();
    void stepsWrapOverMatchesSoFarWhileRunning();
    void interruptedSearchLeavesNoTrace_data();
    void interruptedSearchLeavesNoTrace();
    void searchWithoutDocumentOrAfterModelIsGone();

private:
    PDFViewerModel *model() const { return m_f->model.get(); }
    void search(const QString &text)
    {
        model()->setSearchText(text);
        model()->performSearch();
    }
    void open(const QString &name) { model()->open(m_f->url(name)); }

    std::unique_ptr<ViewerModelFixture> m_f;
};

void tst_PDFViewerSearch::init()
{
    m_f = std::make_unique<ViewerModelFixture>();
    QVERIFY(TestPDFs::writePlain(m_f->path(QStringLiteral("A.pdf")), 5, QSizeF(595, 842),
        {QStringLiteral("NORTH GATE"), QStringLiteral("总平面图"), QStringLiteral("A-101 A-101"),
            QStringLiteral("A-101"), QStringLiteral("Gate A-101")}));
    QVERIFY(TestPDFs::writePlain(m_f->path(QStringLiteral("B.pdf")), 2));
    QVERIFY(TestPDFs::writePlain(m_f->path(QStringLiteral("many.pdf")), 400, QSizeF(200, 200)));
}

// A query with blanks around it, matched on pages 3 (twice), 4 and 5.
void tst_PDFViewerSearch::progressShowsTheFirstMatchAtOnceAndStepsWrap()
{
    open(QStringLiteral("A.pdf"));
    PDFViewport *view = model()->viewport();
    QStringList statuses;
    std::optional<PDFSelection> shownAtFirst;
    connect(model(), &PDFViewerModel::statusTextChanged, this, [&] {
        statuses.append(model()->statusText());
        if (model()->searchResultCount() == 1 && model()->isSearching() && !shownAtFirst)
            shownAtFirst = view->currentSelection();
    });
    search(QStringLiteral(" A-101 \n"));
    QTRY_VERIFY(!model()->isSearching());
    QCOMPARE(model()->searchText(), QStringLiteral(" A-101 \n")); // never rewritten by the model
    QCOMPARE(statuses,
        (QStringList {QStringLiteral("正在搜索“A-101”…"), QStringLiteral("正在搜索“A-101” · 1 处"),
            QStringLiteral("正在搜索“A-101” · 2 处"), QStringLiteral("正在搜索“A-101” · 3 处"),
            QStringLiteral("正在搜索“A-101” · 4 处"), QStringLiteral("找到 4 处")}));
    // The first match was shown before the search ended, and the later ones did not move the view.
    QVERIFY(shownAtFirst.has_value());
    QCOMPARE(shownAtFirst->pageIndex, 2);
    QCOMPARE(view->currentSelection(), shownAtFirst);
    QCOMPARE(view->currentPageIndex(), 2);

    for (int i = 0; i < 3; ++i)
        model()->selectNextSearchResult();
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("4 / 4"));
    model()->selectNextSearchResult();
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("1 / 4"));
    QCOMPARE(view->currentPageIndex(), 2);
    model()->selectPreviousSearchResult();
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("4 / 4"));
    QCOMPARE(view->currentPageIndex(), 4);

    // A blank query clears the matches but leaves the last status; a query without matches
    // says so.
    search(QStringLiteral("   "));
    QCOMPARE(model()->statusText(), QStringLiteral("找到 4 处"));
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("0"));
    model()->selectNextSearchResult();
    QCOMPARE(model()->selectedSearchResult(), 0);
    QVERIFY(!view->currentSelection());
    search(QStringLiteral("Z-999"));
    QTRY_VERIFY(!model()->isSearching());
    QCOMPARE(model()->statusText(), QStringLiteral("没有找到“Z-999”"));
}

void tst_PDFViewerSearch::stepsWrapOverMatchesSoFarWhileRunning()
{
    open(QStringLiteral("many.pdf"));
    QStringList labels;
    connect(model(), &PDFViewerModel::searchResultCountChanged, this, [&] {
        if (model()->searchResultCount() == 3 && model()->isSearching()) {
            model()->selectPreviousSearchResult();
            labels << model()->searchResultLabel();
            model()->selectNextSearchResult();
            labels << model()->searchResultLabel();
        }
    });
    search(QStringLiteral("page"));
    QTRY_VERIFY(!model()->isSearching());
    QCOMPARE(labels, (QStringList {QStringLiteral("3 / 3"), QStringLiteral("1 / 3")}));
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("1 / 400"));
}

void tst_PDFViewerSearch::interruptedSearchLeavesNoTrace_data()
{
    QTest::addColumn<QString>("then"); // a document to open, "close", or a query to search
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("selectedPage"); // -1: nothing selected
    QTest::newRow("another document") << QStringLiteral("B.pdf") << QStringLiteral("已打开 B") << -1;
    QTest::newRow("closed") << QStringLiteral("close") << PDFViewerModel::emptyStatusText << -1;
    QTest::newRow("another query") << QStringLiteral("page 399") << QStringLiteral("找到 1 处") << 398;
}

// Regression: the end of a find cancelled by opening or closing a document, or by a new
// query, arrived later and replaced the status with "not found" or the old count.
void tst_PDFViewerSearch::interruptedSearchLeavesNoTrace()
{
    QFETCH(QString, then);
    QFETCH(QString, status);
    QFETCH(int, selectedPage);
    open(QStringLiteral("many.pdf"));
    search(QStringLiteral("page"));
    QTRY_VERIFY(model()->searchResultCount() > 0);
    if (then == QLatin1String("close"))
        model()->closeDocument();
    else if (then.endsWith(QLatin1String(".pdf")))
        open(then);
    else
        search(then);
    QTRY_VERIFY(!model()->isSearching());
    QTest::qWait(300);
    QCOMPARE(model()->statusText(), status);
    QCOMPARE(model()->searchResultCount(), selectedPage < 0 ? 0 : 1);
    const auto selection = model()->viewport()->currentSelection();
    QCOMPARE(selection ? selection->pageIndex : -1, selectedPage);
}

void tst_PDFViewerSearch::searchWithoutDocumentOrAfterModelIsGone()
{
    search(QStringLiteral("page"));
    QVERIFY(!model()->isSearching());
    QCOMPARE(model()->statusText(), PDFViewerModel::emptyStatusText);

    open(QStringLiteral("many.pdf"));
    search(QStringLiteral("page"));
    QTRY_VERIFY(model()->searchResultCount() > 0);
    m_f->model.reset(); // the document goes with the canvas; its find must not outlive them
    QTest::qWait(100);
}

QTEST_MAIN(tst_PDFViewerSearch)
#include "tst_PDFViewerSearch.moc"
