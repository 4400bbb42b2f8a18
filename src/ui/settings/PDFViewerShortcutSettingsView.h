#pragma once

#include "PDFViewerShortcutAction.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

class PDFViewerShortcut;
class PDFViewerShortcutSettingsRow;
class PDFViewerShortcutStore;
class QLabel;
class QPushButton;

// The content of the shortcut settings window: a header, the ten actions in four groups
// (翻页, 缩放, 方向, 投影), each row with its recorder, and a footer with a hint or the last
// window-wide message and "恢复全部默认".
//
// Every change goes through the store, which validates it, writes it to the settings file at
// once and tells every reader (menus, tooltips, this view). The outcome of the last change is
// shown in the row it belongs to (feedbackAction) or, for "恢复全部默认", in the footer; it
// is also spoken. The feedback stays until the next change. UI thread only; the store must
// outlive the view.
class PDFViewerShortcutSettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize fixedSize {620, 650};

    explicit PDFViewerShortcutSettingsView(PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    // Footer hint: which keys a combination needs, and how to cancel.
    static QString hintText();

    std::optional<PDFViewerShortcutAction> feedbackAction() const { return m_feedbackAction; }
    QString feedbackText() const { return m_feedbackText; }
    PDFViewerShortcutSettingsRow *row(PDFViewerShortcutAction action) const;
    QLabel *footerLabel() const { return m_footerLabel; }
    QPushButton *resetAllButton() const { return m_resetAll; }

    // The handlers, in the order each takes its steps: the row first, then the store, then the
    // message, then its announcement.
    void recordShortcut(PDFViewerShortcutAction action, const PDFViewerShortcut &shortcut);
    void showRecorderFeedback(PDFViewerShortcutAction action, const QString &message);
    void resetShortcut(PDFViewerShortcutAction action);
    void resetAllShortcuts();

private:
    QWidget *makeHeader();
    QWidget *makeGroups();
    QWidget *makeFooter();
    void refresh();
    void setFeedback(std::optional<PDFViewerShortcutAction> action, const QString &text);

    PDFViewerShortcutStore *m_shortcuts;
    QList<PDFViewerShortcutSettingsRow *> m_rows;
    QLabel *m_footerLabel = nullptr;
    QPushButton *m_resetAll = nullptr;
    std::optional<PDFViewerShortcutAction> m_feedbackAction;
    QString m_feedbackText;
};
