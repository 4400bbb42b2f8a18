#include "PDFViewerMainWindow.h"

#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerRootView.h"

#include "PDFViewerWindowPlacement.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>

namespace {

const QString kGeometryKey = QStringLiteral("windowGeometryV1");
const QString kMaximizedKey = QStringLiteral("windowMaximizedV1");
constexpr int kGeometrySaveDelay = 400; // ms

} // namespace

PDFViewerMainWindow::PDFViewerMainWindow(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QMainWindow(parent)
    , m_model(model)
    , m_rootView(new PDFViewerRootView(model, shortcuts, this))
    , m_menuCommands(new PDFViewerMenuCommands(this, model, shortcuts))
{
    setObjectName(QStringLiteral("pdf-viewer-main"));
    setCentralWidget(m_rootView);
    resize(sizeHint());
    m_geometrySave.setSingleShot(true);
    m_geometrySave.setInterval(kGeometrySaveDelay);
    connect(&m_geometrySave, &QTimer::timeout, this, &PDFViewerMainWindow::storeGeometry);

    connect(m_menuCommands, &PDFViewerMenuCommands::searchRequested, m_rootView, &PDFViewerRootView::focusSearchField);
    // The status bar's help button asks for the same window as the menu item.
    connect(m_rootView, &PDFViewerRootView::helpRequested, m_menuCommands, &PDFViewerMenuCommands::helpRequested);
    connect(model, &PDFViewerModel::fileURLChanged, this, &PDFViewerMainWindow::updateTitle);
    connect(model, &PDFViewerModel::isPresentationModeChanged, this, &PDFViewerMainWindow::updatePresentation);
    updateTitle();
    updatePresentation();
}

void PDFViewerMainWindow::updateTitle()
{
    setWindowTitle(m_model->documentTitle());
}

void PDFViewerMainWindow::updatePresentation()
{
    menuBar()->setVisible(!m_model->isPresentationMode());
}

QSize PDFViewerMainWindow::sizeHint() const
{
    return PDFViewerWindowPlacement::defaultSize;
}

void PDFViewerMainWindow::rememberGeometryIn(QSettings *settings)
{
    QList<QRect> screens;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    }
    setGeometry(PDFViewerWindowPlacement::initialGeometry(settings->value(kGeometryKey), screens));
    if (settings->value(kMaximizedKey).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
    // From here on, changes are stored; the placement itself needs no saving.
    m_geometryStore = settings;
    m_geometrySave.stop();
}

void PDFViewerMainWindow::storeGeometry()
{
    m_geometrySave.stop();
    // Never shown and maximised, a window has no normal geometry yet: keep the stored one.
    const QRect normal = normalGeometry();
    if (!m_geometryStore || normal.isEmpty())
        return;
    m_geometryStore->setValue(kGeometryKey, normal);
    m_geometryStore->setValue(kMaximizedKey, isMaximized());
    m_geometryStore->sync();
}

void PDFViewerMainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_geometryStore)
        m_geometrySave.start();
}

void PDFViewerMainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_geometryStore)
        m_geometrySave.start();
}

void PDFViewerMainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_geometryStore)
        m_geometrySave.start();
}

void PDFViewerMainWindow::closeEvent(QCloseEvent *event)
{
    storeGeometry();
    QMainWindow::closeEvent(event);
}
