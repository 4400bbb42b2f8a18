#include "PlenvoPDFApp.h"

#include "PDFFileURL.h"
#include "PDFViewerMainWindow.h"
#include "PDFViewerMeasureCommands.h"
#include "PDFViewerMenuCommands.h"
#include "PDFViewerModel.h"
#include "PDFViewerOpenRequest.h"
#include "PDFViewerShortcutHelpPresenter.h"
#include "PDFViewerShortcutSettingsPresenter.h"
#include "PDFViewerShortcutStore.h"
#include "PDFViewerViewOptions.h"
#include "PlenvoCommandLine.h"

#include <QSettings>

PlenvoPDFApp::PlenvoPDFApp(std::unique_ptr<QSettings> settings, PDFViewerOpenRequest *openRequest,
    PDFViewerShortcutStore *shortcuts, QObject *parent)
    : QObject(parent)
    , m_settings(settings ? std::move(settings)
                          : std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                              QStringLiteral("Plenvo"), QStringLiteral("Plenvo")))
    , m_openRequest(openRequest ? openRequest : &PDFViewerOpenRequest::shared())
    , m_shortcuts(shortcuts ? shortcuts : &PDFViewerShortcutStore::shared())
    , m_model(std::make_unique<PDFViewerModel>(m_settings.get(), &m_platform))
    , m_delegate(m_openRequest)
    , m_window(std::make_unique<PDFViewerMainWindow>(m_model.get(), m_shortcuts))
    , m_shortcutSettings(
          std::make_unique<PDFViewerShortcutSettingsPresenter>(m_shortcuts, m_settings.get(), m_window.get()))
    , m_shortcutHelp(std::make_unique<PDFViewerShortcutHelpPresenter>(
          m_shortcuts, m_settings.get(), m_window.get(), m_shortcutSettings.get()))
    , m_viewOptions(new PDFViewerViewOptions(
          m_window->menuCommands()->drawingMenu(), m_model.get(), m_settings.get(), m_window->menuCommands()))
{
    connect(m_window->menuCommands(), &PDFViewerMenuCommands::shortcutSettingsRequested, m_shortcutSettings.get(),
        &PDFViewerShortcutSettingsPresenter::show);
    connect(m_window->menuCommands(), &PDFViewerMenuCommands::helpRequested, m_shortcutHelp.get(),
        &PDFViewerShortcutHelpPresenter::show);
    // The measuring block ends the 图纸 menu, below the view options.
    new PDFViewerMeasureCommands(
        m_model.get(), m_settings.get(), m_window->menuCommands()->drawingMenu(), m_window.get());
    m_window->rememberGeometryIn(m_settings.get());
    m_platform.setDialogParent(m_window.get());
    connect(m_openRequest, &PDFViewerOpenRequest::urlChanged, this, &PlenvoPDFApp::takeOpenRequest);
    // A request made before the window existed waits for it.
    takeOpenRequest();
}

PlenvoPDFApp::~PlenvoPDFApp()
{
    // The window shows the model's canvas; take the window down first.
    m_window.reset();
}

void PlenvoPDFApp::handleArguments(const QList<QByteArray> &arguments, const QByteArray &workingDirectory)
{
    QList<QUrl> urls;
    for (const QByteArray &name : PlenvoCommandLine::fileNames(arguments))
        urls.append(PDFFileURL::fromArgument(name, workingDirectory));
    m_delegate.application(urls);
}

void PlenvoPDFApp::raiseWindow()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void PlenvoPDFApp::takeOpenRequest()
{
    const QUrl url = m_openRequest->url();
    if (url.isEmpty())
        return;
    m_model->open(url);
    m_openRequest->setUrl(QUrl());
}
