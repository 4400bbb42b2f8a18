#include "PDFViewerKeyboardLayout.h"
#include "PDFViewerShortcutDispatch.h"
#include "PDFViewerShortcutPolicy.h"
#include "ShortcutNotation.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace {

Qt::KeyboardModifiers qtModifiers(qint64 members)
{
    return Qt::KeyboardModifiers((members & 1 ? Qt::MetaModifier : Qt::NoModifier)
        | (members & 2 ? Qt::AltModifier : Qt::NoModifier) | (members & 4 ? Qt::ShiftModifier : Qt::NoModifier)
        | (members & 8 ? Qt::ControlModifier : Qt::NoModifier));
}

} // namespace

class tst_PDFViewerShortcutDispatch : public QObject {
    Q_OBJECT

private slots:
    void keySequence();
    void keysRoundTrip_data();
    void keysRoundTrip();
};

// The bindings the round trip below cannot reach: Help's key stays one Ctrl+Shift+/ binding,
// whatever "/" shifted is (see PDFViewerMenuCommands), and keys no press gives bind nothing.
void tst_PDFViewerShortcutDispatch::keySequence()
{
    const auto sequence = [](const char *notation) {
        return PDFViewerShortcutDispatch::keySequence(sc(notation)).toString(QKeySequence::PortableText);
    };
    QCOMPARE(sequence("⇧⌘/"), QStringLiteral("Ctrl+Shift+/"));
    for (const char *unbindable : {"⌘", "⌘ab", "⌘\xef\x9c\xa8"}) // the last: forward delete U+F728
        QVERIFY2(sequence(unbindable).isEmpty(), unbindable);
}

void tst_PDFViewerShortcutDispatch::keysRoundTrip_data()
{
    QTest::addColumn<quint32>("scanCode"); // native: evdev + 8, US layout
    QTest::addColumn<int>("qtKey"); // of the unshifted symbol
    QTest::addColumn<QString>("recorded");
    QTest::addColumn<qint64>("members"); // stored bits: 1 Super, 2 Alt, 4 Shift, 8 Ctrl
    QTest::newRow("letter, Ctrl") << 26u << int(Qt::Key_E) << QStringLiteral("e") << qint64(8);
    QTest::newRow("digit, Shift+Ctrl") << 11u << int(Qt::Key_2) << QStringLiteral("2") << qint64(12);
    QTest::newRow("punctuation, Alt") << 61u << int(Qt::Key_Slash) << QStringLiteral("/") << qint64(2);
    QTest::newRow("function key, Ctrl+Alt") << 71u << int(Qt::Key_F5) << ch(0xF708) << qint64(10);
    QTest::newRow("arrow, Super+Alt+Shift") << 111u << int(Qt::Key_Up) << ch(0xF700) << qint64(7);
    QTest::newRow("Space, all four") << 65u << int(Qt::Key_Space) << QStringLiteral(" ") << qint64(15);
    QTest::newRow("Tab, Shift+Ctrl") << 23u << int(Qt::Key_Tab) << QStringLiteral("\t") << qint64(12);
    QTest::newRow("Backspace, Ctrl+Alt") << 22u << int(Qt::Key_Backspace) << ch(0x7F) << qint64(10);
    QTest::newRow("Return, Alt") << 36u << int(Qt::Key_Return) << QStringLiteral("\r") << qint64(2);
}

// A press records as its key and modifiers; the menu binding built for a usable combination is
// triggered by exactly that press, through Qt's own shortcut matching, and by no other modifier
// set on the same key. Presses carry the unshifted key, as the X11 and Wayland platforms offer
// it to shortcut matching (shift + "2" is matched as Shift+2).
void tst_PDFViewerShortcutDispatch::keysRoundTrip()
{
    QFETCH(quint32, scanCode);
    QFETCH(int, qtKey);
    QFETCH(QString, recorded);
    QFETCH(qint64, members);
    const PDFViewerKeyboardLayout us({QStringLiteral("evdev"), QStringLiteral("pc105"), QStringLiteral("us"), {}, {}});
    const QKeyEvent press(QEvent::KeyPress, qtKey, qtModifiers(members), scanCode, 0, 0, {});
    const std::optional<PDFViewerShortcut> shortcut = PDFViewerShortcut::fromEvent(press, us);
    QCOMPARE(shortcut, PDFViewerShortcut(PDFViewerShortcutKey(recorded), PDFViewerShortcutModifiers(members)));
    QVERIFY(!PDFViewerShortcutPolicy::basicValidationError(*shortcut));

    QMainWindow window;
    QAction *action = window.menuBar()->addMenu(QStringLiteral("图纸"))->addAction(shortcut->displayText());
    action->setShortcut(PDFViewerShortcutDispatch::keySequence(*shortcut));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy triggered(action, &QAction::triggered);
    for (qint64 other = 0; other < 16; ++other) {
        const bool backtab = (other & 4) && qtKey == Qt::Key_Tab; // as the platform reports it
        QTest::keyClick(&window, Qt::Key(backtab ? int(Qt::Key_Backtab) : qtKey), qtModifiers(other));
        QVERIFY2(triggered.count() == (other >= members ? 1 : 0), qPrintable(sc(recorded, other).displayText()));
    }
}

QTEST_MAIN(tst_PDFViewerShortcutDispatch)
#include "tst_PDFViewerShortcutDispatch.moc"
