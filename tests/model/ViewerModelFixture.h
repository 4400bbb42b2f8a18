#pragma once

#include "BlueprintPDFView.h"
#include "FakePlatformServices.h"
#include "PDFViewerModel.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

// A model over a settings file in its own temporary folder and a fake desktop, with its
// canvas shown at 800 x 600 (a hidden widget would fit pages to a stale size). One per test
// function.
struct ViewerModelFixture {
    ViewerModelFixture()
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        , model(std::make_unique<PDFViewerModel>(&settings, &platform))
    {
        model->pdfView()->resize(800, 600);
        model->pdfView()->show();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QUrl url(const QString &name) const { return QUrl::fromLocalFile(path(name)); }

    QTemporaryDir dir;
    QSettings settings;
    FakePlatformServices platform;
    std::unique_ptr<PDFViewerModel> model;
};
