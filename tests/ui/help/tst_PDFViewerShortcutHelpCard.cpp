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
    void rowsShowTheEffectiveShortcutsInAnyDesktop();
    void viewFollowsTheStoreAndReadsRowByRow();
};

// Without overrides every row shows its default; one override changes only its own key cap.
// The card has its own colours: a dark desktop palette changes no pixel.
void tst_PDFViewerShortcutHelpCard::rowsShowTheEffectiveShortcutsInAnyDesktop()
{
    const QMap<Action, QString> defaults = shortcutTexts(PDFViewerShortcutHelpCard(PDFViewerShortcutConfiguration()));
    QCOMPARE(defaults.size(), 10);
    const PDFViewerShortcutConfiguration moved({{QStringLiteral("fitPage"), sc("⌘⌥9")}});
    QMap<Action, QString> expected = defaults;
    expected.insert(Action::fitPage, QStringLiteral("Ctrl+Alt+9"));
    QCOMPARE(shortcutTexts(PDFViewerShortcutHelpCard(moved)), expected);

    const QImage light = render(PDFViewerShortcutConfiguration());
    QVERIFY(render(moved) != light);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(30, 30, 32))); // light text on dark surfaces
    const QImage inDark = render(PDFViewerShortcutConfiguration());
    QApplication::setPalette(before);
    QVERIFY(light == inDark);
}

void tst_PDFViewerShortcutHelpCard::viewFollowsTheStoreAndReadsRowByRow()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    PDFViewerShortcutStore store(&settings, PDFViewerShortcutStore::defaultStorageKey());
    PDFViewerShortcutHelpCardView view(&store);
    QCOMPARE(view.accessibleName(), QStringLiteral("Plenvo帮助与当前快捷键"));
    auto element = [&](const char *raw) {
        return view.findChild<QWidget *>(QStringLiteral("pdf-help-row-") + QLatin1String(raw));
    };
    QCOMPARE(element("zoomIn")->accessibleName(), QStringLiteral("放大，Alt+="));
    const QImage before = view.grab().toImage();
    QVERIFY(!store.update(sc("⌘1"), Action::zoomIn));
    QCOMPARE(element("zoomIn")->accessibleName(), QStringLiteral("放大，Ctrl+1"));
    QVERIFY(view.grab().toImage() != before);
}

QTEST_MAIN(tst_PDFViewerShortcutHelpCard)
#include "tst_PDFViewerShortcutHelpCard.moc"
