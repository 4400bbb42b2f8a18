#pragma once

#include "FakePlatformServices.h"
#include "PDFViewerModel.h"
#include "PDFViewerShortcutStore.h"
#include "TestPDFs.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

// A model and a shortcut store over one settings file in a temporary folder, a fake desktop,
// and helpers that write and open generated PDFs. One per test function; the widgets under
// test are made by the test over `model` and `shortcuts`.
struct ViewerWindowFixture {
    ViewerWindowFixture()
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        , model(std::make_unique<PDFViewerModel>(&settings, &platform))
        , shortcuts(std::make_unique<PDFViewerShortcutStore>(&settings, PDFViewerShortcutStore::defaultStorageKey()))
    {
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QUrl url(const QString &name) const { return QUrl::fromLocalFile(path(name)); }

    // Writes a plain document of `pageCount` pages under `name` and returns its location.
    QUrl writePDF(const QString &name, int pageCount)
    {
        return TestPDFs::writePlain(path(name), pageCount) ? url(name) : QUrl();
    }
    // Writes and opens it; true when the model now shows it.
    bool openPDF(const QString &name, int pageCount)
    {
        model->open(writePDF(name, pageCount));
        return model->pageCount() == pageCount;
    }
    // Goes to the 0-based page `index`; true once the model reports it (one event later).
    bool showPage(int index)
    {
        model->goToPage(index + 1);
        return QTest::qWaitFor([&] { return model->pageIndex() == index; });
    }

    QTemporaryDir dir;
    QSettings settings;
    FakePlatformServices platform;
    std::unique_ptr<PDFViewerModel> model;
    std::unique_ptr<PDFViewerShortcutStore> shortcuts;
};
