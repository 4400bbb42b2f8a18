#include "ViewerModelFixture.h"

#include <QtTest>

using DisplayMode = PDFViewport::DisplayMode;

class tst_PDFViewerPresentation : public QObject {
    Q_OBJECT

private slots:
    void init();

    void enterAndExitSwitchLayoutAndFullScreen();
    void fullScreenOnlyForTheActiveKeyWindow_data();
    void fullScreenOnlyForTheActiveKeyWindow();
    void withoutDocumentNothingButTheEmptyStatus();

private:
    PDFViewport *view() const { return m_f->model->viewport(); }
    QWidget *window() const { return m_f->model->pdfView()->window(); }

    std::unique_ptr<ViewerModelFixture> m_f;
};

void tst_PDFViewerPresentation::init()
{
    m_f = std::make_unique<ViewerModelFixture>();
    QVERIFY(m_f->openPDF(QStringLiteral("A.pdf"), 8));
    m_f->platform.keyWindow = window();
}

void tst_PDFViewerPresentation::enterAndExitSwitchLayoutAndFullScreen()
{
    const qreal fitted = view()->scaleFactor();
    m_f->model->zoomIn();
    m_f->model->enterPresentationMode(true);
    QVERIFY(m_f->model->isPresentationMode());
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePage);
    QVERIFY(!view()->displaysPageBreaks());
    QVERIFY(view()->autoScales());
    QCOMPARE(m_f->model->statusText(), QStringLiteral("投影模式"));
    QVERIFY(m_f->platform.toggledWindows.isEmpty()); // not from inside the command
    m_f->model->enterPresentationMode(true); // again while presenting: no second toggle
    QTRY_COMPARE(m_f->platform.toggledWindows, QList<QWidget *> {window()});
    QTest::qWait(50);
    QCOMPARE(m_f->platform.toggledWindows.size(), 1);

    m_f->model->exitPresentationMode(true);
    QVERIFY(!m_f->platform.isFullScreen(window())); // at once, not a turn later
    QVERIFY(!m_f->model->isPresentationMode());
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePageContinuous);
    QVERIFY(view()->displaysPageBreaks());
    QCOMPARE(view()->scaleFactor(), fitted);
    QCOMPARE(m_f->model->statusText(), QStringLiteral("已退出投影模式"));

    // A window the user already took out of full screen is not toggled back in.
    m_f->model->enterPresentationMode(false);
    m_f->model->exitPresentationMode(true);
    QCOMPARE(m_f->platform.toggledWindows.size(), 2);
}

void tst_PDFViewerPresentation::fullScreenOnlyForTheActiveKeyWindow_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("otherWindowIsKey");
    QTest::addColumn<bool>("windowGone"); // before the deferred toggle runs
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("toggle") << true << true << false << false << true;
    QTest::newRow("application in the background") << true << false << false << false << false;
    QTest::newRow("help window is key") << true << true << true << false << false;
    QTest::newRow("layout only") << false << true << false << false << false;
    QTest::newRow("window closed meanwhile") << true << true << false << true << false;
}

void tst_PDFViewerPresentation::fullScreenOnlyForTheActiveKeyWindow()
{
    QFETCH(bool, toggle);
    QFETCH(bool, active);
    QFETCH(bool, otherWindowIsKey);
    QFETCH(bool, windowGone);
    QFETCH(bool, fullScreen);
    QWidget help;
    auto *frame = new QWidget;
    m_f->model->pdfView()->setParent(frame);
    m_f->platform.keyWindow = otherWindowIsKey ? &help : frame;
    m_f->platform.applicationActive = active;
    m_f->model->enterPresentationMode(toggle);
    if (windowGone) {
        m_f->model->pdfView()->setParent(nullptr);
        delete frame;
        frame = nullptr;
    }
    QTest::qWait(50);
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePage);
    QCOMPARE(m_f->platform.fullScreenWindows.size(), fullScreen ? 1 : 0);
    QCOMPARE(m_f->platform.toggledWindows.size(), int(fullScreen));
    m_f->model->pdfView()->setParent(nullptr);
    delete frame;
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

QTEST_MAIN(tst_PDFViewerPresentation)
#include "tst_PDFViewerPresentation.moc"
