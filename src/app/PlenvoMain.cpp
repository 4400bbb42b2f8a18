#include "PlenvoMain.h"

#include "PDFDocument.h"
#include "PDFFileURL.h"
#include "PDFRenderQueue.h"
#include "PDFViewerMainWindow.h"
#include "PlenvoCommandLine.h"
#include "PlenvoInterfaceFont.h"
#include "PlenvoPDFApp.h"
#include "PlenvoPDFAppDelegate.h"
#include "PlenvoQtTranslations.h"
#include "PlenvoQuitSignals.h"
#include "PlenvoSingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QThreadPool>

#include <unistd.h>

#include <climits>
#include <cstdio>

namespace {

// Answers --help and --version on stdout; false when neither was asked for.
bool answerRequest(int argc, char *argv[])
{
    switch (PlenvoCommandLine::request(PlenvoCommandLine::arguments(argv, 1, argc))) {
    case PlenvoCommandLine::Request::Help:
        std::fputs(PlenvoCommandLine::helpText().constData(), stdout);
        return true;
    case PlenvoCommandLine::Request::Version:
        std::fputs("plenvo " PLENVO_VERSION "\n", stdout);
        return true;
    case PlenvoCommandLine::Request::Open:
        break;
    }
    return false;
}

// One line on stderr for each file named that will not open, saying why; returns the URL of the
// one that will, empty when none will.
QUrl reportFilesNotOpened(const QList<QByteArray> &names, const QByteArray &workingDirectory)
{
    QList<QUrl> urls;
    for (const QByteArray &name : names)
        urls.append(PDFFileURL::fromArgument(name, workingDirectory));
    const qsizetype chosen = PlenvoPDFAppDelegate::chosen(urls);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i == chosen)
            continue;
        const char *why = PDFFileURL::isPDFFileURL(urls.at(i)) ? "一次只打开一个文件" : "不是本机上的 PDF 文件";
        std::fprintf(stderr, "plenvo：未打开“%s”：%s\n", names.at(i).constData(), why);
    }
    return chosen >= 0 ? urls.at(chosen) : QUrl();
}

} // namespace

int plenvoMain(int argc, char *argv[], const std::function<void(PDFViewerModel *)> &started)
{
    if (answerRequest(argc, argv))
        return 0;
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
    if (const QByteArray option = PlenvoCommandLine::unknownOption(arguments); !option.isEmpty()) {
        std::fprintf(stderr, "plenvo：未知选项“%s”\n运行“plenvo --help”查看可用的选项。\n", option.constData());
        return 2;
    }
    const QUrl opening = reportFilesNotOpened(PlenvoCommandLine::fileNames(arguments), workingDirectory);

    PlenvoSingleInstance instance;
    if (instance.forwardToRunningInstance(arguments, workingDirectory))
        return 0;
    instance.listen();
    // The drawing that will open opens, and a one-sheet drawing records, while the window is built.
    if (!opening.isEmpty())
        PDFDocument::preload(PDFFileURL::nativePath(PDFFileURL::standardized(opening)));

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
