#pragma once

#include <QJsonObject>
#include <QString>

// Text search throughput over a many-page document, ours against the peer engine's.
QJsonObject runSearchBenchmark(const QString &pdfPath);
