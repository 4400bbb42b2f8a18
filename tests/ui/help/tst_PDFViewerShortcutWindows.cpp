#include "PDFShortcutRecorderButton.h"
#include "PDFViewerAccessibilityAnnouncer.h"
#include "PDFViewerShortcutHelpCard.h"
#include "PDFViewerShortcutHelpCardView.h"
#include "PDFViewerShortcutHelpPresenter.h"
#include "PDFViewerShortcutHelpRenderer.h"
#include "PDFViewerShortcutSettingsPresenter.h"
#include "PDFViewerShortcutSettingsRow.h"
#include "PDFViewerShortcutSettingsView.h"
#include "PDFViewerShortcutStore.h"
#include "ShortcutNotation.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Action = PDFViewerShortcutAction;

namespace {

// A store over its own settings file and the window content over it.
struct Settings {
    QTemporaryDir dir;
    QSettings settings {dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    PDFViewerShortcutStore shortcuts {&settings, PDFViewerShortcutStore::defaultStorageKey()};
    std::unique_ptr<PDFViewerShortcutSettingsView> view = std::make_unique<PDFViewerShortcutSettingsView>(&shortcuts);
};

QString announced()
{
    return QAccessible::queryAccessibleInterface(PDFViewerAccessibilityAnnouncer::announcementSource())
        ->text(QAccessible::Name);
}

// Whether the row shows the default it replaced, with its reset button.
bool showsCustomised(const PDFViewerShortcutSettingsRow *row)
{
    return !row->defaultLabel()->isHidden() && !row->resetButton()->isHidden();
}

bool noneCustomised(const PDFViewerShortcutSettingsView *view)
{
    for (PDFViewerShortcutAction action : PDFViewerShortcutAction::allCases()) {
        if (showsCustomised(view->row(action)))
            return false;
    }
    return true;
}

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

// The two windows about shortcuts: the settings, where they are changed, and the help card, which
// shows them and hands "自定义快捷键…" to the settings.
class tst_PDFViewerShortcutWindows : public QObject {
    Q_OBJECT

private slots:
    void rowsFollowTheStoreAndTheFileFollowsTheRows();
    void outcomesShowInTheirRow();
    void oneWindowWhereverItWasLeft();
    void cardShowsTheEffectiveShortcutsInAnyDesktop();
    void oneWindowShownAgainAndLeftByEveryButton();
};

// A row is customised while its shortcut differs from the default; the rows follow every change
// of the store, made here or elsewhere, and every change and reset made here is in the file
// when the handler returns.
void tst_PDFViewerShortcutWindows::rowsFollowTheStoreAndTheFileFollowsTheRows()
{
    Settings s;
    const auto onDisk = [&] {
        QFile file(s.settings.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(noneCustomised(s.view.get()));
    QVERIFY(!s.view->resetAllButton()->isEnabled());

    QVERIFY(!s.shortcuts.update(sc("⌘1"), Action::zoomIn)); // as another window would
    PDFViewerShortcutSettingsRow *zoomIn = s.view->row(Action::zoomIn);
    QCOMPARE(zoomIn->recorder()->displayText(), QStringLiteral("Ctrl+1"));
    QVERIFY(showsCustomised(zoomIn));
    QCOMPARE(zoomIn->defaultLabel()->text(), QStringLiteral("默认：Alt+="));
    QVERIFY(s.view->resetAllButton()->isEnabled());
    QVERIFY(!showsCustomised(s.view->row(Action::zoomOut)));

    s.view->recordShortcut(Action::fitPage, sc("⌘2"));
    QTest::mouseClick(zoomIn->resetButton(), Qt::LeftButton);
    QVERIFY(!showsCustomised(zoomIn));
    QVERIFY(!onDisk().contains("zoomIn"));
    QVERIFY(onDisk().contains("fitPage"));
    QVERIFY(s.view->resetAllButton()->isEnabled());

    // Only "恢复全部默认" speaks in the footer, and it clears the rows' messages.
    QTest::mouseClick(s.view->resetAllButton(), Qt::LeftButton);
    QCOMPARE(s.view->footerLabel()->text(), QStringLiteral("已恢复全部默认快捷键。"));
    QCOMPARE(announced(), QStringLiteral("已恢复全部默认快捷键。"));
    // Said by an invisible alert under the application; an empty message changes nothing.
    QAccessibleInterface *alert
        = QAccessible::queryAccessibleInterface(PDFViewerAccessibilityAnnouncer::announcementSource());
    QVERIFY(alert->role() == QAccessible::AlertMessage && alert->state().invisible);
    QCOMPARE(alert->parent(), QAccessible::queryAccessibleInterface(qApp));
    PDFViewerAccessibilityAnnouncer::announce(QString());
    QCOMPARE(announced(), QStringLiteral("已恢复全部默认快捷键。"));
    QVERIFY(s.view->row(Action::fitPage)->messageLabel()->isHidden());
    QVERIFY(!s.view->feedbackAction());
    QVERIFY(!onDisk().contains(PDFViewerShortcutStore::defaultStorageKey().toUtf8()));
    QVERIFY(!s.view->resetAllButton()->isEnabled());
    QVERIFY(noneCustomised(s.view.get()));

    // Shown its own default, a row is not customised, however that came about.
    zoomIn->showShortcut(sc("⌥="));
    QVERIFY(!showsCustomised(zoomIn));
    QCOMPARE(zoomIn->recorder()->displayText(), QStringLiteral("Alt+="));
}

// Each outcome shows in its own row, with the key cap the store then holds, and is announced,
// until the next one replaces it; the footer keeps its hint meanwhile.
void tst_PDFViewerShortcutWindows::outcomesShowInTheirRow()
{
    Settings s;
    PDFViewerShortcutSettingsRow *zoomIn = s.view->row(Action::zoomIn);
    const auto shows = [&](const QString &message, const char *keyCap) {
        QCOMPARE(s.view->feedbackAction(), std::optional<Action>(Action::zoomIn));
        QVERIFY(!zoomIn->messageLabel()->isHidden());
        QCOMPARE(zoomIn->messageLabel()->text(), message);
        QCOMPARE(zoomIn->recorder()->displayText(), QString::fromLatin1(keyCap));
        QVERIFY(s.view->row(Action::zoomOut)->messageLabel()->isHidden());
        QCOMPARE(s.view->footerLabel()->text(), QStringLiteral("至少包含 Ctrl、Alt 或 Super · Esc 取消录制"));
    };
    s.view->recordShortcut(Action::zoomIn, sc("⌘q"));
    QCOMPARE(announced(), QStringLiteral("这个组合已被应用或系统常用功能占用。"));
    shows(announced(), "Alt+=");
    s.view->recordShortcut(Action::zoomIn, sc("⌘1"));
    QCOMPARE(announced(), QStringLiteral("已把“放大”改为 Ctrl+1。"));
    shows(announced(), "Ctrl+1");
    s.view->resetShortcut(Action::zoomIn);
    QCOMPARE(announced(), QStringLiteral("已恢复“放大”的默认快捷键。"));
    shows(announced(), "Alt+=");
    s.view->showRecorderFeedback(Action::zoomIn, QStringLiteral("已取消录制。"));
    shows(QStringLiteral("已取消录制。"), "Alt+=");
}

// One window for the presenter's life, shown again after closing with its last message, and
// opened the next time where the user left it.
void tst_PDFViewerShortcutWindows::oneWindowWhereverItWasLeft()
{
    Settings s;
    QWidget owner;
    owner.resize(1080, 760);
    owner.show();
    PDFViewerShortcutSettingsPresenter presenter(&s.shortcuts, &s.settings, &owner);
    presenter.show();
    QWidget *window = presenter.window();
    QVERIFY(window && window->isVisible());
    presenter.view()->recordShortcut(Action::zoomIn, sc("⌘1"));

    window->move(40, 30);
    QVERIFY(window->close());
    presenter.show();
    QCOMPARE(presenter.window(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(presenter.view()->feedbackText(), QStringLiteral("已把“放大”改为 Ctrl+1。"));
    QCOMPARE(owner.findChildren<PDFViewerShortcutSettingsView *>().size(), 1);
    window->close();

    PDFViewerShortcutSettingsPresenter again(&s.shortcuts, &s.settings, &owner);
    again.show();
    QCOMPARE(again.window()->pos(), QPoint(40, 30));
    again.window()->close();
    // A place no screen shows any more is not used.
    s.settings.setValue(PDFViewerShortcutSettingsPresenter::autosaveName(), QPoint(-20000, -20000));
    PDFViewerShortcutSettingsPresenter lost(&s.shortcuts, &s.settings, &owner);
    lost.show();
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(lost.window()->frameGeometry()));
}

// Without overrides every row shows its default; one override changes only its own key cap, on
// the card and in the window's view, which follows the store. The card has its own colours: a
// dark desktop palette changes no pixel.
void tst_PDFViewerShortcutWindows::cardShowsTheEffectiveShortcutsInAnyDesktop()
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

// Each copy shows the keys as they are then; closed and shown again, the window's copy button
// still says how the last copy went. Its place is stored under its own name (the tool window's
// reuse and its reading the place back are checked with the shortcut settings).
void tst_PDFViewerShortcutWindows::oneWindowShownAgainAndLeftByEveryButton()
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

QTEST_MAIN(tst_PDFViewerShortcutWindows)
#include "tst_PDFViewerShortcutWindows.moc"
