#include "PDFViewerModel.h"
#include "PDFViewerStateFile.h"
#include "PlenvoMain.h"

// The program as the end-to-end tests run it: the same as plenvo, plus the state read-out its
// scripts poll, written where PLENVO_TEST_STATE_FILE names.
int main(int argc, char *argv[])
{
    return plenvoMain(argc, argv, [](PDFViewerModel *model) { PDFViewerStateFile::fromEnvironment(model, model); });
}
