#include "BlueprintPDFView.h"
#include "PDFCanvasProbe.h"
#include "PDFDocument.h"
#include "PDFOverviewMap.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "PDFTileCache.h"
#include "PDFWheelZoomFilter.h"
#include "TestPDFs.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <algorithm>
#include <cmath>

// A window holding the canvas above a sibling widget, as the viewer window does.
struct CanvasWindow {
    QWidget window;
    QWidget *sibling = new QWidget;
    BlueprintPDFView *canvas = new BlueprintPDFView;
    PDFViewport *view = canvas->pdfViewport();
    PDFCanvasProbe probe {*canvas};

    CanvasWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(canvas, 1);
        sibling->setFixedHeight(60);
        layout->addWidget(sibling);
        window.resize(800, 660);
        window.show();
    }
};

class tst_BlueprintPDFView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void theWheelZoomsOnlyOverTheCanvas();
    void dragPansToTheEdgeAndClickFollowsLinks();
    void aFittedSheetStaysDrawnThroughRingZoomDocumentAndScreen();
    void turningPagesSettlesAndKeepsThePageInView_data();
    void turningPagesSettlesAndKeepsThePageInView();
    void overviewMapOutlinesTheViewAndMovesIt_data();
    void overviewMapOutlinesTheViewAndMovesIt();

private:
    std::shared_ptr<PDFDocument> open(const QString &name)
    {
        return PDFDocument::open(QFile::encodeName(m_dir.filePath(name)));
    }
    QTemporaryDir m_dir;
};

void tst_BlueprintPDFView::initTestCase()
{
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("a0.pdf")), 3, QSizeF(3370, 2384)));
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("a4.pdf")), 2));
    QVERIFY(TestPDFs::writeLinks(m_dir.filePath(QStringLiteral("links.pdf"))));
    // Portrait and landscape sheets from A4 to A0, and a narrow strip.
    QVERIFY(TestPDFs::writeSheets(m_dir.filePath(QStringLiteral("mixed.pdf")),
        {QSizeF(595, 842), QSizeF(842, 595), QSizeF(842, 1191), QSizeF(595, 842), QSizeF(3370, 2384),
            QSizeF(1684, 2384), QSizeF(300, 842), QSizeF(595, 842)}));
}

// One wheel event each, from a fitted page (start 0) or a set scale; a factor of 1: the scale
// stays and the event passes through.
void tst_BlueprintPDFView::theWheelZoomsOnlyOverTheCanvas()
{
    CanvasWindow w;
    PDFViewport *view = w.view;
    view->setDocument(open(QStringLiteral("a4.pdf")));
    QWidget other;
    other.resize(200, 200);
    other.show();
    QWidget *canvas = w.canvas->viewport();
    const double in = std::exp(0.12);
    const std::tuple<const char *, QWidget *, QPoint, QPoint, double, double> wheels[]
        = {{"one notch in", canvas, QPoint(0, 120), QPoint(), 0.0, in},
            {"precise 10 px", canvas, QPoint(0, 120), QPoint(0, 10), 0.0, in},
            {"diagonal, equal parts", canvas, QPoint(120, 120), QPoint(), 0.0, in},
            {"clamped at 800 %", canvas, QPoint(0, 120), QPoint(), 7.5, 8.0 / 7.5},
            {"clamped at 10 %", canvas, QPoint(0, -120), QPoint(), 0.11, 0.1 / 0.11},
            {"at 800 %, still swallowed", canvas, QPoint(0, 120), QPoint(), 8.0, 1.0},
            {"mostly horizontal", canvas, QPoint(-240, 120), QPoint(), 2.0, 1.0},
            {"over a sibling", w.sibling, QPoint(0, 120), QPoint(), 2.0, 1.0},
            {"in another window", &other, QPoint(0, 120), QPoint(), 2.0, 1.0}};
    for (const auto &[name, receiver, angle, pixels, start, factor] : wheels) {
        if (start > 0)
            view->setScaleFactor(start);
        else
            view->setAutoScales(true);
        const qreal before = view->scaleFactor();
        QSignalSpy scaleChanged(view, &PDFViewport::scaleChanged);
        QWheelEvent wheel(QPointF(20, 20), receiver->mapToGlobal(QPointF(20, 20)), pixels, angle, Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        wheel.ignore();
        QApplication::sendEvent(receiver, &wheel);
        QVERIFY2(qAbs(view->scaleFactor() - before * factor) < 1e-9, name);
        QVERIFY2(wheel.isAccepted() == (receiver == canvas), name); // a sibling's or another window's stays theirs
        QVERIFY2(factor == 1.0 || (!view->autoScales() && scaleChanged.count() == 1), name);
    }
}

void tst_BlueprintPDFView::dragPansToTheEdgeAndClickFollowsLinks()
{
    CanvasWindow w;
    PDFViewport *view = w.view;
    QWidget *vp = w.canvas->viewport();
    // Without a document a drag does nothing, and leaves no cursor behind.
    QVERIFY(!view->pan(QPointF(10, 10)));
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(vp, QPoint(200, 200));
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(200, 200));
    QVERIFY(!QGuiApplication::overrideCursor());

    QList<QUrl> opened;
    w.canvas->setExternalLinkHandler([&opened](const QUrl &url) { opened.append(url); });
    view->setDocument(open(QStringLiteral("links.pdf")));
    view->setScaleFactor(3.0);
    view->setScaleFactor(std::nan("")); // a scale that is no number changes nothing
    QCOMPARE(view->scaleFactor(), 3.0);
    QScrollBar *h = w.canvas->horizontalScrollBar();
    QScrollBar *v = w.canvas->verticalScrollBar();
    h->setValue(400);
    v->setValue(400);

    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(vp, QPoint(301, 300)); // within the drag distance: nothing yet
    QCOMPARE(h->value(), 400);
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::mouseMove(vp, QPoint(340, 320));
    QVERIFY(QGuiApplication::overrideCursor());
    // The drawing follows the pointer: it moved right and down by exactly the drag.
    QCOMPARE(h->value(), 360);
    QCOMPARE(v->value(), 380);
    QTest::mouseMove(vp, QPoint(5000, 5000));
    QCOMPARE(h->value(), 0);
    QCOMPARE(v->value(), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(5000, 5000));
    QVERIFY(!QGuiApplication::overrideCursor()); // pushed and popped in balance

    const auto origin = view->pan(QPointF(-1e6, -1e6));
    QVERIFY(origin);
    QCOMPARE(*origin, QPointF(h->maximum(), v->maximum()));
    QCOMPARE(view->scrollPosition(), QPoint(h->value(), v->value()));

    // Each page holds one link over its top-left inch: an https link, a javascript: link
    // (never followed) and an internal link to the last page.
    view->setScaleFactor(1.0);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    for (int page = 0; page < 3; ++page) {
        view->goToPageIndex(page);
        vp->repaint();
        QTest::qWait(100);
        const QPointF link = view->document()->page(page)->pageToDisplay().map(QPointF(36, 36));
        QTest::mouseClick(vp, Qt::LeftButton, {}, (view->pageRectInViewport(page).topLeft() + link).toPoint());
    }
    QCOMPARE(opened, QList<QUrl> {QUrl(QStringLiteral("https://example.org/plan"))});
    QCOMPARE(view->currentPageIndex(), 3);
}

namespace {

// Lets every posted event run, then counts the scale changes that still happen: a fit that has
// reached its fixed point causes none.
int churnAfterSettling(BlueprintPDFView *canvas)
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    const QSignalSpy changes(canvas->pdfViewport(), &PDFViewport::scaleChanged);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    return int(changes.count());
}

} // namespace

void tst_BlueprintPDFView::turningPagesSettlesAndKeepsThePageInView_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("fitted");
    // A turned A4 sheet fitted into a 600-pixel-high view is exactly as wide as the view at
    // about 855 pixels: within a scroll bar's width below that, showing the horizontal bar
    // made the sheet fit by height, which hid the bar again, for ever.
    for (int width : {640, 838, 846, 853, 858, 1200})
        QTest::addRow("fitted, %d px wide", width) << width << true;
    QTest::newRow("zoomed in") << 1000 << false;
}

// Every sheet of a mix of sizes, turned full circle with the view inside it: the layout comes
// to rest at once, the page stays current, and fitted it stays wholly in view, zoomed in the
// view's centre stays on the same spot of the page.
void tst_BlueprintPDFView::turningPagesSettlesAndKeepsThePageInView()
{
    QFETCH(int, width);
    QFETCH(bool, fitted);
    CanvasWindow w;
    w.window.resize(width, 660);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.view->setDocument(open(QStringLiteral("mixed.pdf")));
    w.view->setAutoScales(true);
    if (!fitted)
        w.view->setScaleFactor(2.0);
    const QPointF centre = QRectF(w.canvas->viewport()->rect()).center();
    for (int page = 0; page < w.view->document()->pageCount(); ++page) {
        w.view->goToPageIndex(page);
        w.view->pan(fitted ? QPointF(0, -40) : QPointF(-150, -500)); // inside the page, not at its top
        const auto relative = [&] {
            const QRectF r = w.view->pageRectInViewport(page);
            return QPointF((centre.x() - r.left()) / r.width(), (centre.y() - r.top()) / r.height());
        };
        const QPointF before = relative();
        for (int turn = 1; turn <= 4; ++turn) {
            PDFPage *turned = w.view->document()->page(page);
            turned->setRotation(PDFPage::normalizedRotation(turned->rotation() + 90));
            w.view->layoutDocumentView();
            const QByteArray where
                = QByteArray("page ") + QByteArray::number(page + 1) + " turn " + QByteArray::number(turn);
            QVERIFY2(churnAfterSettling(w.canvas) == 0, where.constData());
            QVERIFY2(w.view->autoScales() == fitted, where.constData());
            QVERIFY2(w.view->currentPageIndex() == page, where.constData());
            const QRectF shownArea = QRectF(w.canvas->viewport()->rect()).adjusted(-1, -1, 1, 1);
            if (fitted)
                QVERIFY2(shownArea.contains(w.view->pageRectInViewport(page)), where.constData());
            else
                QVERIFY2((relative() - before).manhattanLength() < 0.02, where.constData());
        }
    }
}

// One fitted A0 sheet through four changes: a found match on it is ringed though tiny, and the
// ring fades; while zooming every frame shows the page, from the pictures at hand, until the
// new scale is rendered; the late tiles of a replaced document are dropped, never shown or
// kept; moved to a screen of twice the pixel density, the canvas asks for tiles at the new
// ratio and becomes sharp at it.
void tst_BlueprintPDFView::aFittedSheetStaysDrawnThroughRingZoomDocumentAndScreen()
{
    CanvasWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QCOMPARE(w.canvas->devicePixelRatioF(), 1.0);
    w.view->setDocument(open(QStringLiteral("a0.pdf")));
    w.view->setAutoScales(true);
    QTRY_VERIFY(w.probe.isViewSharp());

    // "Page 1" on a fitted A0 sheet: about 12 × 4 pixels.
    const PDFSelection match {0, QStringLiteral("Page"), {QRectF(90, 80, 52, 22)}};
    w.view->setCurrentSelection(match, true);
    w.view->go(match);
    const qreal fitted = w.view->scaleFactor();
    const QRectF shown = (w.view->document()->page(0)->pageToDisplay() * QTransform::fromScale(fitted, fitted))
                             .mapRect(match.rects.first())
                             .translated(w.view->pageRectInViewport(0).topLeft());
    QVERIFY(shown.width() < 24);
    // The widest run of the ring's orange along the row through the match.
    auto ringWidth = [&] {
        const QImage image = w.canvas->viewport()->grab().toImage();
        const int y = qRound(shown.center().y() * image.devicePixelRatio());
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - 230) < 30 && qAbs(c.green() - 150) < 40 && c.blue() < 60) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        return first < 0 ? 0.0 : (last - first + 1) / image.devicePixelRatio();
    };
    QVERIFY2(ringWidth() >= 24, QByteArray::number(ringWidth()).constData());
    // It fades after a moment, leaving the highlight's own outline.
    QTRY_VERIFY_WITH_TIMEOUT(ringWidth() <= shown.width() + 4, 4000);
    QVERIFY(w.view->currentSelection().has_value()); // the highlight itself stays

    w.canvas->repaint();
    QTRY_VERIFY(w.probe.isRenderIdle()); // the preview too
    w.probe.resetFrameStats();
    for (int i = 0; i < 6; ++i) {
        w.view->zoomBy(PDFWheelZoomFilter::factorFor(1, false));
        w.canvas->viewport()->repaint();
    }
    QCOMPARE(w.probe.frameStats().blankFrames, 0);
    QVERIFY(!w.probe.isViewSharp()); // renders of the first document are under way

    const quint64 oldGeneration = w.canvas->renderQueue()->generation();
    w.view->setDocument(open(QStringLiteral("a4.pdf")));
    w.view->setDocument(nullptr);
    w.view->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->viewport()->repaint();
    QTRY_VERIFY(w.probe.isRenderIdle());
    QVERIFY(w.canvas->renderQueue()->generation() > oldGeneration); // the queue drops what is late: tst_PDFRenderQueue
    QTRY_VERIFY(w.probe.isViewSharp());

    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto dense = std::find_if(
        screens.cbegin(), screens.cend(), [](const QScreen *screen) { return screen->devicePixelRatio() == 2.0; });
    if (dense == screens.cend())
        QSKIP("needs the screen at ratio 2 of two-screens.json");
    const qreal scale = w.view->scaleFactor();
    const PDFTileCache &cache = w.canvas->renderQueue()->cache();
    PDFTileKey page;
    page.document = w.canvas->renderQueue()->generation();
    page.page = 0;
    QVERIFY(cache.cachedTileScales(page).contains(PDFTileKey::scaleKeyFor(scale)));

    w.window.move((*dense)->geometry().topLeft() + QPoint(20, 20));
    QTRY_COMPARE(w.canvas->devicePixelRatioF(), 2.0);
    QTRY_VERIFY(w.probe.isViewSharp());
    QCOMPARE(w.view->scaleFactor(), scale); // logical pixels did not change
    QVERIFY(cache.cachedTileScales(page).contains(PDFTileKey::scaleKeyFor(2 * scale)));
}

void tst_BlueprintPDFView::overviewMapOutlinesTheViewAndMovesIt_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QPointF>("click"); // on the page in the map, 0..1 across it
    QTest::newRow("50 %") << 0.5 << 0 << QPointF(0.6, 0.4);
    QTest::newRow("200 %") << 2.0 << 0 << QPointF(0.3, 0.6);
    QTest::newRow("800 %, turned right") << 8.0 << 90 << QPointF(0.25, 0.75);
    QTest::newRow("50 %, turned left") << 0.5 << 270 << QPointF(0.6, 0.4);
    QTest::newRow("400 %, upside down") << 4.0 << 180 << QPointF(0.8, 0.1);
}

// The map shows the page as turned on screen, outlines what the view shows of it, and a click
// centres the view on the spot clicked; it hides at fit and keeps off what it must not cover.
void tst_BlueprintPDFView::overviewMapOutlinesTheViewAndMovesIt()
{
    QFETCH(double, scale);
    QFETCH(int, rotation);
    QFETCH(QPointF, click);
    CanvasWindow w;
    w.view->setDocument(open(QStringLiteral("a0.pdf")));
    w.view->document()->page(0)->setRotation(rotation);
    w.view->layoutDocumentView();
    w.view->setAutoScales(true);
    PDFOverviewMap *map = w.canvas->overviewMap();
    QVERIFY(!map->isVisible());
    w.view->setScaleFactor(scale);
    QVERIFY(map->isVisible());
    const QRectF area = map->pageArea();
    const QPointF at = area.topLeft() + QPointF(click.x() * area.width(), click.y() * area.height());
    QTest::mouseClick(map, Qt::LeftButton, {}, at.toPoint());

    const QRectF page = w.view->pageRectInViewport(0);
    const QSizeF view = w.view->viewportSize();
    QVERIFY(std::abs(area.width() / area.height() - page.width() / page.height()) < 0.02);
    QVERIFY(std::abs((view.width() / 2 - page.left()) / page.width() - click.x()) < 0.01);
    QVERIFY(std::abs((view.height() / 2 - page.top()) / page.height() - click.y()) < 0.01);
    const QRectF outline = map->visibleArea();
    QVERIFY((outline.center() - at).manhattanLength() < 2);
    QVERIFY(std::abs(outline.width() / area.width() - view.width() / page.width()) < 0.01);
    QVERIFY(std::abs(outline.height() / area.height() - view.height() / page.height()) < 0.01);

    QWidget obstacle(w.canvas->viewport());
    obstacle.setGeometry(map->geometry());
    obstacle.show();
    map->keepClearOf(&obstacle);
    QVERIFY(map->isVisible() && !map->geometry().intersects(obstacle.geometry()));
    w.view->setAutoScales(true);
    QVERIFY(!map->isVisible());
}

QTEST_MAIN(tst_BlueprintPDFView)
#include "tst_BlueprintPDFView.moc"
