#include "../ui/viewer/ViewerWindowFixture.h"
#include "PDFViewerMenuCommands.h"

#include <QAction>
#include <QtTest>

using Command = PDFViewerMenuCommands::Command;
using Action = PDFViewerShortcutAction;

class tst_PDFViewerMenuCommands : public QObject {
    Q_OBJECT

private slots:
    void statesFollowTheDocument();
};

// The menu over a shown viewer window, so pages lay out at a real size: page commands follow the
// current page, document commands the open document, and the presentation item's title the
// mode, through open, paging, presentation and close.
void tst_PDFViewerMenuCommands::statesFollowTheDocument()
{
    ViewerWindow f;
    auto *commands = new PDFViewerMenuCommands(f.window.get(), f.model.get(), f.shortcuts.get());
    QVERIFY(f.activate());

    // previous and next enabled; every other drawing and document command follows `open`.
    const auto check = [&](bool open, bool previous, bool next) {
        QCOMPARE(commands->action(Action::previousPage)->isEnabled(), previous);
        QCOMPARE(commands->action(Action::nextPage)->isEnabled(), next);
        for (Action action : Action::allCases()) {
            if (action != Action::previousPage && action != Action::nextPage)
                QVERIFY2(commands->action(action)->isEnabled() == open, qPrintable(action.rawValue()));
        }
        QCOMPARE(commands->action(Command::closePDF)->isEnabled(), open);
        QCOMPARE(commands->action(Command::searchPDF)->isEnabled(), open);
        for (Command always :
            {Command::openPDF, Command::shortcutSettings, Command::quit, Command::help, Command::about})
            QVERIFY(commands->action(always)->isEnabled());
    };
    check(false, false, false);
    QVERIFY(f.openPDF(QStringLiteral("set.pdf"), 3));
    check(true, false, true);
    QVERIFY(f.showPage(2));
    check(true, true, false);

    QAction *toggle = commands->action(Action::togglePresentation);
    QCOMPARE(toggle->iconText(), QStringLiteral("进入投影"));
    toggle->trigger();
    QVERIFY(f.model->isPresentationMode());
    QCOMPARE(toggle->iconText(), QStringLiteral("退出投影"));
    f.model->exitPresentationMode(false);
    QCOMPARE(toggle->iconText(), QStringLiteral("进入投影"));

    f.model->closeDocument();
    check(false, false, false);
}

QTEST_MAIN(tst_PDFViewerMenuCommands)
#include "tst_PDFViewerMenuCommands.moc"
