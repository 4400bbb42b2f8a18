#include "PDFViewerKeyboardLayout.h"
#include "PDFViewerShortcutDispatch.h"
#include "ShortcutNotation.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

PDFViewerKeyboardLayout layout(const QString &name)
{
    return PDFViewerKeyboardLayout({QStringLiteral("evdev"), QStringLiteral("pc105"), name, QString(), QString()});
}

Qt::KeyboardModifiers qtModifiers(qint64 members)
{
    return Qt::KeyboardModifiers((members & 1 ? Qt::MetaModifier : Qt::NoModifier)
        | (members & 2 ? Qt::AltModifier : Qt::NoModifier) | (members & 4 ? Qt::ShiftModifier : Qt::NoModifier)
        | (members & 8 ? Qt::ControlModifier : Qt::NoModifier));
}

} // namespace

class tst_PDFViewerShortcutEvent : public QObject {
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void layoutNamesFromSystem();
    void keySequence();
    void keysRoundTrip_data();
    void keysRoundTrip();
};

void tst_PDFViewerShortcutEvent::conversion_data()
{
    // Scan codes are evdev keycodes + 8, as the X11 and Wayland platforms report them.
    QTest::addColumn<QString>("layout");
    QTest::addColumn<quint32>("scanCode");
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("qtModifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // notation; empty: no shortcut

    const QString us = QStringLiteral("us");
    const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier, shift = Qt::ShiftModifier, meta = Qt::MetaModifier;
    const auto row = [&](const char *name, const QString &layout, quint32 scanCode, int key, int modifiers,
                         const QString &text, const QString &expected) {
        QTest::newRow(name) << layout << scanCode << key << modifiers << text << expected;
    };
    row("shift + 2 records 2", us, 11, Qt::Key_At, shift, QStringLiteral("@"), QStringLiteral("⇧2"));
    row("caps lock: letter stays lower case", us, 41, Qt::Key_F, alt, QStringLiteral("F"), QStringLiteral("⌥f"));
    row("keypad and group flags ignored", us, 38, Qt::Key_A,
        ctrl | alt | shift | meta | Qt::KeypadModifier | Qt::GroupSwitchModifier, QStringLiteral("A"),
        QStringLiteral("⌃⌥⇧⌘a"));
    row("keypad Enter is not Return", us, 104, Qt::Key_Enter, alt | Qt::KeypadModifier, QStringLiteral("\r"),
        QStringLiteral("⌥") + ch(0x03));
    row("bare Shift", us, 50, Qt::Key_Shift, shift, QString(), QString());
    row("dead key", QStringLiteral("de"), 49, Qt::Key_Dead_Circumflex, alt, QString(), QString());
    row("French layout: unshifted 2 key", QStringLiteral("fr"), 11, Qt::Key_Eacute, ctrl, ch(0xE9),
        QStringLiteral("⌘") + ch(0xE9));
    // Without a scan code (synthesised events) or a usable layout the Qt key decides, shifted as it is.
    row("no scan code: shifted symbol", us, 0, Qt::Key_At, shift, QStringLiteral("@"), QStringLiteral("⇧@"));
    row("unknown layout", QStringLiteral("no-such-layout"), 29, Qt::Key_Q, ctrl, QString(), QStringLiteral("⌘q"));
}

void tst_PDFViewerShortcutEvent::conversion()
{
    QFETCH(QString, layout);
    QFETCH(quint32, scanCode);
    QFETCH(int, qtKey);
    QFETCH(int, qtModifiers);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const PDFViewerKeyboardLayout keyboard = ::layout(layout);
    QCOMPARE(keyboard.isValid(), layout != QStringLiteral("no-such-layout"));
    constexpr quint32 capsLockState = 0x2; // set on every press: it must never matter
    const QKeyEvent event(
        QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(qtModifiers), scanCode, 0, capsLockState, text);
    const std::optional<PDFViewerShortcut> shortcut = PDFViewerShortcut::fromEvent(event, keyboard);
    QCOMPARE(shortcut.has_value(), !expected.isEmpty());
    if (shortcut)
        QCOMPARE(*shortcut, sc(expected));
}

void tst_PDFViewerShortcutEvent::layoutNamesFromSystem()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keyboard"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# KEYBOARD CONFIGURATION FILE\nXKBMODEL=\"pc105\"\nXKBLAYOUT=\"de,us\"\nXKBVARIANT='nodeadkeys,'\n");
    file.close();
    const auto names = [&](const QProcessEnvironment &environment, const QString &keyboardFile) {
        const PDFViewerKeyboardLayout::Names n = PDFViewerKeyboardLayout::namesFromSystem(environment, keyboardFile);
        return QStringList({n.rules, n.model, n.layout, n.variant, n.options}).join(QLatin1Char('/'));
    };

    QProcessEnvironment environment;
    QCOMPARE(names(environment, path), QStringLiteral("evdev/pc105/de,us/nodeadkeys,/"));
    QCOMPARE(names(environment, dir.filePath(QStringLiteral("missing"))), QStringLiteral("evdev//us//"));
    environment.insert(QStringLiteral("XKB_DEFAULT_VARIANT"), QStringLiteral("dvorak")); // a variant is no layout
    QCOMPARE(names(environment, path), QStringLiteral("evdev/pc105/de,us/nodeadkeys,/"));
    environment.insert(QStringLiteral("XKB_DEFAULT_LAYOUT"), QStringLiteral("fr"));
    QCOMPARE(names(environment, path), QStringLiteral("evdev//fr/dvorak/"));
}

// The bindings the round trip below cannot reach: Help's key stays one Ctrl+Shift+/ binding,
// whatever "/" shifted is (see PDFViewerMenuCommands), and keys no press gives bind nothing.
void tst_PDFViewerShortcutEvent::keySequence()
{
    const auto sequence = [](const char *notation) {
        return PDFViewerShortcutDispatch::keySequence(sc(notation)).toString(QKeySequence::PortableText);
    };
    QCOMPARE(sequence("⇧⌘/"), QStringLiteral("Ctrl+Shift+/"));
    for (const char *unbindable : {"⌘", "⌘ab", "⌘\xef\x9c\xa8"}) // the last: forward delete U+F728
        QVERIFY2(sequence(unbindable).isEmpty(), unbindable);
}

void tst_PDFViewerShortcutEvent::keysRoundTrip_data()
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
void tst_PDFViewerShortcutEvent::keysRoundTrip()
{
    QFETCH(quint32, scanCode);
    QFETCH(int, qtKey);
    QFETCH(QString, recorded);
    QFETCH(qint64, members);
    const QKeyEvent press(QEvent::KeyPress, qtKey, qtModifiers(members), scanCode, 0, 0, {});
    const std::optional<PDFViewerShortcut> shortcut = PDFViewerShortcut::fromEvent(press, layout(QStringLiteral("us")));
    QCOMPARE(shortcut, PDFViewerShortcut(PDFViewerShortcutKey(recorded), PDFViewerShortcutModifiers(members)));

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

QTEST_MAIN(tst_PDFViewerShortcutEvent)
#include "tst_PDFViewerShortcutEvent.moc"
