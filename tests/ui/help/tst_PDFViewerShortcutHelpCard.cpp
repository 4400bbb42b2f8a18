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
    void rowsShowTheEffectiveShortcuts();
    void cardLooksTheSameInALightAndADarkDesktop();
    void viewFollowsTheStoreAndReadsRowByRow();
};

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

    // On the card, none overlapping.
    const QList<PDFViewerShortcutHelpCard::Row> rows = PDFViewerShortcutHelpCard(moved).rows();
    for (int i = 0; i < rows.size(); ++i) {
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
