#include "../ui/viewer/ViewerWindowFixture.h"
#include "BlueprintPDFView.h"
#include "PDFViewerMenuCommands.h"

#include <QAction>
#include <QMainWindow>
#include <QtTest>

using Command = PDFViewerMenuCommands::Command;
using Action = PDFViewerShortcutAction;

namespace {

// A shown, active window with the menu bar over the fixture's model, with the canvas as its
// content so pages lay out at a real size.
struct MenuFixture : ViewerWindowFixture {
    MenuFixture()
        : commands(new PDFViewerMenuCommands(&window, model.get(), shortcuts.get()))
    {
        window.setCentralWidget(model->pdfView());
        window.resize(900, 700);
        window.show();
        window.activateWindow();
    }

    QMainWindow window;
    PDFViewerMenuCommands *commands;
};

} // namespace

class tst_PDFViewerMenuCommands : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f.emplace();
        QVERIFY(QTest::qWaitForWindowActive(&f->window));
    }
    void cleanup() { f.reset(); }
    void enabledStatesFollowTheDocument_data();
    void enabledStatesFollowTheDocument();
    void presentationItemTitleFollowsTheMode();

private:
    std::optional<MenuFixture> f;
};

void tst_PDFViewerMenuCommands::enabledStatesFollowTheDocument_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<bool>("next");
    QTest::newRow("no document") << 0 << 0 << false << false;
    QTest::newRow("first of three") << 3 << 0 << false << true;
    QTest::newRow("last of three") << 3 << 2 << true << false;
}

void tst_PDFViewerMenuCommands::enabledStatesFollowTheDocument()
{
    QFETCH(int, pages);
    QFETCH(int, page);
    QFETCH(bool, previous);
    QFETCH(bool, next);
    if (pages > 0) {
        QVERIFY(f->openPDF(QStringLiteral("set.pdf"), pages));
        QVERIFY(f->showPage(page));
    }
    const bool open = pages > 0;
    QCOMPARE(f->commands->action(Action::previousPage)->isEnabled(), previous);
    QCOMPARE(f->commands->action(Action::nextPage)->isEnabled(), next);
    for (Action action : Action::allCases()) {
        if (action != Action::previousPage && action != Action::nextPage)
            QVERIFY2(f->commands->action(action)->isEnabled() == open, qPrintable(action.rawValue()));
    }
    QCOMPARE(f->commands->action(Command::closePDF)->isEnabled(), open);
    QCOMPARE(f->commands->action(Command::searchPDF)->isEnabled(), open);
    for (Command always : {Command::openPDF, Command::shortcutSettings, Command::quit, Command::help, Command::about})
        QVERIFY(f->commands->action(always)->isEnabled());
}

void tst_PDFViewerMenuCommands::presentationItemTitleFollowsTheMode()
{
    QVERIFY(f->openPDF(QStringLiteral("set.pdf"), 2));
    QAction *toggle = f->commands->action(Action::togglePresentation);
    QCOMPARE(toggle->iconText(), QStringLiteral("进入投影"));
    toggle->trigger();
    QVERIFY(f->model->isPresentationMode());
    QCOMPARE(toggle->iconText(), QStringLiteral("退出投影"));
    f->model->exitPresentationMode(false);
    QCOMPARE(toggle->iconText(), QStringLiteral("进入投影"));
}

QTEST_MAIN(tst_PDFViewerMenuCommands)
#include "tst_PDFViewerMenuCommands.moc"
