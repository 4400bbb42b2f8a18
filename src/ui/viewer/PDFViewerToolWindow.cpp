#include "PDFViewerToolWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace {

// How much of the remembered place a screen must show for it to be used.
constexpr QSize kMinimumVisible {100, 50};
constexpr int kPositionSaveDelay = 400; // ms

bool isVisibleOnSomeScreen(const QRect &frame)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&](const QScreen *screen) {
        const QRect shown = screen->availableGeometry().intersected(frame);
        return shown.width() >= kMinimumVisible.width() && shown.height() >= kMinimumVisible.height();
    });
}

} // namespace

PDFViewerToolWindow::PDFViewerToolWindow(QSettings *settings, const QString &autosaveName, const QString &title,
    QSize size, QWidget *owner, ContentFactory makeContent, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_autosaveName(autosaveName)
    , m_title(title)
    , m_size(size)
    , m_owner(owner)
    , m_makeContent(std::move(makeContent))
{
    m_positionSave.setSingleShot(true);
    m_positionSave.setInterval(kPositionSaveDelay);
    connect(&m_positionSave, &QTimer::timeout, this, &PDFViewerToolWindow::storePosition);
}

PDFViewerToolWindow::~PDFViewerToolWindow()
{
    // A window with an owner goes with it; one without is ours.
    if (m_window && !m_window->parent())
        delete m_window.data();
}

void PDFViewerToolWindow::show()
{
    if (!m_window)
        create();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void PDFViewerToolWindow::create()
{
    m_window = new QWidget(m_owner,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
            | Qt::WindowCloseButtonHint);
    m_window->setObjectName(m_autosaveName);
    m_window->setWindowTitle(m_title);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_makeContent(m_window));
    m_window->setFixedSize(m_size);
    place();
    m_window->installEventFilter(this);
}

void PDFViewerToolWindow::place()
{
    const QPoint stored = m_settings->value(m_autosaveName).toPoint();
    const QRect remembered(stored, m_window->size());
    if (m_settings->contains(m_autosaveName) && isVisibleOnSomeScreen(remembered)) {
        m_window->move(stored);
        return;
    }
    QRect area = m_owner && m_owner->isVisible() ? m_owner->frameGeometry() : QRect();
    if (area.isEmpty()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), m_window->size());
    }
    m_window->move(area.center() - QPoint(m_window->width() / 2, m_window->height() / 2));
}

bool PDFViewerToolWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Move && m_window->isVisible())
            m_positionSave.start();
        else if (event->type() == QEvent::Hide)
            storePosition();
    }
    return QObject::eventFilter(watched, event);
}

void PDFViewerToolWindow::storePosition()
{
    m_positionSave.stop();
    if (!m_window)
        return;
    m_settings->setValue(m_autosaveName, m_window->pos());
    m_settings->sync();
}
