#include "PDFViewerShortcutSettingsPresenter.h"

#include "PDFShortcutRecorderButton.h"
#include "PDFViewerShortcutSettingsRow.h"
#include "PDFViewerShortcutSettingsView.h"

#include <QGuiApplication>
#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace {

// How much of the remembered place a screen must show for it to be used.
constexpr QSize kMinimumVisible {100, 50};

bool isVisibleOnSomeScreen(const QRect &frame)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&](const QScreen *screen) {
        const QRect shown = screen->availableGeometry().intersected(frame);
        return shown.width() >= kMinimumVisible.width() && shown.height() >= kMinimumVisible.height();
    });
}

} // namespace

PDFViewerShortcutSettingsPresenter::PDFViewerShortcutSettingsPresenter(
    PDFViewerShortcutStore *shortcuts, QSettings *settings, QWidget *owner, QObject *parent)
    : QObject(parent)
    , m_shortcuts(shortcuts)
    , m_settings(settings)
    , m_owner(owner)
{
    m_positionSave.setSingleShot(true);
    m_positionSave.setInterval(400);
    connect(&m_positionSave, &QTimer::timeout, this, &PDFViewerShortcutSettingsPresenter::storePosition);
}

PDFViewerShortcutSettingsPresenter::~PDFViewerShortcutSettingsPresenter()
{
    // A window with an owner goes with it; one without is the presenter's.
    if (m_window && !m_window->parent())
        delete m_window.data();
}

QString PDFViewerShortcutSettingsPresenter::autosaveName()
{
    return QStringLiteral("PlenvoPDFShortcutSettings");
}

void PDFViewerShortcutSettingsPresenter::show()
{
    if (!m_window)
        create();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void PDFViewerShortcutSettingsPresenter::create()
{
    // A window of its own, kept above its owner by the desktop and closed with it.
    m_window = new QWidget(m_owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_window->setObjectName(autosaveName());
    m_window->setWindowTitle(QStringLiteral("Plenvo · 快捷键"));
    m_view = new PDFViewerShortcutSettingsView(m_shortcuts, m_window);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_window->setFixedSize(PDFViewerShortcutSettingsView::fixedSize);
    // The keyboard starts on the first key cap.
    m_view->row(PDFViewerShortcutAction::previousPage)->recorder()->setFocus();
    place();
    m_window->installEventFilter(this);
}

void PDFViewerShortcutSettingsPresenter::place()
{
    const QPoint stored = m_settings->value(autosaveName()).toPoint();
    const QRect remembered(stored, m_window->size());
    if (m_settings->contains(autosaveName()) && isVisibleOnSomeScreen(remembered)) {
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

bool PDFViewerShortcutSettingsPresenter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Move && m_window->isVisible())
            m_positionSave.start();
        else if (event->type() == QEvent::Hide)
            storePosition();
    }
    return QObject::eventFilter(watched, event);
}

void PDFViewerShortcutSettingsPresenter::storePosition()
{
    m_positionSave.stop();
    if (!m_window)
        return;
    m_settings->setValue(autosaveName(), m_window->pos());
    m_settings->sync();
}
