#include "BlueprintPDFView.h"
#include "FakePlatformServices.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutDispatch.h"
#include "PDFViewerShortcutStore.h"
#include "TestPDFs.h"

#include <QAction>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Command = PDFViewerMenuCommands::Command;
using Action = PDFViewerShortcutAction;

namespace {

// A shown, active window with the menu bar over a model on a fake desktop, with the canvas
// as its content so pages lay out at a real size.
struct MenuFixture {
    MenuFixture()
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        , model(&settings, &platform)
        , store(&settings, PDFViewerShortcutStore::defaultStorageKey())
        , commands(new PDFViewerMenuCommands(&window, &model, &store))
    {
        window.setCentralWidget(model.pdfView());
        window.resize(900, 700);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    bool open(int pages)
    {
        const QString file = dir.filePath(QStringLiteral("set.pdf"));
        if (!TestPDFs::writePlain(file, pages))
            return false;
        model.open(QUrl::fromLocalFile(file));
        return model.pageCount() == pages;
    }
    void press(const QKeySequence &sequence)
    {
        const QKeyCombination chord = sequence[0];
        QTest::keyClick(&window, chord.key(), chord.keyboardModifiers());
    }
    QKeySequence defaultKey(Action action) const
    {
        return PDFViewerShortcutDispatch::keySequence(store.shortcut(action));
    }

    QTemporaryDir dir;
    QSettings settings;
    FakePlatformServices platform;
    PDFViewerModel model;
    PDFViewerShortcutStore store;
    QMainWindow window;
    PDFViewerMenuCommands *commands;
};

// What a drawing command could change.
QVariantList stateOf(const MenuFixture &f)
{
    return {f.model.pageIndex(), f.model.zoomPercentage(), f.model.isPresentationMode(), f.model.statusText(),
        f.platform.beeps};
}

} // namespace

class tst_PDFViewerMenuCommands : public QObject {
    Q_OBJECT

private slots:
    void enabledStatesFollowTheDocument_data();
    void enabledStatesFollowTheDocument();
    void presentationItemTitleFollowsTheMode();
    void keysFollowTheStoreAtOnce();
    void keysWithoutADocumentDoNothing_data();
    void keysWithoutADocumentDoNothing();
};

void tst_PDFViewerMenuCommands::enabledStatesFollowTheDocument_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<bool>("next");
    QTest::newRow("no document") << 0 << 0 << false << false;
    QTest::newRow("first of three") << 3 << 0 << false << true;
    QTest::newRow("middle of three") << 3 << 1 << true << true;
    QTest::newRow("last of three") << 3 << 2 << true << false;
    QTest::newRow("one page") << 1 << 0 << false << false;
}

void tst_PDFViewerMenuCommands::enabledStatesFollowTheDocument()
{
    QFETCH(int, pages);
    QFETCH(int, page);
    QFETCH(bool, previous);
    QFETCH(bool, next);
    MenuFixture f;
    if (pages > 0) {
        QVERIFY(f.open(pages));
        f.model.goToPage(page + 1);
        QTRY_COMPARE(f.model.pageIndex(), page);
    }
    const bool open = pages > 0;
    QCOMPARE(f.commands->action(Action::previousPage)->isEnabled(), previous);
    QCOMPARE(f.commands->action(Action::nextPage)->isEnabled(), next);
    for (Action action : Action::allCases()) {
        if (action != Action::previousPage && action != Action::nextPage)
            QVERIFY2(f.commands->action(action)->isEnabled() == open, qPrintable(action.rawValue()));
    }
    QCOMPARE(f.commands->action(Command::closePDF)->isEnabled(), open);
    QCOMPARE(f.commands->action(Command::searchPDF)->isEnabled(), open);
    for (Command always : {Command::openPDF, Command::shortcutSettings, Command::quit, Command::help, Command::about})
        QVERIFY(f.commands->action(always)->isEnabled());
}

void tst_PDFViewerMenuCommands::presentationItemTitleFollowsTheMode()
{
    MenuFixture f;
    QVERIFY(f.open(2));
    QAction *toggle = f.commands->action(Action::togglePresentation);
    QCOMPARE(toggle->text(), QStringLiteral("进入投影"));
    toggle->trigger();
    QVERIFY(f.model.isPresentationMode());
    QCOMPARE(toggle->text(), QStringLiteral("退出投影"));
    f.model.exitPresentationMode(false);
    QCOMPARE(toggle->text(), QStringLiteral("进入投影"));
}

void tst_PDFViewerMenuCommands::keysFollowTheStoreAtOnce()
{
    MenuFixture f;
    QVERIFY(f.open(2));
    const QKeySequence oldKey = f.defaultKey(Action::zoomIn);
    const PDFViewerShortcut rebound(PDFViewerShortcutKey(QStringLiteral("k")),
        PDFViewerShortcutModifiers::option | PDFViewerShortcutModifiers::shift);
    QVERIFY(!f.store.update(rebound, Action::zoomIn));
    QCOMPARE(f.commands->action(Action::zoomIn)->shortcut(), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));

    // The new key answers; the old one is free.
    const int before = f.model.zoomPercentage();
    f.press(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));
    QVERIFY(f.model.zoomPercentage() > before);
    const int after = f.model.zoomPercentage();
    f.press(oldKey);
    QCOMPARE(f.model.zoomPercentage(), after);

    f.store.resetAll();
    QCOMPARE(f.commands->action(Action::zoomIn)->shortcut(), oldKey);
}

void tst_PDFViewerMenuCommands::keysWithoutADocumentDoNothing_data()
{
    QTest::addColumn<Action>("action");
    for (Action action : Action::allCases())
        QTest::newRow(qPrintable(action.rawValue())) << action;
}

void tst_PDFViewerMenuCommands::keysWithoutADocumentDoNothing()
{
    QFETCH(Action, action);
    MenuFixture f;
    QSignalSpy triggered(f.commands->action(action), &QAction::triggered);
    const QVariantList before = stateOf(f);
    f.press(f.defaultKey(action));
    QCOMPARE(triggered.count(), 0);
    QCOMPARE(stateOf(f), before);
}

QTEST_MAIN(tst_PDFViewerMenuCommands)
#include "tst_PDFViewerMenuCommands.moc"
