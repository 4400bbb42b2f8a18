#include "PDFViewerMainWindow.h"

#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerRootView.h"

#include <QMenuBar>

PDFViewerMainWindow::PDFViewerMainWindow(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QMainWindow(parent)
    , m_model(model)
    , m_rootView(new PDFViewerRootView(model, shortcuts, this))
    , m_menuCommands(new PDFViewerMenuCommands(this, model, shortcuts))
{
    setObjectName(QStringLiteral("pdf-viewer-main"));
    setCentralWidget(m_rootView);
    resize(sizeHint());

    connect(m_menuCommands, &PDFViewerMenuCommands::searchRequested, m_rootView, &PDFViewerRootView::focusSearchField);
    connect(m_rootView, &PDFViewerRootView::helpRequested, m_menuCommands, &PDFViewerMenuCommands::showHelp);
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
