#include "PDFViewerMainWindow.h"

#include "BlueprintPDFView.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"

#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>

PDFViewerMainWindow::PDFViewerMainWindow(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QMainWindow(parent)
    , m_model(model)
    , m_menuCommands(new PDFViewerMenuCommands(this, model, shortcuts))
    , m_stack(new QStackedWidget(this))
    , m_emptyState(new QLabel(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("pdf-viewer-main"));
    resize(1080, 760);
    m_emptyState->setAlignment(Qt::AlignCenter);
    m_emptyState->setObjectName(QStringLiteral("pdf-empty-state"));
    m_emptyState->setText(QStringLiteral("拖入 PDF，或者点“打开”。"));
    m_stack->addWidget(m_emptyState);
    setCentralWidget(m_stack);
    m_status->setObjectName(QStringLiteral("pdf-status"));
    statusBar()->addWidget(m_status, 1);

    connect(model, &PDFViewerModel::pdfViewChanged, this, &PDFViewerMainWindow::showCanvas);
    connect(model, &PDFViewerModel::fileURLChanged, this, &PDFViewerMainWindow::updateState);
    connect(model, &PDFViewerModel::statusTextChanged, this, &PDFViewerMainWindow::updateState);
    connect(model, &PDFViewerModel::pageCountChanged, this, &PDFViewerMainWindow::updateState);
    showCanvas();
    updateState();
}

void PDFViewerMainWindow::showCanvas()
{
    if (BlueprintPDFView *view = m_model->pdfView(); view && m_stack->indexOf(view) < 0)
        m_stack->addWidget(view);
    updateState();
}

void PDFViewerMainWindow::updateState()
{
    setWindowTitle(m_model->documentTitle());
    m_status->setText(m_model->statusText());
    BlueprintPDFView *view = m_model->pdfView();
    m_stack->setCurrentWidget(m_model->pageCount() > 0 && view ? static_cast<QWidget *>(view) : m_emptyState);
}
