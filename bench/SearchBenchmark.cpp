#include "SearchBenchmark.h"

QJsonObject runSearchBenchmark(const QString &)
{
    return {};
}
