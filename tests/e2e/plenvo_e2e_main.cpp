#include "PDFViewerModel.h"
#include "PDFViewerStateFile.h"
#include "PlenvoMain.h"

#include <QApplication>
#include <QPalette>

// The program as the end-to-end tests run it: the same as plenvo, plus the state read-out its
// scripts poll, written where PLENVO_TEST_STATE_FILE names. PLENVO_TEST_DARK_PALETTE=1 starts it
// with a dark palette, as a dark desktop theme hands one over (no platform theme that does is
// installed on the test machines).
int main(int argc, char *argv[])
{
    return plenvoMain(argc, argv, [](PDFViewerModel *model) {
        if (qEnvironmentVariableIntValue("PLENVO_TEST_DARK_PALETTE") == 1) {
            QPalette dark(QColor(45, 45, 48));
            dark.setColor(QPalette::Base, QColor(32, 32, 34));
            dark.setColor(QPalette::Highlight, QColor(53, 132, 228));
            QApplication::setPalette(dark);
        }
        PDFViewerStateFile::fromEnvironment(model, model);
    });
}
