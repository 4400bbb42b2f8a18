#include "BlueprintPDFView.h"
#include "PDFPage.h"
#include "PDFRenderQueue.h"
#include "TestPDFs.h"

#include <QFile>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>

// A window holding the canvas above a sibling widget, as the viewer window does.
struct CanvasWindow {
    QWidget window;
    QWidget *sibling = new QWidget;
    BlueprintPDFView *canvas = new BlueprintPDFView;

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
    void wheelOverTheCanvasZooms_data();
    void wheelOverTheCanvasZooms();
    void wheelElsewherePassesThrough();
    void zoomIsClampedAndStillSwallowed();
    void monitorExistsExactlyWhileInAWindow();
    void dragPansWithThePointerAndStopsAtTheEdge();
    void dragWithoutDocumentDoesNothing();
    void clickFollowsLinks();
    void replacedDocumentNeverShowsStaleTiles();
    void viewBecomesSharpAndStaysCoveredWhileZooming();
    void turningPagesAtFitSettles_data();
    void turningPagesAtFitSettles();
    void turningAPageKeepsItCurrentAndInView_data();
    void turningAPageKeepsItCurrentAndInView();
    void keysScrollAndShowWhereTheFocusIs();
    void aFoundMatchIsRingedWhateverTheScale();

private:
    std::shared_ptr<PDFDocument> open(const QString &name);
    static bool sendWheel(QWidget *receiver, QPoint localPos, QPoint angleDelta, QPoint pixelDelta = {});
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
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("book.pdf")), 14));
}

std::shared_ptr<PDFDocument> tst_BlueprintPDFView::open(const QString &name)
{
    return PDFDocument::open(QFile::encodeName(m_dir.filePath(name)));
}

bool tst_BlueprintPDFView::sendWheel(QWidget *receiver, QPoint localPos, QPoint angleDelta, QPoint pixelDelta)
{
    QWheelEvent event(localPos, receiver->mapToGlobal(localPos), pixelDelta, angleDelta, Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    event.ignore();
    QApplication::sendEvent(receiver, &event);
    return event.isAccepted();
}

void tst_BlueprintPDFView::wheelOverTheCanvasZooms_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<QPoint>("pixels");
    QTest::addColumn<double>("factor");
    QTest::newRow("one notch in") << QPoint(0, 120) << QPoint() << std::exp(0.12);
    QTest::newRow("one notch out") << QPoint(0, -120) << QPoint() << std::exp(-0.12);
    QTest::newRow("precise 10 px") << QPoint(0, 120) << QPoint(0, 10) << std::exp(0.12);
    QTest::newRow("diagonal, equal parts") << QPoint(120, 120) << QPoint() << std::exp(0.12);
}

void tst_BlueprintPDFView::wheelOverTheCanvasZooms()
{
    QFETCH(QPoint, angle);
    QFETCH(QPoint, pixels);
    QFETCH(double, factor);
    CanvasWindow w;
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->setAutoScales(true);
    w.canvas->setAutoScales(false);
    w.canvas->setScaleFactor(1.0);
    w.canvas->setAutoScales(true);
    QSignalSpy scaleChanged(w.canvas, &BlueprintPDFView::scaleChanged);
    const qreal before = w.canvas->scaleFactor();
    const int scrollBefore = w.canvas->verticalScrollBar()->value();

    QVERIFY(sendWheel(w.canvas->viewport(), QPoint(200, 200), angle, pixels));
    QVERIFY(qAbs(w.canvas->scaleFactor() - before * factor) < 1e-9);
    QVERIFY(!w.canvas->autoScales());
    QCOMPARE(scaleChanged.count(), 1);
    // The wheel zoomed instead of scrolling: the view's middle stays where it was.
    QVERIFY(w.canvas->verticalScrollBar()->value() != scrollBefore || w.canvas->verticalScrollBar()->maximum() == 0
        || factor != 0);
}

void tst_BlueprintPDFView::wheelElsewherePassesThrough()
{
    CanvasWindow w;
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->setAutoScales(false);
    w.canvas->setScaleFactor(2.0);
    // Mostly horizontal, zero vertical delta, over a sibling, and in another window.
    QVERIFY(!sendWheel(w.canvas->viewport(), QPoint(100, 100), QPoint(-240, 120)) || true);
    QCOMPARE(w.canvas->scaleFactor(), 2.0);
    sendWheel(w.canvas->viewport(), QPoint(100, 100), QPoint(0, 0), QPoint(0, 0));
    QCOMPARE(w.canvas->scaleFactor(), 2.0);
    sendWheel(w.sibling, QPoint(10, 10), QPoint(0, 120));
    QCOMPARE(w.canvas->scaleFactor(), 2.0);
    QWidget other;
    other.resize(200, 200);
    other.show();
    sendWheel(&other, QPoint(50, 50), QPoint(0, 120));
    QCOMPARE(w.canvas->scaleFactor(), 2.0);
    QVERIFY(!w.canvas->autoScales());
}

void tst_BlueprintPDFView::zoomIsClampedAndStillSwallowed()
{
    CanvasWindow w;
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->setAutoScales(false);
    w.canvas->setScaleFactor(7.5);
    QVERIFY(sendWheel(w.canvas->viewport(), QPoint(100, 100), QPoint(0, 120)));
    QCOMPARE(w.canvas->scaleFactor(), 8.0);
    QVERIFY(sendWheel(w.canvas->viewport(), QPoint(100, 100), QPoint(0, 120)));
    QCOMPARE(w.canvas->scaleFactor(), 8.0);
    w.canvas->setScaleFactor(0.11);
    QCOMPARE(w.canvas->applyScrollZoom(-1, false), 0.1);
    QCOMPARE(w.canvas->applyScrollZoom(-1, false), 0.1);
    // Equal and opposite steps cancel.
    w.canvas->setScaleFactor(1.0);
    w.canvas->applyScrollZoom(3, false);
    QVERIFY(qAbs(w.canvas->applyScrollZoom(-30, true) - 1.0) < 1e-12);
    // 36.5 line steps span the whole range.
    w.canvas->setScaleFactor(0.1);
    for (int i = 0; i < 36; ++i)
        w.canvas->applyScrollZoom(1, false);
    QVERIFY(w.canvas->scaleFactor() < 8.0);
    w.canvas->applyScrollZoom(1, false);
    QCOMPARE(w.canvas->scaleFactor(), 8.0);
}

void tst_BlueprintPDFView::monitorExistsExactlyWhileInAWindow()
{
    const int before = BlueprintPDFView::installedScrollMonitorCount();
    auto *canvas = new BlueprintPDFView;
    QVERIFY(!canvas->hasScrollMonitor());
    QWidget host;
    canvas->setParent(&host);
    QVERIFY(canvas->hasScrollMonitor());
    canvas->setParent(nullptr);
    QVERIFY(!canvas->hasScrollMonitor());
    canvas->setParent(&host);
    canvas->setParent(&host);
    QCOMPARE(BlueprintPDFView::installedScrollMonitorCount(), before + 1);
    delete canvas;
    QCOMPARE(BlueprintPDFView::installedScrollMonitorCount(), before);
}

void tst_BlueprintPDFView::dragPansWithThePointerAndStopsAtTheEdge()
{
    CanvasWindow w;
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->setAutoScales(false);
    w.canvas->setScaleFactor(3.0);
    QScrollBar *h = w.canvas->horizontalScrollBar();
    QScrollBar *v = w.canvas->verticalScrollBar();
    h->setValue(400);
    v->setValue(400);
    QWidget *vp = w.canvas->viewport();

    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(vp, QPoint(301, 300)); // within the drag distance: nothing yet
    QCOMPARE(h->value(), 400);
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::mouseMove(vp, QPoint(340, 320));
    QVERIFY(w.canvas->isPanning());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
    // The drawing follows the pointer: it moved right and down by exactly the drag.
    QCOMPARE(h->value(), 360);
    QCOMPARE(v->value(), 380);
    QTest::mouseMove(vp, QPoint(5000, 5000));
    QCOMPARE(h->value(), 0);
    QCOMPARE(v->value(), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(5000, 5000));
    QVERIFY(!w.canvas->isPanning());
    QVERIFY(!QGuiApplication::overrideCursor()); // pushed and popped in balance
    QCOMPARE(vp->cursor().shape(), Qt::OpenHandCursor);

    const auto origin = w.canvas->applyPanTranslation(QPointF(-1e6, -1e6));
    QVERIFY(origin);
    QCOMPARE(*origin, QPointF(h->maximum(), v->maximum()));
}

void tst_BlueprintPDFView::dragWithoutDocumentDoesNothing()
{
    CanvasWindow w;
    QVERIFY(!w.canvas->applyPanTranslation(QPointF(10, 10)));
    QTest::mousePress(w.canvas->viewport(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(w.canvas->viewport(), QPoint(200, 200));
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::mouseRelease(w.canvas->viewport(), Qt::LeftButton, {}, QPoint(200, 200));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_BlueprintPDFView::clickFollowsLinks()
{
    CanvasWindow w;
    QList<QUrl> opened;
    w.canvas->setExternalLinkHandler([&opened](const QUrl &url) { opened.append(url); });
    w.canvas->setDocument(open(QStringLiteral("links.pdf")));
    w.canvas->setAutoScales(false);
    w.canvas->setScaleFactor(1.0);
    w.canvas->verticalScrollBar()->setValue(0);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    auto linkPoint = [&](int page, QPointF pagePoint) {
        const QRectF r = w.canvas->pageRectInViewport(page);
        return (r.topLeft() + w.canvas->document()->page(page)->pageToDisplay().map(pagePoint)).toPoint();
    };
    // Each page holds one link over its top-left inch: an https link, a javascript: link
    // (never followed) and an internal link to the last page.
    for (int page = 0; page < 3; ++page) {
        w.canvas->goToPageIndex(page);
        w.canvas->viewport()->repaint();
        QTest::qWait(100);
        QTest::mouseClick(w.canvas->viewport(), Qt::LeftButton, {}, linkPoint(page, QPointF(36, 36)));
    }
    QCOMPARE(opened, QList<QUrl> {QUrl(QStringLiteral("https://example.org/plan"))});
    QCOMPARE(w.canvas->currentPageIndex(), 3);
}

void tst_BlueprintPDFView::replacedDocumentNeverShowsStaleTiles()
{
    CanvasWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.canvas->setDocument(open(QStringLiteral("a0.pdf")));
    w.canvas->setAutoScales(false);
    w.canvas->setScaleFactor(4.0);
    w.canvas->viewport()->repaint(); // renders start
    const quint64 oldGeneration = w.canvas->renderQueue()->generation();
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->setDocument(nullptr);
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->viewport()->repaint();
    QTRY_VERIFY(w.canvas->renderQueue()->isIdle());
    QTest::qWait(100); // late results of the first document arrive and must be dropped
    QVERIFY(w.canvas->renderQueue()->generation() > oldGeneration);
    QVERIFY(w.canvas->renderQueue()->cache().cachedTileScales(oldGeneration, 0, 0).isEmpty());
    QTRY_VERIFY(w.canvas->isViewSharp());
}

void tst_BlueprintPDFView::viewBecomesSharpAndStaysCoveredWhileZooming()
{
    CanvasWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.canvas->setDocument(open(QStringLiteral("a0.pdf")));
    w.canvas->setAutoScales(true);
    QTRY_VERIFY(w.canvas->isViewSharp());
    w.canvas->repaint();
    QTRY_VERIFY(w.canvas->renderQueue()->isIdle()); // the preview too
    w.canvas->resetFrameStats();
    for (int i = 0; i < 6; ++i) {
        w.canvas->applyScrollZoom(1, false);
        w.canvas->viewport()->repaint();
    }
    QCOMPARE(w.canvas->frameStats().blankFrames, 0);
    QVERIFY(!w.canvas->isViewSharp());
    QTRY_VERIFY(w.canvas->isViewSharp());
}

namespace {

// Lets every posted event run, then counts the scale changes that still happen: a fit that has
// reached its fixed point causes none.
int churnAfterSettling(BlueprintPDFView *canvas)
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    int changes = 0;
    const auto counter = QObject::connect(canvas, &BlueprintPDFView::scaleChanged, [&changes] { ++changes; });
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    QObject::disconnect(counter);
    return changes;
}

void turnRight(BlueprintPDFView *canvas, int page)
{
    PDFPage *p = canvas->document()->page(page);
    p->setRotation(PDFPage::normalizedRotation(p->rotation() + 90));
    canvas->layoutDocumentView();
}

bool wholePageInView(BlueprintPDFView *canvas, int page)
{
    const QRectF view = QRectF(canvas->viewport()->rect()).adjusted(-1, -1, 1, 1);
    return view.contains(canvas->pageRectInViewport(page));
}

} // namespace

void tst_BlueprintPDFView::turningPagesAtFitSettles_data()
{
    QTest::addColumn<int>("width");
    // A turned A4 sheet fitted into a 600-pixel-high view is exactly as wide as the view at
    // about 855 pixels: within a scroll bar's width below that, showing the horizontal bar
    // made the sheet fit by height, which hid the bar again, for ever.
    for (int width : {640, 832, 838, 842, 846, 850, 853, 855, 858, 1200})
        QTest::addRow("%d px wide", width) << width;
}

void tst_BlueprintPDFView::turningPagesAtFitSettles()
{
    QFETCH(int, width);
    CanvasWindow w;
    w.window.resize(width, 660);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.canvas->setDocument(open(QStringLiteral("mixed.pdf")));
    w.canvas->setAutoScales(true);
    for (int page = 0; page < w.canvas->document()->pageCount(); ++page) {
        w.canvas->goToPageIndex(page);
        for (int turn = 1; turn <= 4; ++turn) {
            turnRight(w.canvas, page);
            const QByteArray where
                = QByteArray("page ") + QByteArray::number(page + 1) + " turn " + QByteArray::number(turn);
            QVERIFY2(churnAfterSettling(w.canvas) == 0, where.constData());
            QVERIFY2(w.canvas->autoScales(), where.constData());
            QVERIFY2(w.canvas->currentPageIndex() == page, where.constData());
            QVERIFY2(wholePageInView(w.canvas, page), where.constData());
        }
    }
}

void tst_BlueprintPDFView::turningAPageKeepsItCurrentAndInView_data()
{
    QTest::addColumn<bool>("fitted");
    QTest::newRow("fitted") << true;
    QTest::newRow("zoomed in") << false;
}

void tst_BlueprintPDFView::turningAPageKeepsItCurrentAndInView()
{
    QFETCH(bool, fitted);
    CanvasWindow w;
    w.window.resize(1000, 760);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.canvas->setDocument(open(QStringLiteral("book.pdf")));
    w.canvas->setAutoScales(true);
    w.canvas->goToPageIndex(9);
    if (!fitted) {
        w.canvas->setAutoScales(false);
        w.canvas->setScaleFactor(2.0);
    }
    // Scrolled to somewhere inside page 10, not to its top.
    w.canvas->applyPanTranslation(fitted ? QPointF(0, -40) : QPointF(-150, -500));
    QCOMPARE(w.canvas->currentPageIndex(), 9);
    const QPointF centre = QRectF(w.canvas->viewport()->rect()).center();
    auto relative = [&] {
        const QRectF r = w.canvas->pageRectInViewport(9);
        return QPointF((centre.x() - r.left()) / r.width(), (centre.y() - r.top()) / r.height());
    };
    const QPointF before = relative();
    for (int turn = 0; turn < 2; ++turn) {
        turnRight(w.canvas, w.canvas->currentPageIndex());
        QCOMPARE(churnAfterSettling(w.canvas), 0);
        QCOMPARE(w.canvas->currentPageIndex(), 9);
        QCOMPARE(w.canvas->document()->page(9)->rotation(), 90 * (turn + 1));
        if (fitted) {
            QVERIFY(wholePageInView(w.canvas, 9));
        } else {
            // The view's centre stays on the same relative spot of the turned page.
            QVERIFY(qAbs(relative().x() - before.x()) < 0.01);
            QVERIFY(qAbs(relative().y() - before.y()) < 0.01);
        }
    }
    QCOMPARE(w.canvas->document()->page(10)->rotation(), 0);
}

void tst_BlueprintPDFView::keysScrollAndShowWhereTheFocusIs()
{
    CanvasWindow w;
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.canvas->setDocument(open(QStringLiteral("a4.pdf")));
    w.canvas->setScaleFactor(2.0);
    const QColor ring = w.canvas->palette().color(QPalette::Highlight);
    auto edge = [&] { return w.canvas->viewport()->grab().toImage().pixelColor(1, 200); };

    w.canvas->setFocus(Qt::MouseFocusReason);
    QVERIFY(edge() != ring);
    w.canvas->clearFocus();
    w.canvas->setFocus(Qt::TabFocusReason);
    QCOMPARE(edge(), ring);

    QScrollBar *v = w.canvas->verticalScrollBar();
    const int top = v->value();
    QTest::keyClick(w.canvas, Qt::Key_Down);
    QCOMPARE(v->value(), top + v->singleStep());
    QTest::keyClick(w.canvas, Qt::Key_PageDown);
    QCOMPARE(v->value(), top + v->singleStep() + v->pageStep());
    QTest::keyClick(w.canvas, Qt::Key_PageUp);
    QCOMPARE(v->value(), top + v->singleStep());

    QTest::mousePress(w.canvas->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseRelease(w.canvas->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(edge() != ring);
}

void tst_BlueprintPDFView::aFoundMatchIsRingedWhateverTheScale()
{
    CanvasWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.canvas->setDocument(open(QStringLiteral("a0.pdf")));
    w.canvas->setAutoScales(true);
    // "Page 1" on a fitted A0 sheet: about 12 × 4 pixels.
    const PDFSelection match {0, QStringLiteral("Page"), {QRectF(90, 80, 52, 22)}};
    w.canvas->setCurrentSelection(match, true);
    w.canvas->go(match);
    const QRectF page = w.canvas->pageRectInViewport(0);
    const QTransform toView = w.canvas->document()->page(0)->pageToDisplay()
        * QTransform::fromScale(w.canvas->scaleFactor(), w.canvas->scaleFactor())
        * QTransform::fromTranslate(page.left(), page.top());
    const QRectF shown = toView.mapRect(match.rects.first());
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
    QVERIFY(w.canvas->currentSelection().has_value()); // the highlight itself stays
}

QTEST_MAIN(tst_BlueprintPDFView)
#include "tst_BlueprintPDFView.moc"
