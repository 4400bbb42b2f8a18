#include "TestPDFs.h"
#include "ViewerModelFixture.h"

#include <QtTest>

#include <cmath>

using DisplayMode = PDFViewport::DisplayMode;

class tst_PDFViewerPresentation : public QObject {
    Q_OBJECT

private slots:
    void init();

    void enteringSwitchesLayoutAndTogglesFullScreenLater();
    void fullScreenOnlyForTheActiveKeyWindow_data();
    void fullScreenOnlyForTheActiveKeyWindow();
    void exitRestoresFitAndLeavesFullScreenAtOnce();
    void withoutDocumentNothingButTheEmptyStatus();
    void deferredToggleSkipsAWindowThatIsGone();

private:
    PDFViewport *view() const { return m_f->model->viewport(); }
    QWidget *window() const { return m_f->model->pdfView()->window(); }

    std::unique_ptr<ViewerModelFixture> m_f;
};

void tst_PDFViewerPresentation::init()
{
    m_f = std::make_unique<ViewerModelFixture>();
    QVERIFY(TestPDFs::writePlain(m_f->path(QStringLiteral("A.pdf")), 8));
    m_f->model->open(m_f->url(QStringLiteral("A.pdf")));
    m_f->platform.keyWindow = window();
}

void tst_PDFViewerPresentation::enteringSwitchesLayoutAndTogglesFullScreenLater()
{
    m_f->model->zoomIn();
    m_f->model->enterPresentationMode(true);
    QVERIFY(m_f->model->isPresentationMode());
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePage);
    QVERIFY(!view()->displaysPageBreaks());
    QVERIFY(view()->autoScales());
    QCOMPARE(m_f->model->zoomPercentage(), int(std::lround(view()->scaleFactor() * 100)));
    QCOMPARE(m_f->model->statusText(), QStringLiteral("投影模式"));
    QVERIFY(m_f->platform.toggledWindows.isEmpty()); // not from inside the command
    // Entering again while presenting toggles nothing more.
    m_f->model->enterPresentationMode(true);
    QTRY_COMPARE(m_f->platform.toggledWindows, QList<QWidget *> {window()});
    QTest::qWait(50);
    QCOMPARE(m_f->platform.toggledWindows.size(), 1);
    QCOMPARE(m_f->model->statusText(), QStringLiteral("投影模式"));
}

void tst_PDFViewerPresentation::fullScreenOnlyForTheActiveKeyWindow_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("otherWindowIsKey");
    QTest::addColumn<bool>("wasFullScreen");
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("toggle") << true << true << false << false << true;
    QTest::newRow("already full screen leaves it") << true << true << false << true << false;
    QTest::newRow("application in the background") << true << false << false << false << false;
    QTest::newRow("help window is key") << true << true << true << false << false;
    QTest::newRow("layout only") << false << true << false << false << false;
}

void tst_PDFViewerPresentation::fullScreenOnlyForTheActiveKeyWindow()
{
    QFETCH(bool, toggle);
    QFETCH(bool, active);
    QFETCH(bool, otherWindowIsKey);
    QFETCH(bool, wasFullScreen);
    QFETCH(bool, fullScreen);
    QWidget help;
    m_f->platform.applicationActive = active;
    if (otherWindowIsKey)
        m_f->platform.keyWindow = &help;
    if (wasFullScreen)
        m_f->platform.fullScreenWindows.insert(window());
    m_f->model->enterPresentationMode(toggle);
    QTest::qWait(50);
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePage);
    QCOMPARE(m_f->platform.isFullScreen(window()), fullScreen);
    QVERIFY(m_f->platform.toggledWindows.size() <= 1);
}

void tst_PDFViewerPresentation::exitRestoresFitAndLeavesFullScreenAtOnce()
{
    const qreal fitted = view()->scaleFactor();
    m_f->model->actualSize();
    for (int i = 0; i < 12; ++i)
        m_f->model->zoomIn(); // about 400 %
    m_f->model->enterPresentationMode(true);
    QTRY_VERIFY(m_f->platform.isFullScreen(window()));

    m_f->model->exitPresentationMode(true);
    QVERIFY(!m_f->platform.isFullScreen(window())); // at once, not a turn later
    QVERIFY(!m_f->model->isPresentationMode());
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePageContinuous);
    QVERIFY(view()->displaysPageBreaks());
    QVERIFY(view()->autoScales());
    QCOMPARE(view()->scaleFactor(), fitted);
    QCOMPARE(m_f->model->zoomPercentage(), int(std::lround(fitted * 100)));
    QCOMPARE(m_f->model->statusText(), QStringLiteral("已退出投影模式"));

    // A window the user already took out of full screen is not toggled back in.
    m_f->model->enterPresentationMode(false);
    m_f->model->exitPresentationMode(true);
    QCOMPARE(m_f->platform.toggledWindows.size(), 2);
}

void tst_PDFViewerPresentation::withoutDocumentNothingButTheEmptyStatus()
{
    m_f->model->closeDocument();
    m_f->model->enterPresentationMode(true);
    QVERIFY(!m_f->model->isPresentationMode());
    m_f->model->exitPresentationMode(true);
    QCOMPARE(m_f->model->statusText(), PDFViewerModel::emptyStatusText);

    // Closing while presenting ends presentation without touching full screen...
    m_f->model->open(m_f->url(QStringLiteral("A.pdf")));
    m_f->platform.keyWindow = window();
    m_f->model->enterPresentationMode(false);
    m_f->model->closeDocument();
    QVERIFY(!m_f->model->isPresentationMode());
    // ...and a root view that restores the reading layout afterwards sees the empty state.
    m_f->model->restoreReadingLayout();
    QCOMPARE(m_f->model->statusText(), PDFViewerModel::emptyStatusText);
    QTest::qWait(50);
    QVERIFY(m_f->platform.toggledWindows.isEmpty());
}

void tst_PDFViewerPresentation::deferredToggleSkipsAWindowThatIsGone()
{
    auto *frame = new QWidget;
    m_f->model->pdfView()->setParent(frame);
    m_f->platform.keyWindow = frame;
    m_f->model->enterPresentationMode(true);
    m_f->model->pdfView()->setParent(nullptr);
    delete frame;
    QTest::qWait(50);
    QVERIFY(m_f->platform.toggledWindows.isEmpty());
}

QTEST_MAIN(tst_PDFViewerPresentation)
#include "tst_PDFViewerPresentation.moc"
