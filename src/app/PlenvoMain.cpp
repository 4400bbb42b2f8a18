#include "PlenvoMain.h"

#include "PDFDocument.h"
#include "PDFFileURL.h"
#include "PDFRenderQueue.h"
#include "PDFViewerMainWindow.h"
#include "PlenvoCommandLine.h"
#include "PlenvoInterfaceFont.h"
#include "PlenvoPDFApp.h"
#include "PlenvoQtTranslations.h"
#include "PlenvoQuitSignals.h"
#include "PlenvoSingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QThreadPool>

#include <unistd.h>

#include <climits>

int plenvoMain(int argc, char *argv[], const std::function<void(PDFViewerModel *)> &started)
{
    // "--" and what follows it are file names; Qt must not take any of them for its options.
    const int toolkitCount = PlenvoCommandLine::toolkitArgumentCount(argc, argv);
    const QList<QByteArray> fileNamesAfterOptions = PlenvoCommandLine::arguments(argv, toolkitCount, argc);
    int toolkitArgc = toolkitCount;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Plenvo"));
    QApplication::setOrganizationName(QStringLiteral("Plenvo"));
    QApplication::setApplicationVersion(QStringLiteral(PLENVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("plenvo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/plenvo/plenvo.svg")));
    PlenvoQtTranslations::install(&app);
    PlenvoInterfaceFont::install();

    // Qt has taken its own options out of what it was shown.
    const QList<QByteArray> arguments = PlenvoCommandLine::arguments(argv, 1, toolkitArgc) + fileNamesAfterOptions;
    char cwd[PATH_MAX];
    const QByteArray workingDirectory
        = ::getcwd(cwd, sizeof cwd) ? QByteArray(cwd) : QFile::encodeName(QDir::currentPath());

    PlenvoSingleInstance instance;
    if (instance.forwardToRunningInstance(arguments, workingDirectory))
        return 0;
    instance.listen();
    // The drawing named first opens, and a one-sheet drawing records, while the window is built.
    if (const QList<QByteArray> names = PlenvoCommandLine::fileNames(arguments); !names.isEmpty()) {
        const QUrl url = PDFFileURL::standardized(PDFFileURL::fromArgument(names.first(), workingDirectory));
        if (PDFFileURL::isPDFFileURL(url))
            PDFDocument::preload(PDFFileURL::nativePath(url));
    }

    // A kill or Ctrl+C ends the event loop like closing the window does, so that what is
    // still unwritten reaches the disk.
    PlenvoQuitSignals quitSignals;
    QObject::connect(&quitSignals, &PlenvoQuitSignals::received, &app, &QCoreApplication::quit);

    int status = 0;
    {
        PlenvoPDFApp plenvo;
        QObject::connect(&instance, &PlenvoSingleInstance::argumentsReceived, &plenvo,
            [&plenvo](const QList<QByteArray> &args, const QByteArray &cwd) {
                plenvo.handleArguments(args, cwd);
                plenvo.raiseWindow();
            });
        if (started)
            started(plenvo.model());
        plenvo.window()->show();
        plenvo.handleArguments(arguments, workingDirectory);
        status = app.exec();
    }
    // The window is gone and its renders cancelled; the documents they still hold come back
    // through the event queue and are closed here, before the program ends.
    PDFDocument::dropPreload();
    PDFRenderQueue::finishRenders();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    return status;
}
