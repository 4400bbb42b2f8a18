#include "PDFShortcutRecorderButton.h"
#include "PDFViewerAccessibilityAnnouncer.h"
#include "PDFViewerShortcutSettingsPresenter.h"
#include "PDFViewerShortcutSettingsRow.h"
#include "PDFViewerShortcutSettingsView.h"
#include "PDFViewerShortcutStore.h"
#include "ShortcutNotation.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
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

} // namespace

class tst_PDFViewerShortcutSettingsView : public QObject {
    Q_OBJECT

private slots:
    void rowsFollowTheStoreAndTheFileFollowsTheRows();
    void outcomesShowInTheirRow();
    void oneWindowWhereverItWasLeft();
};

// A row is customised while its shortcut differs from the default; the rows follow every change
// of the store, made here or elsewhere, and every change and reset made here is in the file
// when the handler returns.
void tst_PDFViewerShortcutSettingsView::rowsFollowTheStoreAndTheFileFollowsTheRows()
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
void tst_PDFViewerShortcutSettingsView::outcomesShowInTheirRow()
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
void tst_PDFViewerShortcutSettingsView::oneWindowWhereverItWasLeft()
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

QTEST_MAIN(tst_PDFViewerShortcutSettingsView)
#include "tst_PDFViewerShortcutSettingsView.moc"
