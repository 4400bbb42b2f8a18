#include "PDFViewerShortcutHelpCard.h"
#include "PDFViewerShortcutHelpCardView.h"
#include "PDFViewerShortcutHelpPresenter.h"
#include "PDFViewerShortcutHelpRenderer.h"
#include "PDFViewerShortcutSettingsPresenter.h"
#include "PDFViewerShortcutStore.h"
#include "ShortcutNotation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using Action = PDFViewerShortcutAction;

namespace {

// The help presenter over its own settings file, with the settings presenter it hands
// "自定义快捷键…" to and a website opener that only records what it was given.
struct Help {
    Help()
    {
        owner.resize(1080, 760);
        owner.show();
    }
    QTemporaryDir dir;
    QSettings settings {dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    PDFViewerShortcutStore shortcuts {&settings, PDFViewerShortcutStore::defaultStorageKey()};
    QWidget owner;
    PDFViewerShortcutSettingsPresenter shortcutSettings {&shortcuts, &settings, &owner};
    QList<QUrl> opened;
    PDFViewerShortcutHelpPresenter presenter {
        &shortcuts, &settings, &owner, &shortcutSettings, [this](const QUrl &url) { opened.append(url); }};

    QAbstractButton *button(const QString &name) const
    {
        return presenter.window()->findChild<QAbstractButton *>(name);
    }
};

QByteArray copiedPNG()
{
    return QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/png"));
}

QImage copiedImage()
{
    return QImage::fromData(copiedPNG(), "PNG").convertToFormat(QImage::Format_RGB32);
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

class tst_PDFViewerShortcutHelp : public QObject {
    Q_OBJECT

private slots:
    void cardShowsTheEffectiveShortcutsInAnyDesktop();
    void copyDrawsTheWholeCardAtTwiceTheSize();
    void oneWindowShownAgainAndLeftByEveryButton();
};

// Without overrides every row shows its default; one override changes only its own key cap, on
// the card and in the window's view, which follows the store. The card has its own colours: a
// dark desktop palette changes no pixel.
void tst_PDFViewerShortcutHelp::cardShowsTheEffectiveShortcutsInAnyDesktop()
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

    Help h;
    PDFViewerShortcutHelpCardView view(&h.shortcuts);
    const QWidget *zoomIn = view.findChild<QWidget *>(QStringLiteral("pdf-help-row-zoomIn"));
    QCOMPARE(zoomIn->accessibleName(), QStringLiteral("放大，Alt+="));
    const QImage shown = view.grab().toImage();
    QVERIFY(!h.shortcuts.update(sc("⌘1"), Action::zoomIn));
    QCOMPARE(zoomIn->accessibleName(), QStringLiteral("放大，Ctrl+1"));
    QVERIFY(view.grab().toImage() != shown);
}

// At twice the size the card fills the picture, not its top-left quarter: shrunk back, it is
// the card drawn at its own size but for the edges of its strokes.
void tst_PDFViewerShortcutHelp::copyDrawsTheWholeCardAtTwiceTheSize()
{
    QVERIFY(PDFViewerShortcutHelpRenderer::copyToPasteboard({}, 1.0));
    const QImage single = copiedImage();
    QCOMPARE(single.size(), PDFViewerShortcutHelpCard::size);
    QVERIFY(PDFViewerShortcutHelpRenderer::copyToPasteboard({}, 2.0));
    const QImage shrunk = copiedImage().scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 difference = 0;
    for (int y = 0; y < single.height(); ++y) {
        for (int x = 0; x < single.width(); ++x) {
            const QRgb a = single.pixel(x, y), b = shrunk.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    }
    const double meanPerChannel = double(difference) / (3.0 * single.width() * single.height());
    QVERIFY2(meanPerChannel < 3, qPrintable(QString::number(meanPerChannel)));
}

// Each copy shows the keys as they are then; closed and shown again, the window's copy button
// still says how the last copy went. Its place is stored under its own name (the tool window's
// reuse and its reading the place back are checked with the shortcut settings).
void tst_PDFViewerShortcutHelp::oneWindowShownAgainAndLeftByEveryButton()
{
    Help h;
    h.presenter.show();
    QWidget *window = h.presenter.window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->parentWidget(), &h.owner);

    QAbstractButton *copyButton = h.button(QStringLiteral("pdf-help-copy-image"));
    copyButton->click();
    QCOMPARE(copyButton->text(), QStringLiteral("已复制 ✓"));
    const QByteArray copied = copiedPNG();
    QVERIFY(!h.shortcuts.update(sc("⌘1"), Action::zoomIn));
    copyButton->click();
    QVERIFY(copiedPNG() != copied);

    window->move(50, 40);
    QVERIFY(window->close());
    QCOMPARE(h.settings.value(QStringLiteral("PlenvoPDFShortcutHelp")).toPoint(), QPoint(50, 40));
    h.presenter.show();
    QCOMPARE(h.presenter.window(), window);
    QCOMPARE(copyButton->text(), QStringLiteral("已复制 ✓"));

    // Every button out hides the window (Escape: the end-to-end test); only its own opens the
    // website or the shortcut settings.
    for (const char *name : {"pdf-help-close", "pdf-help-open-website"}) {
        h.presenter.show();
        h.button(QString::fromLatin1(name))->click();
        QVERIFY2(!window->isVisible(), name);
    }
    QCOMPARE(h.opened, QList<QUrl> {QUrl(QStringLiteral("https://plenvo.org/pdf/"))});
    QVERIFY(!h.shortcutSettings.window() || !h.shortcutSettings.window()->isVisible());
    h.presenter.show();
    h.button(QStringLiteral("pdf-help-customize-shortcuts"))->click();
    QVERIFY(!window->isVisible());
    QVERIFY(h.shortcutSettings.window()->isVisible());
    QCOMPARE(h.opened.size(), 1);
}

QTEST_MAIN(tst_PDFViewerShortcutHelp)
#include "tst_PDFViewerShortcutHelp.moc"
