#pragma once

#include "BlueprintPDFView.h"
#include "FakePlatformServices.h"
#include "PDFViewerModel.h"
#include "TestPDFs.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

// A model over a settings file in its own temporary folder and a fake desktop, and helpers that
// write and open generated PDFs. Unless a test places it in a window of its own, the canvas is
// shown at 800 x 600 (a hidden widget would fit pages to a stale size). One per test function.
struct ViewerModelFixture {
    explicit ViewerModelFixture(bool showCanvas = true)
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        , model(std::make_unique<PDFViewerModel>(&settings, &platform))
    {
        if (showCanvas) {
            model->pdfView()->resize(800, 600);
            model->pdfView()->show();
        }
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
};
