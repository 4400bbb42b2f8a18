#pragma once

#include <QJsonObject>
#include <QString>

// Text search throughput over a many-page document, ours against the peer engine's, with
// both hit counts. `query` empty: the default query, on a written drawing set when the file
// has few pages; otherwise `query` on the file itself. A ratio is given only when both
// engines find something.
QJsonObject runSearchBenchmark(const QString &pdfPath, const QString &query);
