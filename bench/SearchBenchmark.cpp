#include "SearchBenchmark.h"

#include "BenchSupport.h"
#include "BlueprintSheet.h"
#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// Without a query of the caller's, a file of fewer pages than this is replaced by a drawing
// set the benchmark writes itself.
constexpr int kManyPages = 100;
constexpr int kWrittenPages = 200;
constexpr int kRuns = 3;
// The room tags of the floor plans (R-0001, ...): sixty hits on every plan of the written
// set, in text both engines extract alike (Latin, a base-14 font).
const QString kDefaultQuery = QStringLiteral("r-00");

// A drawing set: floor plans (room tags, dimension texts), section details with Chinese
// notes and room schedules, in turn. Deterministic, so runs compare like with like.
bool writeDrawingSet(const QString &path)
{
    PDFDocumentBuilder builder;
    for (int i = 0; i < kWrittenPages; ++i) {
        const quint32 seed = quint32(i + 1);
        switch (i % 3) {
        case 0:
            builder.addPage(BlueprintSheet::a0Size(), BlueprintSheet::a0Plan(60, seed));
            break;
        case 1:
            builder.addPage(BlueprintSheet::a1Size(), BlueprintSheet::a1Detail(seed));
            break;
        default:
            builder.addPage(BlueprintSheet::a3Size(), BlueprintSheet::a3Schedule(30, seed), BlueprintSheet::a3Rotation);
            break;
        }
    }
    QString error;
    if (!builder.save(path, &error)) {
        std::fprintf(stderr, "search benchmark: cannot write %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

// One whole find, beginFindString to didEndFind, on a freshly opened document (opening is not
// timed); returns the hit count, -1 when the file does not open.
int ourFind(const QString &path, const QString &query, double *ms)
{
    const std::shared_ptr<PDFDocument> document = PDFDocument::open(QFile::encodeName(path));
    if (!document)
        return -1;
    int hits = 0;
    QEventLoop loop;
    QObject::connect(document.get(), &PDFDocument::didFindMatch, &loop, [&hits] { ++hits; });
    QObject::connect(document.get(), &PDFDocument::didEndFind, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    document->beginFindString(query);
    loop.exec();
    *ms = timer.nsecsElapsed() / 1.0e6;
    return hits;
}

int popplerFind(const QString &path, const QString &query, double *ms)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked())
        return -1;
    int hits = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        if (page)
            hits += int(page->search(query, Poppler::Page::IgnoreCase).size());
    }
    *ms = timer.nsecsElapsed() / 1.0e6;
    return hits;
}

// Poppler reports every problem it meets on stderr; the sample's CJK font is one when its
// language data is not installed (it then skips that text, which only makes its search
// lighter). The JSON stays the only output.
void ignorePopplerMessage(const QString &, const QVariant &) { }

double pagesPerSecond(int pages, double ms)
{
    return ms > 0 ? std::round(pages / ms * 1000.0 * 10.0) / 10.0 : 0;
}

} // namespace

QJsonObject runSearchBenchmark(const QString &pdfPath, const QString &givenQuery)
{
    Poppler::setDebugErrorFunction(ignorePopplerMessage, QVariant());
    const QString query = givenQuery.isEmpty() ? kDefaultQuery : givenQuery;
    QString path = pdfPath;
    QTemporaryDir dir;
    if (givenQuery.isEmpty()) {
        const std::unique_ptr<Poppler::Document> given = Poppler::Document::load(pdfPath);
        if (!given || given->numPages() < kManyPages) {
            path = dir.filePath(QStringLiteral("search-set.pdf"));
            if (!dir.isValid() || !writeDrawingSet(path))
                return {};
        }
    }
    const std::unique_ptr<Poppler::Document> counted = Poppler::Document::load(path);
    const int pages = counted ? counted->numPages() : 0;

    // Alternating runs, each engine's best: both see the same cache and machine load.
    double ours = 0;
    double theirs = 0;
    int ourHits = 0;
    int theirHits = 0;
    for (int run = 0; run < kRuns; ++run) {
        double ms = 0;
        ourHits = ourFind(path, query, &ms);
        ours = run == 0 ? ms : std::min(ours, ms);
        theirHits = popplerFind(path, query, &ms);
        theirs = run == 0 ? ms : std::min(theirs, ms);
    }

    QJsonObject result;
    const double ourRate = pagesPerSecond(pages, ours);
    const double theirRate = pagesPerSecond(pages, theirs);
    result.insert(QStringLiteral("search_file"), path == pdfPath ? QStringLiteral("given") : QStringLiteral("written"));
    result.insert(QStringLiteral("search_pages"), pages);
    result.insert(QStringLiteral("search_query"), query);
    result.insert(QStringLiteral("search_hits"), ourHits);
    result.insert(QStringLiteral("search_pages_per_s"), ourRate);
    result.insert(QStringLiteral("poppler_search_hits"), theirHits);
    result.insert(QStringLiteral("poppler_search_pages_per_s"), theirRate);
    // Speeds of a search that finds nothing on either side compare nothing worth having.
    if (ourHits > 0 && theirHits > 0)
        result.insert(QStringLiteral("search_ratio_vs_poppler"), BenchSupport::ratio(ourRate, theirRate));
    else
        result.insert(QStringLiteral("search_ratio_vs_poppler"), QStringLiteral("no hits"));
    return result;
}
