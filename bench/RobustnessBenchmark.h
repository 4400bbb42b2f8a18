#pragma once

#include <QJsonObject>
#include <QString>

// The viewer window with files made to hurt it, measured as a user feels them: how long the
// window is unresponsive (the longest gap between two turns of the event loop), how much memory
// it holds, and whether memory comes back after many opens.
//   "hostile": every hostile file of the test suite, opened, drawn and replaced.
//   "pages":   10,000 pages: time until the window answers, longest stall, memory.
//   "opens":   three drawings opened in turn 100 times: memory after 10 and after 100 opens.
QJsonObject runRobustnessBenchmark(const QString &which, const QString &samplePath);
