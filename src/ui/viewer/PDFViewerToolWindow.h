#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>

#include <functional>

class QSettings;
class QWidget;

// A window of its own beside the viewer (the shortcut settings, help): kept above its owner by
// the desktop and closed with it, made on the first show() and from then on only hidden when
// closed, fixed at its content's size. The first time it is centred over its owner (or the
// primary screen while the owner is hidden); after that it opens where the user last put it,
// remembered in the settings file under its autosave name, unless no screen shows enough of
// that place. The position is written 400 ms after the last move and whenever the window hides.
//
// `settings` and `owner` must outlive it. UI thread only.
class PDFViewerToolWindow : public QObject {
    Q_OBJECT

public:
    // Makes the content as a child of the new `window`; called once, before the window is placed.
    using ContentFactory = std::function<QWidget *(QWidget *window)>;

    PDFViewerToolWindow(QSettings *settings, const QString &autosaveName, const QString &title, QSize size,
        QWidget *owner, ContentFactory makeContent, QObject *parent = nullptr);
    ~PDFViewerToolWindow() override;

    // Null until the first show().
    QWidget *window() const { return m_window; }

    // Shows the window, in front and active, making it first if need be.
    void show();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void create();
    void place();
    void storePosition();

    QSettings *m_settings;
    QString m_autosaveName;
    QString m_title;
    QSize m_size;
    QPointer<QWidget> m_owner;
    ContentFactory m_makeContent;
    QPointer<QWidget> m_window;
    QTimer m_positionSave; // single shot, restarted by every move
};
