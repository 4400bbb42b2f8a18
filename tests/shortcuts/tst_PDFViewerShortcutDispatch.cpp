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

// One key of a US keyboard: native scan code (evdev + 8), the Qt key of its unshifted symbol,
// and the key the recorder should give.
struct PhysicalKey {
    quint32 scanCode;
    int qtKey;
    QString recorded;
};

QList<PhysicalKey> usKeyboard()
{
    QList<PhysicalKey> keys;
    for (const auto &[firstScanCode, symbols] : {std::pair {10u, "1234567890-="}, std::pair {24u, "qwertyuiop[]"},
             std::pair {38u, "asdfghjkl;'`"}, std::pair {51u, "\\zxcvbnm,./"}}) {
        for (quint32 i = 0; symbols[i]; ++i)
            keys.append({firstScanCode + i, QChar(QLatin1Char(symbols[i])).toUpper().unicode(),
                QString(QLatin1Char(symbols[i]))});
    }
    keys += {{65, Qt::Key_Space, QStringLiteral(" ")}, {36, Qt::Key_Return, QStringLiteral("\r")},
        {23, Qt::Key_Tab, QStringLiteral("\t")}, {22, Qt::Key_Backspace, ch(0x7F)}, {111, Qt::Key_Up, ch(0xF700)},
        {116, Qt::Key_Down, ch(0xF701)}, {113, Qt::Key_Left, ch(0xF702)}, {114, Qt::Key_Right, ch(0xF703)},
        {95, Qt::Key_F11, ch(0xF70E)}, {96, Qt::Key_F12, ch(0xF70F)}};
    for (quint32 i = 0; i < 10; ++i)
        keys.append({67 + i, Qt::Key_F1 + int(i), ch(char16_t(0xF704 + i))});
    return keys;
}

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
    void keySequence_data();
    void keySequence();
    void everyUsableUSKeyRoundTrips();
};

void tst_PDFViewerShortcutDispatch::keySequence_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<QString>("sequence"); // Qt's portable text; empty: no binding
    const auto row = [](const char *notation, const char *sequence) {
        QTest::newRow(notation) << QString::fromUtf8(notation) << QString::fromLatin1(sequence);
    };
    row("⌥-", "Alt+-");
    // Help's key stays one Ctrl+Shift+/ binding, whatever "/" shifted is (see PDFViewerMenuCommands).
    row("⇧⌘/", "Ctrl+Shift+/");
    row("⌘F5", "Ctrl+F5");
    row("⌃⌥⇧⌘F12", "Meta+Ctrl+Alt+Shift+F12");
    row("⌘Delete", "Ctrl+Backspace");
    row("⌃⌘Space", "Meta+Ctrl+Space");
    row("⌘", ""); // empty key
    row("⌘ab", "");
    row("⌘\xef\x9c\xa8", ""); // forward delete U+F728
}

void tst_PDFViewerShortcutDispatch::keySequence()
{
    QFETCH(QString, notation);
    QFETCH(QString, sequence);
    QCOMPARE(PDFViewerShortcutDispatch::keySequence(sc(notation)).toString(QKeySequence::PortableText), sequence);
}

// Every US key with every modifier set that passes validation: the menu binding built for the
// recorded combination is triggered by exactly that press, through Qt's own shortcut matching,
// and by no other modifier set on the same key. Presses carry the unshifted key, as the X11 and
// Wayland platforms offer it to shortcut matching (shift + "2" is matched as Shift+2).
void tst_PDFViewerShortcutDispatch::everyUsableUSKeyRoundTrips()
{
    const PDFViewerKeyboardLayout us({QStringLiteral("evdev"), QStringLiteral("pc105"), QStringLiteral("us"), {}, {}});
    QMainWindow window;
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("图纸"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    int bound = 0;
    for (const PhysicalKey &physical : usKeyboard()) {
        QList<QAction *> actions(16, nullptr);
        for (qint64 members = 0; members < 16; ++members) {
            const QKeyEvent press(QEvent::KeyPress, physical.qtKey, qtModifiers(members), physical.scanCode, 0, 0, {});
            const std::optional<PDFViewerShortcut> recorded = PDFViewerShortcut::fromEvent(press, us);
            QCOMPARE(recorded,
                PDFViewerShortcut(PDFViewerShortcutKey(physical.recorded), PDFViewerShortcutModifiers(members)));
            if (PDFViewerShortcutPolicy::basicValidationError(*recorded))
                continue;
            actions[members] = menu->addAction(recorded->displayText());
            actions[members]->setShortcut(PDFViewerShortcutDispatch::keySequence(*recorded));
            ++bound;
        }
        for (qint64 members = 0; members < 16; ++members) {
            QList<std::shared_ptr<QSignalSpy>> spies;
            for (QAction *action : std::as_const(actions))
                spies.append(action ? std::make_shared<QSignalSpy>(action, &QAction::triggered) : nullptr);
            const bool backtab = (members & 4) && physical.qtKey == Qt::Key_Tab; // as the platform reports it
            QTest::keyClick(&window, Qt::Key(backtab ? int(Qt::Key_Backtab) : physical.qtKey), qtModifiers(members));
            for (qint64 other = 0; other < 16; ++other) {
                QVERIFY2(!spies[other] || spies[other]->count() == (other == members ? 1 : 0),
                    qPrintable(sc(physical.recorded, other).displayText() + QStringLiteral(" pressed as ")
                        + sc(physical.recorded, members).displayText()));
            }
        }
        qDeleteAll(actions);
    }
    QVERIFY2(bound > 67 * 11, qPrintable(QString::number(bound))); // a few are reserved or lack Ctrl, Alt and Super
}

QTEST_MAIN(tst_PDFViewerShortcutDispatch)
#include "tst_PDFViewerShortcutDispatch.moc"
