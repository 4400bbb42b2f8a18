#include "PDFShortcutRecorderButton.h"
#include "ShortcutNotation.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

namespace {

// One key press on a US keyboard as the X11 and Wayland platforms report it: native scan code
// (evdev keycode + 8) and keysym.
struct Press {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    quint32 scanCode = 0;
    quint32 keysym = 0;
    QString text;
    bool autoRepeat = false;
};

const Press kCtrlQ {Qt::Key_Q, Qt::ControlModifier, 24, 0x71, ch(0x11)};
const Press kAltEqual {Qt::Key_Equal, Qt::AltModifier, 21, 0x3d, QStringLiteral("=")};

const QString kPrompt = QStringLiteral("请按新的组合键…");
const QString kRecordingValue = QStringLiteral("正在录制，按 Esc 取消");
const QString kCancelled = QStringLiteral("已取消录制。");
const QString kUnsupported = QStringLiteral("这个按键暂不支持，请换一个组合。");

// Through the platform's path, so Qt's shortcut map sees the press before any widget does.
void press(QWindow *window, const Press &p)
{
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QWindowSystemInterface::handleExtendedKeyEvent(
            window, type, p.key, p.modifiers, p.scanCode, p.keysym, 0, p.text, p.autoRepeat);
        QWindowSystemInterface::flushWindowSystemEvents();
    }
}

// The accessible values posted with ValueChanged, in order.
QStringList valueEvents;

void recordValueEvent(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::ValueChanged)
        valueEvents.append(event->accessibleInterface()->text(QAccessible::Value));
}

enum class Ending { Press, FocusMoves, WindowDeactivated, ApplicationInactive, Destroyed };

} // namespace

Q_DECLARE_METATYPE(Press)
Q_DECLARE_METATYPE(Ending)

// The settings window with a key cap and a text field, beside the main window whose
// application-wide actions stand in for quitting (Ctrl+Q) and a drawing key (Alt+=).
struct Fixture {
    // Declared before the windows, so they outlive what the windows send while closing.
    int quits = 0;
    int drawingKeys = 0;
    QStringList feedback;
    QStringList announced;
    QList<PDFViewerShortcut> recorded;
    QWidget main;
    QWidget window;
    PDFShortcutRecorderButton *recorder = new PDFShortcutRecorderButton;
    QLineEdit *field = new QLineEdit;

    Fixture()
    {
        for (auto [sequence, counter] : {std::pair {QKeySequence(Qt::CTRL | Qt::Key_Q), &quits},
                 std::pair {QKeySequence(Qt::ALT | Qt::Key_Equal), &drawingKeys}}) {
            auto *action = new QAction(&main);
            action->setShortcut(sequence);
            action->setShortcutContext(Qt::ApplicationShortcut);
            QObject::connect(action, &QAction::triggered, &main, [counter = counter] { ++*counter; });
            main.addAction(action);
        }
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(recorder);
        layout->addWidget(field);
        recorder->setActionName(QStringLiteral("放大"));
        recorder->setDisplayText(QStringLiteral("Alt+="));
        recorder->setAnnouncer([this](const QString &message) { announced.append(message); });
        QObject::connect(recorder, &PDFShortcutRecorderButton::feedback, &window,
            [this](const QString &message) { feedback.append(message); });
        QObject::connect(recorder, &PDFShortcutRecorderButton::shortcutRecorded, &window,
            [this](const PDFViewerShortcut &shortcut) { recorded.append(shortcut); });
    }

    bool show()
    {
        main.show();
        window.show();
        window.activateWindow();
        field->setFocus();
        return QTest::qWaitForWindowActive(&window);
    }

    // Idle again: title and accessible value are the latest display text, nothing of the
    // recording is left installed, and no application-wide action has run.
    void verifyIdle() const
    {
        QVERIFY(!recorder->isRecordingShortcut());
        QVERIFY(!recorder->isMonitoring());
        QCOMPARE(recorder->text(), recorder->displayText());
        QCOMPARE(valueEvents.last(), recorder->displayText());
        QCOMPARE(quits, 0);
        QCOMPARE(drawingKeys, 0);
    }
};

class tst_PDFShortcutRecorderButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void recordingEnds_data();
    void recordingEnds();

private:
    std::unique_ptr<Fixture> f;
};

void tst_PDFShortcutRecorderButton::initTestCase()
{
    // The presses are US ones; the session's layout decides what a scan code gives.
    qputenv("XKB_DEFAULT_LAYOUT", "us");
    // Qt hands accessibility events on only while an assistive technology listens: stand in
    // for one, and take the events it would be sent.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler(recordValueEvent);
}

void tst_PDFShortcutRecorderButton::init()
{
    valueEvents.clear();
    f = std::make_unique<Fixture>();
    QVERIFY(f->show());
}

void tst_PDFShortcutRecorderButton::cleanup()
{
    f.reset();
    QWindowSystemInterface::handleApplicationStateChanged<QWindowSystemInterface::SynchronousDelivery>(
        Qt::ApplicationActive);
}

void tst_PDFShortcutRecorderButton::recordingEnds_data()
{
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<Press>("press");
    QTest::addColumn<QString>("expected"); // the shortcut delivered, in notation; empty: none
    QTest::addColumn<QString>("message"); // empty with no shortcut after a press: swallowed, still recording
    const auto pressed = [](const char *name, const Press &press, const QString &expected, const QString &message) {
        QTest::newRow(name) << Ending::Press << press << expected << message;
    };
    pressed("Ctrl+Q, bound to quit", kCtrlQ, QStringLiteral("⌘q"), QString());
    pressed("plain letter, not judged", {Qt::Key_A, {}, 38, 0x61, QStringLiteral("a")}, QStringLiteral("a"), QString());
    pressed("Space, released on the button", {Qt::Key_Space, {}, 65, 0x20, QStringLiteral(" ")}, QStringLiteral(" "),
        QString());
    pressed("Escape", {Qt::Key_Escape, {}, 9, 0xff1b, ch(0x1b)}, QString(), kCancelled);
    pressed("Ctrl+Home, no character", {Qt::Key_Home, Qt::ControlModifier, 110, 0xff50, {}}, QString(), kUnsupported);
    pressed("auto-repeat", {Qt::Key_A, {}, 38, 0x61, QStringLiteral("a"), true}, QString(), QString());
    pressed("bare Shift", {Qt::Key_Shift, Qt::ShiftModifier, 50, 0xffe1, {}}, QString(), QString());
    QTest::newRow("focus moves") << Ending::FocusMoves << Press() << QString() << kCancelled;
    QTest::newRow("window deactivated") << Ending::WindowDeactivated << Press() << QString() << kCancelled;
    QTest::newRow("application inactive") << Ending::ApplicationInactive << Press() << QString() << kCancelled;
    // Its owner removing it is no cancellation to report.
    QTest::newRow("recorder destroyed") << Ending::Destroyed << Press() << QString() << QString();
}

void tst_PDFShortcutRecorderButton::recordingEnds()
{
    QFETCH(Ending, ending);
    QFETCH(Press, press);
    QFETCH(QString, expected);
    QFETCH(QString, message);
    // Return, like a click, begins; clicking while it records changes nothing.
    f->recorder->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f->recorder, Qt::Key_Return);
    const QStringList announced {QStringLiteral("正在录制“放大”快捷键，按 Esc 取消。")};
    const qsizetype events = valueEvents.size();
    QTest::mouseClick(f->recorder, Qt::LeftButton);
    QVERIFY(f->recorder->isRecordingShortcut());
    QCOMPARE(f->recorder->text(), kPrompt);
    QCOMPARE(valueEvents.last(), kRecordingValue);
    QCOMPARE(valueEvents.size(), events);
    QCOMPARE(f->announced, announced);
    // Handed over while recording: shown once it ends.
    f->recorder->setDisplayText(QStringLiteral("Alt+-"));
    QCOMPARE(f->recorder->accessibleValue(), kRecordingValue);

    switch (ending) {
    case Ending::Press:
        ::press(f->window.windowHandle(), press);
        if (expected.isEmpty() && message.isEmpty()) {
            QVERIFY(f->recorder->isRecordingShortcut());
            QCOMPARE(f->recorder->text(), kPrompt);
            QVERIFY(f->recorded.isEmpty());
            ::press(f->window.windowHandle(), kAltEqual);
            expected = QStringLiteral("⌥=");
        }
        break;
    case Ending::FocusMoves:
        f->field->setFocus(Qt::OtherFocusReason);
        break;
    case Ending::WindowDeactivated:
        f->main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f->main));
        break;
    case Ending::ApplicationInactive:
        QWindowSystemInterface::handleApplicationStateChanged<QWindowSystemInterface::SynchronousDelivery>(
            Qt::ApplicationInactive);
        break;
    case Ending::Destroyed:
        delete f->recorder;
        QVERIFY(f->feedback.isEmpty());
        QCOMPARE(f->announced.size(), qsizetype(1));
        ::press(f->window.windowHandle(), kCtrlQ);
        QCOMPARE(f->quits, 1);
        return;
    }

    f->verifyIdle();
    QCOMPARE(f->recorder->text(), QStringLiteral("Alt+-"));
    QCOMPARE(f->recorded, expected.isEmpty() ? QList<PDFViewerShortcut>() : QList {sc(expected)});
    QCOMPARE(f->feedback, message.isEmpty() ? QStringList() : QStringList {message});
    QCOMPARE(f->announced.mid(1), f->feedback);
    // The keys reach Qt's shortcut map again.
    ::press(f->window.windowHandle(), kCtrlQ);
    QCOMPARE(f->quits, 1);
}

QTEST_MAIN(tst_PDFShortcutRecorderButton)
#include "tst_PDFShortcutRecorderButton.moc"
