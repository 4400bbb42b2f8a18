#include "PDFHelpArtwork.h"
#include "PDFViewerShortcutHelpCard.h"
#include "PDFViewerShortcutHelpCardView.h"
#include "PDFViewerShortcutStore.h"
#include "ShortcutNotation.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using Action = PDFViewerShortcutAction;

namespace {

// The straight lines of a grid path, as (x1, y1, x2, y2).
QList<QLineF> linesOf(const QPainterPath &path)
{
    QList<QLineF> lines;
    for (int i = 0; i + 1 < path.elementCount(); i += 2)
        lines.append(QLineF(path.elementAt(i), path.elementAt(i + 1)));
    return lines;
}

QImage render(const PDFViewerShortcutConfiguration &configuration)
{
    QImage image(1440, 960, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PDFViewerShortcutHelpCard(configuration).paint(painter);
    return image;
}

QMap<Action, QString> shortcutTexts(const PDFViewerShortcutHelpCard &card)
{
    QMap<Action, QString> texts;
    for (const PDFViewerShortcutHelpCard::Row &row : card.rows())
        texts.insert(row.action, row.shortcut);
    return texts;
}

} // namespace

class tst_PDFViewerShortcutHelpCard : public QObject {
    Q_OBJECT

private slots:
    void gridLinesStartAtTheCornerAndReachTheFarEdge_data();
    void gridLinesStartAtTheCornerAndReachTheFarEdge();
    void smileArcKeepsItsProportions_data();
    void smileArcKeepsItsProportions();
    void rowsShowTheEffectiveShortcuts();
    void cardLooksTheSameInALightAndADarkDesktop();
    void viewFollowsTheStoreAndReadsRowByRow();
};

void tst_PDFViewerShortcutHelpCard::gridLinesStartAtTheCornerAndReachTheFarEdge_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<qreal>("lastX");
    QTest::newRow("card") << QRectF(0, 0, 720, 480) << 31 << 21 << 720.0;
    QTest::newRow("not a multiple") << QRectF(0, 0, 730, 490) << 31 << 21 << 720.0;
    QTest::newRow("offset") << QRectF(10, 5, 48, 24) << 3 << 2 << 58.0;
}

void tst_PDFViewerShortcutHelpCard::gridLinesStartAtTheCornerAndReachTheFarEdge()
{
    QFETCH(QRectF, rect);
    QFETCH(int, vertical);
    QFETCH(int, horizontal);
    QFETCH(qreal, lastX);
    const QList<QLineF> lines = linesOf(PDFHelpBlueprintGrid::path(rect));
    QCOMPARE(lines.size(), vertical + horizontal);
    const QLineF first = lines.first();
    QCOMPARE(first, QLineF(rect.left(), rect.top(), rect.left(), rect.bottom()));
    QCOMPARE(lines[vertical - 1].x1(), lastX);
    QCOMPARE(lines[vertical], QLineF(rect.left(), rect.top(), rect.right(), rect.top()));
    QVERIFY(lines.last().y1() <= rect.bottom());
    QVERIFY(lines.last().y1() + 24 > rect.bottom());
}

void tst_PDFViewerShortcutHelpCard::smileArcKeepsItsProportions_data()
{
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("card's large arc") << QRectF(210, 450, 300, 40) << 2.34375;
    QTest::newRow("product mark's smile") << QRectF(0, 0, 25, 4) << 25.0 / 128.0;
    QTest::newRow("limited by height") << QRectF(0, 0, 300, 17) << 1.0;
}

void tst_PDFViewerShortcutHelpCard::smileArcKeepsItsProportions()
{
    QFETCH(QRectF, frame);
    QFETCH(qreal, scale);
    QCOMPARE(PDFHelpCanonicalSmileArc::scale(frame), scale);
    const QPainterPath arc = PDFHelpCanonicalSmileArc::path(frame);
    QCOMPARE(arc.elementCount(), 4); // one move, one cubic
    const QPointF start = arc.elementAt(0);
    const QPointF end = arc.elementAt(3);
    QCOMPARE(end.x() - start.x(), 128 * scale);
    QCOMPARE(start.y(), end.y());
    QCOMPARE((start.x() + end.x()) / 2, frame.center().x());
}

// Without overrides every row shows its default; one override changes only its own key cap.
void tst_PDFViewerShortcutHelpCard::rowsShowTheEffectiveShortcuts()
{
    const QMap<Action, QString> defaults = shortcutTexts(PDFViewerShortcutHelpCard(PDFViewerShortcutConfiguration()));
    QCOMPARE(defaults.size(), 10);
    QCOMPARE(defaults.value(Action::zoomOut), QStringLiteral("Alt+\u2212"));

    const PDFViewerShortcutConfiguration moved({{QStringLiteral("fitPage"), sc("⌘⌥9")}});
    QMap<Action, QString> expected = defaults;
    expected.insert(Action::fitPage, QStringLiteral("Ctrl+Alt+9"));
    QCOMPARE(shortcutTexts(PDFViewerShortcutHelpCard(moved)), expected);
    QVERIFY(render(moved) != render(PDFViewerShortcutConfiguration()));

    // Two columns of 194.5 pixels, rows 31 high, none overlapping.
    const QList<PDFViewerShortcutHelpCard::Row> rows = PDFViewerShortcutHelpCard(moved).rows();
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].rect.size(), QSizeF(194.5, 31));
        QVERIFY(QRectF(0, 0, 720, 480).contains(rows[i].rect));
        for (int j = i + 1; j < rows.size(); ++j)
            QVERIFY(!rows[i].rect.intersects(rows[j].rect));
    }
}

void tst_PDFViewerShortcutHelpCard::cardLooksTheSameInALightAndADarkDesktop()
{
    const QImage light = render(PDFViewerShortcutConfiguration());
    QPalette dark;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, QColor(30, 30, 32));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(235, 235, 240));
    const QPalette before = QApplication::palette();
    QApplication::setPalette(dark);
    const QImage inDark = render(PDFViewerShortcutConfiguration());
    QApplication::setPalette(before);
    QCOMPARE(light.size(), QSize(1440, 960));
    QVERIFY(light == inDark);
}

// The card on screen follows every change of the store, and reads as one container of rows.
void tst_PDFViewerShortcutHelpCard::viewFollowsTheStoreAndReadsRowByRow()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    PDFViewerShortcutStore store(&settings, PDFViewerShortcutStore::defaultStorageKey());
    PDFViewerShortcutHelpCardView view(&store);
    QCOMPARE(view.size(), QSize(720, 480));
    QCOMPARE(view.accessibleName(), QStringLiteral("Plenvo帮助与当前快捷键"));
    auto element = [&](const char *raw) {
        return view.findChild<QWidget *>(QStringLiteral("pdf-help-row-") + QLatin1String(raw));
    };
    QCOMPARE(element("zoomIn")->accessibleName(), QStringLiteral("放大，Alt+="));
    QCOMPARE(element("togglePresentation")->accessibleName(), QStringLiteral("进入 / 退出投影，Alt+F"));
    const QImage before = view.grab().toImage();
    QVERIFY(!store.update(sc("⌘1"), Action::zoomIn));
    QCOMPARE(element("zoomIn")->accessibleName(), QStringLiteral("放大，Ctrl+1"));
    QVERIFY(view.grab().toImage() != before);
}

QTEST_MAIN(tst_PDFViewerShortcutHelpCard)
#include "tst_PDFViewerShortcutHelpCard.moc"
