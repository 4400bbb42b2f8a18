#include "DesktopPlatformServices.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QWidget>

DesktopPlatformServices::DesktopPlatformServices(RecentlyUsedRegistry registry)
    : m_registry(std::move(registry))
{
}

void DesktopPlatformServices::beep()
{
    QApplication::beep();
}

std::optional<QUrl> DesktopPlatformServices::choosePDFFile(const QString &title, const QUrl &startDirectory)
{
    QFileDialog dialog(m_dialogParent, title, QDir::homePath());
    if (startDirectory.isLocalFile())
        dialog.setDirectoryUrl(startDirectory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("PDF 文件 (*.pdf)"));
    // Match "*.pdf" whatever the case of the extension.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QList<QUrl> urls = dialog.selectedUrls();
    if (urls.isEmpty())
        return std::nullopt;
    return urls.first();
}

void DesktopPlatformServices::noteRecentDocument(const QUrl &fileURL)
{
    m_registry.noteRecentDocument(fileURL);
}

bool DesktopPlatformServices::startAccessing(const QUrl &)
{
    return true;
}

void DesktopPlatformServices::stopAccessing(const QUrl &) { }

bool DesktopPlatformServices::isApplicationActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

bool DesktopPlatformServices::isKeyWindow(QWidget *window)
{
    return window && window->isVisible() && QApplication::activeWindow() == window;
}

bool DesktopPlatformServices::isFullScreen(QWidget *window)
{
    return window && window->isFullScreen();
}

void DesktopPlatformServices::toggleFullScreen(QWidget *window)
{
    if (window)
        window->setWindowState(window->windowState() ^ Qt::WindowFullScreen);
}
