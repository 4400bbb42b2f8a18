#pragma once

#include <QJsonObject>
#include <QString>

// Drives the real canvas offscreen on `pdfPath` and times first frame, zoom and pan against
// single-threaded renders by our engine and the peer engines.
QJsonObject runCanvasBenchmark(const QString &pdfPath);
