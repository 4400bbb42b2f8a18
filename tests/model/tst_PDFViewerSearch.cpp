#include "TestPDFs.h"
#include "ViewerModelFixture.h"

#include <QtTest>

namespace {

const QString kOpenedB = QStringLiteral("已打开 B");

} // namespace

class tst_PDFViewerSearch : public QObject {
    Q_OBJECT

private slots:
    void init();

    void finishedSearchReportsItsCount_data();
    void finishedSearchReportsItsCount();
    void progressCountsEachMatchAndShowsTheFirstAtOnce();
    void blankQueryClearsAndKeepsTheStatus();
    void stepsWrapAroundFiveMatches();
    void stepsWrapOverMatchesSoFarWhileRunning();
    void cancelledSearchShowsNoNotFoundMessage();
    void restartedSearchReportsOnlyItsOwnMatches();
    void searchWithoutDocumentOrAfterModelIsGone();

private:
    void search(const QString &text)
    {
        m_f->model->setSearchText(text);
        m_f->model->performSearch();
    }
    void open(const QString &name) { m_f->model->open(m_f->url(name)); }

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

void tst_PDFViewerSearch::finishedSearchReportsItsCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("label");
    QTest::newRow("trimmed") << QStringLiteral(" A-101 \n") << QStringLiteral("找到 4 处") << QStringLiteral("1 / 4");
    QTest::newRow("none") << QStringLiteral("Z-999") << QStringLiteral("没有找到“Z-999”") << QStringLiteral("0");
    const QString longQuery = QString(10000, QLatin1Char('x'));
    QTest::newRow("10,000 characters") << longQuery << QStringLiteral("没有找到“%1”").arg(longQuery)
                                       << QStringLiteral("0");
}

void tst_PDFViewerSearch::finishedSearchReportsItsCount()
{
    QFETCH(QString, text);
    QFETCH(QString, status);
    QFETCH(QString, label);
    open(QStringLiteral("A.pdf"));
    search(text);
    QVERIFY(m_f->model->isSearching());
    QCOMPARE(m_f->model->statusText(), QStringLiteral("正在搜索“%1”…").arg(text.trimmed()));
    QTRY_VERIFY(!m_f->model->isSearching());
    QCOMPARE(m_f->model->statusText(), status);
    QCOMPARE(m_f->model->searchResultLabel(), label);
    QCOMPARE(m_f->model->searchText(), text); // never rewritten by the model
}

void tst_PDFViewerSearch::progressCountsEachMatchAndShowsTheFirstAtOnce()
{
    open(QStringLiteral("A.pdf"));
    PDFViewport *view = m_f->model->viewport();
    QStringList statuses;
    std::optional<PDFSelection> shownAtFirst;
    int pageAtFirst = -1;
    bool searchingAtFirst = false;
    connect(m_f->model.get(), &PDFViewerModel::statusTextChanged, this, [&] {
        statuses.append(m_f->model->statusText());
        if (m_f->model->searchResultCount() == 1 && !shownAtFirst) {
            shownAtFirst = view->currentSelection();
            pageAtFirst = view->currentPageIndex();
            searchingAtFirst = m_f->model->isSearching();
        }
    });
    search(QStringLiteral("A-101"));
    QTRY_VERIFY(!m_f->model->isSearching());
    QCOMPARE(statuses,
        (QStringList {QStringLiteral("正在搜索“A-101”…"), QStringLiteral("正在搜索“A-101” · 1 处"),
            QStringLiteral("正在搜索“A-101” · 2 处"), QStringLiteral("正在搜索“A-101” · 3 处"),
            QStringLiteral("正在搜索“A-101” · 4 处"), QStringLiteral("找到 4 处")}));
    // The first match was highlighted and scrolled to before the search ended...
    QVERIFY(searchingAtFirst);
    QVERIFY(shownAtFirst.has_value());
    QCOMPARE(shownAtFirst->pageIndex, 2);
    QCOMPARE(pageAtFirst, 2);
    // ...and the later matches, on pages 4 and 5, did not move the view.
    QCOMPARE(view->currentSelection(), shownAtFirst);
    QCOMPARE(view->currentPageIndex(), 2);
}

void tst_PDFViewerSearch::blankQueryClearsAndKeepsTheStatus()
{
    open(QStringLiteral("A.pdf"));
    search(QStringLiteral("A-101"));
    QTRY_VERIFY(!m_f->model->isSearching());
    search(QStringLiteral("   "));
    QCOMPARE(m_f->model->statusText(), QStringLiteral("找到 4 处"));
    QCOMPARE(m_f->model->searchResultCount(), 0);
    QCOMPARE(m_f->model->searchResultLabel(), QStringLiteral("0"));
    QVERIFY(!m_f->model->viewport()->currentSelection());
    m_f->model->selectNextSearchResult();
    m_f->model->selectPreviousSearchResult();
    QCOMPARE(m_f->model->selectedSearchResult(), 0);
    QVERIFY(!m_f->model->viewport()->currentSelection());
}

void tst_PDFViewerSearch::stepsWrapAroundFiveMatches()
{
    open(QStringLiteral("A.pdf"));
    search(QStringLiteral("page"));
    QTRY_VERIFY(!m_f->model->isSearching());
    QCOMPARE(m_f->model->searchResultCount(), 5);
    for (int i = 0; i < 4; ++i)
        m_f->model->selectNextSearchResult();
    QCOMPARE(m_f->model->searchResultLabel(), QStringLiteral("5 / 5"));
    QCOMPARE(m_f->model->viewport()->currentSelection()->pageIndex, 4);
    m_f->model->selectNextSearchResult();
    QCOMPARE(m_f->model->searchResultLabel(), QStringLiteral("1 / 5"));
    QCOMPARE(m_f->model->viewport()->currentSelection()->pageIndex, 0);
    QCOMPARE(m_f->model->viewport()->currentPageIndex(), 0);
    m_f->model->selectPreviousSearchResult();
    QCOMPARE(m_f->model->searchResultLabel(), QStringLiteral("5 / 5"));
    QCOMPARE(m_f->model->viewport()->currentPageIndex(), 4);
}

void tst_PDFViewerSearch::stepsWrapOverMatchesSoFarWhileRunning()
{
    open(QStringLiteral("many.pdf"));
    QStringList labels;
    connect(m_f->model.get(), &PDFViewerModel::searchResultCountChanged, this, [&] {
        if (m_f->model->searchResultCount() == 3 && m_f->model->isSearching()) {
            m_f->model->selectPreviousSearchResult();
            labels << m_f->model->searchResultLabel();
            m_f->model->selectNextSearchResult();
            labels << m_f->model->searchResultLabel();
        }
    });
    search(QStringLiteral("page"));
    QTRY_VERIFY(!m_f->model->isSearching());
    QCOMPARE(labels, (QStringList {QStringLiteral("3 / 3"), QStringLiteral("1 / 3")}));
    QCOMPARE(m_f->model->searchResultLabel(), QStringLiteral("1 / 400"));
}

// Regression: the end of a find cancelled by opening or closing a document arrived later and
// replaced the status with "not found".
void tst_PDFViewerSearch::cancelledSearchShowsNoNotFoundMessage()
{
    for (const bool close : {false, true}) {
        open(QStringLiteral("many.pdf"));
        search(QStringLiteral("page"));
        QTRY_VERIFY(m_f->model->searchResultCount() > 0);
        if (close)
            m_f->model->closeDocument();
        else
            open(QStringLiteral("B.pdf"));
        const QString status = close ? PDFViewerModel::emptyStatusText : kOpenedB;
        QCOMPARE(m_f->model->statusText(), status);
        QTest::qWait(300);
        QCOMPARE(m_f->model->statusText(), status);
        QCOMPARE(m_f->model->searchResultCount(), 0);
        QVERIFY(!m_f->model->isSearching());
        QVERIFY(!m_f->model->viewport()->currentSelection());
    }
}

void tst_PDFViewerSearch::restartedSearchReportsOnlyItsOwnMatches()
{
    open(QStringLiteral("many.pdf"));
    search(QStringLiteral("page"));
    QTRY_VERIFY(m_f->model->searchResultCount() > 0);
    search(QStringLiteral("page 399"));
    QTRY_VERIFY(!m_f->model->isSearching());
    QTest::qWait(100);
    QCOMPARE(m_f->model->statusText(), QStringLiteral("找到 1 处"));
    QCOMPARE(m_f->model->viewport()->currentSelection()->pageIndex, 398);
}

void tst_PDFViewerSearch::searchWithoutDocumentOrAfterModelIsGone()
{
    search(QStringLiteral("page"));
    QVERIFY(!m_f->model->isSearching());
    QCOMPARE(m_f->model->statusText(), PDFViewerModel::emptyStatusText);

    open(QStringLiteral("many.pdf"));
    search(QStringLiteral("page"));
    QTRY_VERIFY(m_f->model->searchResultCount() > 0);
    m_f->model.reset(); // the document goes with the canvas; its find must not outlive them
    QTest::qWait(100);
}

QTEST_MAIN(tst_PDFViewerSearch)
#include "tst_PDFViewerSearch.moc"
