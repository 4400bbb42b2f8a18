#pragma once

#include "PDFViewerRootView.h"
#include "PDFViewerShortcutStore.h"
#include "ViewerModelFixture.h"

#include <QMainWindow>

// The model fixture and a shortcut store over the same settings file, in a window like the
// application's: the root view as its central widget, shown and laid out before the test goes on
// (a canvas without its size cannot tell its current page).
struct ViewerWindow : ViewerModelFixture {
    ViewerWindow()
        : ViewerModelFixture(false)
    {
        window->setCentralWidget(root);
        window->resize(1100, 760);
        window->show();
        exposed = QTest::qWaitForWindowExposed(window.get());
        platform.keyWindow = window.get();
    }
    bool activate()
    {
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    std::unique_ptr<PDFViewerShortcutStore> shortcuts
        = std::make_unique<PDFViewerShortcutStore>(&settings, PDFViewerShortcutStore::defaultStorageKey());
    std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
    PDFViewerRootView *root = new PDFViewerRootView(model.get(), shortcuts.get());
    bool exposed = false;
};
