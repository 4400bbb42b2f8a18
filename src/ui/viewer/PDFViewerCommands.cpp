#include "PDFViewerCommands.h"

#include "BlueprintPDFView.h"
#include "PDFViewerModel.h"

bool PDFViewerCommands::isEnabled(const PDFViewerModel &model, PDFViewerShortcutAction action)
{
    const int count = model.pageCount();
    switch (action) {
    case PDFViewerShortcutAction::previousPage:
        return count > 0 && model.pageIndex() > 0;
    case PDFViewerShortcutAction::nextPage:
        return count > 0 && model.pageIndex() + 1 < count;
    default:
        return count > 0;
    }
}

void PDFViewerCommands::perform(PDFViewerModel &model, PDFViewerShortcutAction action)
{
    switch (action) {
    case PDFViewerShortcutAction::previousPage:
        if (BlueprintPDFView *view = model.pdfView())
            view->goToPreviousPage();
        break;
    case PDFViewerShortcutAction::nextPage:
        if (BlueprintPDFView *view = model.pdfView())
            view->goToNextPage();
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
