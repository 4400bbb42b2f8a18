#include "CanvasBenchmark.h"
#include "RobustnessBenchmark.h"
#include "SearchBenchmark.h"

#include <QApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

// Usage: plenvo-bench FILE.pdf [--only canvas|search|hostile|pages|opens] [--query TEXT]
int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || !QFileInfo(args.first()).isFile()) {
        std::fprintf(
            stderr, "usage: plenvo-bench FILE.pdf [--only canvas|search|hostile|pages|opens] [--query TEXT]\n");
        return 2;
    }
    const QString path = args.first();
    const int only = int(args.indexOf(QStringLiteral("--only")));
    const QString which = only >= 0 && only + 1 < args.size() ? args.at(only + 1) : QString();
    const int queryAt = int(args.indexOf(QStringLiteral("--query")));
    const QString query = queryAt >= 0 && queryAt + 1 < args.size() ? args.at(queryAt + 1) : QString();

    QJsonObject result;
    result.insert(QStringLiteral("file"), QFileInfo(path).fileName());
    auto merge = [&result](const QJsonObject &part) {
        for (auto it = part.begin(); it != part.end(); ++it)
            result.insert(it.key(), it.value());
    };
    if (which.isEmpty() || which == QLatin1String("canvas"))
        merge(runCanvasBenchmark(path));
    if (which.isEmpty() || which == QLatin1String("search"))
        merge(runSearchBenchmark(path, query));
    // Robustness is measured only when asked: it takes minutes and has no peer to compare with.
    for (const char *mode : {"hostile", "pages", "opens"}) {
        if (which == QLatin1String(mode))
            merge(runRobustnessBenchmark(which, path));
    }
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Indented).constData());
    return 0;
}
