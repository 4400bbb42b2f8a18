#pragma once

#include "PDFViewerShortcut.h"

#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <functional>

// The key cap of one action in the shortcut settings window. Idle, it shows the action's
// current shortcut text; clicked, it records: the next key press of its own window becomes a
// PDFViewerShortcut, handed to shortcutRecorded(), or the recording is cancelled. It neither
// validates nor stores; its owner does, and shows the outcome.
//
// While recording, every key press of the recorder's window is taken before Qt's shortcut
// machinery sees it (an application-wide event filter that accepts ShortcutOverride as well
// as KeyPress), so application-wide keys such as Ctrl+Q or a drawing key are recorded, never
// performed. Bare modifier presses and auto-repeats are swallowed and keep it recording.
// Escape, with any modifiers, cancels. So do losing the focus, the window being deactivated,
// closed or hidden, and the application becoming inactive; when several of these happen
// together only the first one sends "已取消录制。". A key that gives no single character beeps
// and sends "这个按键暂不支持，请换一个组合。".
//
// The filter and every connection of a recording exist only while it records: each ending
// goes through finishRecording(). Messages go to feedback() and, spoken, to the announcer.
// UI thread only.
class PDFShortcutRecorderButton : public QPushButton {
    Q_OBJECT

public:
    explicit PDFShortcutRecorderButton(QWidget *parent = nullptr);
    // Ends a recording in progress without a message.
    ~PDFShortcutRecorderButton() override;

    // The title while idle. Handed over during a recording, it shows once the recording ends.
    QString displayText() const { return m_displayText; }
    void setDisplayText(const QString &text);
    // The action's name, for the accessible texts and the announcements.
    QString actionName() const { return m_actionName; }
    void setActionName(const QString &name);
    // Where spoken messages go (PDFViewerAccessibilityAnnouncer::announce in the application);
    // nothing is spoken without one.
    void setAnnouncer(std::function<void(const QString &)> announce) { m_announce = std::move(announce); }

    bool isRecordingShortcut() const { return m_isRecordingShortcut; }
    // True while the event filter or any connection of a recording is installed.
    bool isMonitoring() const;
    // The accessible value: the shortcut text while idle, "正在录制，按 Esc 取消" while recording.
    QString accessibleValue() const { return m_accessibleValue; }

    // The click: starts recording (nothing while already recording).
    void beginRecording();
    // Back to idle, without a message.
    void finishRecording();

signals:
    void shortcutRecorded(const PDFViewerShortcut &shortcut);
    // The recorder's own outcomes: "已取消录制。" and "这个按键暂不支持，请换一个组合。".
    void feedback(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Whether `receiver` (a widget or a window) belongs to this recorder's top-level window.
    bool isInOwnWindow(const QObject *receiver) const;
    void capture(const QKeyEvent &event);
    // Ends a recording in progress with "已取消录制。"; nothing when idle, so endings arriving
    // together send it once.
    void cancelRecording();
    void setAccessibleValue(const QString &value);
    void announce(const QString &message) const;

    QString m_displayText;
    QString m_actionName;
    std::function<void(const QString &)> m_announce;
    bool m_isRecordingShortcut = false;
    QString m_accessibleValue;
    // The recording's application-wide event filter and application-state connection.
    bool m_isFilteringApplication = false;
    QMetaObject::Connection m_applicationStateConnection;
};
