#pragma once

#include "PDFViewerShortcutAction.h"

#include <QWidget>

class PDFShortcutRecorderButton;
class PDFViewerShortcut;
class QAbstractButton;
class QLabel;

// One action's row in the shortcut settings window: the action's name, the default it
// replaced (only while customised), the "恢复" button (likewise) and the recorder, and under
// them the row's own message when there is one. It shows what it is told and reports what the
// user did; the window owns the store and the messages.
class PDFViewerShortcutSettingsRow : public QWidget {
    Q_OBJECT

public:
    explicit PDFViewerShortcutSettingsRow(PDFViewerShortcutAction action, QWidget *parent = nullptr);

    PDFViewerShortcutAction action() const { return m_action; }
    PDFShortcutRecorderButton *recorder() const { return m_recorder; }
    QAbstractButton *resetButton() const { return m_reset; }
    QLabel *defaultLabel() const { return m_default; }
    QLabel *messageLabel() const { return m_message; }

    // The action's effective shortcut: the recorder's key cap, and the default line and reset
    // button while it differs from the factory default.
    void showShortcut(const PDFViewerShortcut &shortcut);
    // The row's message, secondary when it reports a success (it begins with "已"), orange
    // otherwise; an empty text hides it.
    void showMessage(const QString &text);
    // Whether `text` reads as a success.
    static bool isSuccess(const QString &text);

signals:
    void shortcutRecorded(const PDFViewerShortcut &shortcut);
    // The recorder's own outcome (cancelled, unusable key).
    void recorderFeedback(const QString &message);
    void resetRequested();

private:
    PDFViewerShortcutAction m_action;
    QLabel *m_name;
    QLabel *m_default;
    QAbstractButton *m_reset;
    PDFShortcutRecorderButton *m_recorder;
    QLabel *m_message;
};
