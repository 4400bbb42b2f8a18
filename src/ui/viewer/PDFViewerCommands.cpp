#include "PDFViewerCommands.h"

#include "PDFViewerModel.h"

bool PDFViewerCommands::isEnabled(const PDFViewerModel &model, PDFViewerShortcutAction action)
{
    const PDFViewport *viewport = model.viewport();
    switch (action) {
    case PDFViewerShortcutAction::previousPage:
        return viewport && viewport->canGoToPreviousPage();
    case PDFViewerShortcutAction::nextPage:
        return viewport && viewport->canGoToNextPage();
    default:
        return model.pageCount() > 0;
    }
}

void PDFViewerCommands::perform(PDFViewerModel &model, PDFViewerShortcutAction action)
{
    switch (action) {
    case PDFViewerShortcutAction::previousPage:
        if (PDFViewport *viewport = model.viewport())
            viewport->goToPreviousPage();
        break;
    case PDFViewerShortcutAction::nextPage:
        if (PDFViewport *viewport = model.viewport())
            viewport->goToNextPage();
        break;
    case PDFViewerShortcutAction::zoomOut:
        model.zoomOut();
        break;
    case PDFViewerShortcutAction::zoomIn:
        model.zoomIn();
        break;
    case PDFViewerShortcutAction::actualSize:
        model.actualSize();
        break;
    case PDFViewerShortcutAction::fitPage:
        model.fitPage();
        break;
    case PDFViewerShortcutAction::rotateLeft:
        model.rotateCurrentPageLeft();
        break;
    case PDFViewerShortcutAction::rotateRight:
        model.rotateCurrentPageRight();
        break;
    case PDFViewerShortcutAction::resetRotation:
        model.resetCurrentPageRotation();
        break;
    case PDFViewerShortcutAction::togglePresentation:
        if (model.isPresentationMode())
            model.exitPresentationMode(true);
        else
            model.enterPresentationMode(true);
        break;
    }
}
