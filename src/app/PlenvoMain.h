#pragma once

#include <functional>

class PDFViewerModel;

// The program from its command line to its exit status: a later launch hands its files to the
// running one and returns at once; otherwise the one window opens them and the event loop runs
// until the window closes or a quit signal arrives. `started`, when given, is called once with
// the application's model before the event loop starts; the model lives until the loop ends.
int plenvoMain(int argc, char *argv[], const std::function<void(PDFViewerModel *)> &started = {});
