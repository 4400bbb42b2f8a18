#include "PDFViewerKeyboardLayout.h"
#include "ShortcutNotation.h"

#include <QKeyEvent>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

class tst_PDFViewerShortcutEvent : public QObject {
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void layoutNamesFromSystem();
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

    const PDFViewerKeyboardLayout keyboard(
        {QStringLiteral("evdev"), QStringLiteral("pc105"), layout, QString(), QString()});
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

QTEST_GUILESS_MAIN(tst_PDFViewerShortcutEvent)
#include "tst_PDFViewerShortcutEvent.moc"
